# What the Windows build adds: the compiler's runtime DLLs beside every
# program, and wine, with a prefix of its own, to run the programs here.

# The runtime DLLs of the cross compiler. Windows finds a DLL beside the
# program first, so a copy in the bin folder serves the host and the tests.
set(KX_RUNTIME_DLLS libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
foreach(dll IN LISTS KX_RUNTIME_DLLS)
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
    OUTPUT_VARIABLE path OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT EXISTS "${path}")
    message(FATAL_ERROR "the cross compiler's ${dll} was not found")
  endif()
  file(COPY ${path} DESTINATION ${KX_BIN_DIR})
endforeach()

if(CMAKE_CROSSCOMPILING AND KX_WINE)
  # A prefix inside the build keeps runs independent of the user's own wine
  # set-up; WINEPATH lets the programs built into other folders (on purpose:
  # a folder without the message modules) find the libraries in bin.
  # mscoree and mshtml are switched off so a fresh prefix never asks to
  # install .NET or a browser engine and no window waits for an answer.
  set(KX_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
  set(CMAKE_CROSSCOMPILING_EMULATOR
    ${CMAKE_COMMAND} -E env
    WINEPREFIX=${KX_WINEPREFIX} WINEDEBUG=-all "WINEDLLOVERRIDES=mscoree,mshtml="
    WINEPATH=Z:${KX_BIN_DIR}
    ${KX_WINE})
endif()

# Header-only CLI11 from the distribution, without opening the native
# include folder to the cross compiler: a folder holding just its headers.
find_path(KX_CLI11_INCLUDE CLI/CLI.hpp PATHS /usr/include NO_CMAKE_FIND_ROOT_PATH NO_DEFAULT_PATH)
if(KX_CLI11_INCLUDE AND NOT TARGET CLI11::CLI11)
  file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/cli11)
  file(CREATE_LINK ${KX_CLI11_INCLUDE}/CLI ${CMAKE_BINARY_DIR}/cli11/CLI SYMBOLIC)
  add_library(CLI11::CLI11 INTERFACE IMPORTED GLOBAL)
  set_target_properties(CLI11::CLI11 PROPERTIES
    INTERFACE_INCLUDE_DIRECTORIES ${CMAKE_BINARY_DIR}/cli11)
endif()
