# Small helpers shared by the CMake files of the project.

# kx_add_test(NAME sources... LIBS libs...)
# One test executable per folder of tests/, discovered test by test.
function(kx_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  gtest_discover_tests(${name} WORKING_DIRECTORY ${KX_BIN_DIR} DISCOVERY_TIMEOUT 60)
endfunction()
