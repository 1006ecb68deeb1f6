# The literal kxhost c-string writes, compiled by gcc in ISO C mode (where
# trigraphs are read), must give back the very bytes it was made from.
set(text "??= ??/ ??' ??( ??) ??! ??< ??> ??- ???= \"??\" \\ ?")
execute_process(COMMAND ${KXHOST} c-string "${text}" OUTPUT_VARIABLE literal
                OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
file(WRITE ${WORK_DIR}/c_string.c
     "#include <stdio.h>\nint main(void) { fputs(${literal}, stdout); return 0; }\n")
execute_process(COMMAND gcc -std=c99 -o ${WORK_DIR}/c_string ${WORK_DIR}/c_string.c
                COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND ${WORK_DIR}/c_string OUTPUT_VARIABLE bytes COMMAND_ERROR_IS_FATAL ANY)
if(NOT bytes STREQUAL text)
  message(FATAL_ERROR "gcc -std=c99 read ${literal} as [${bytes}], not [${text}]")
endif()
