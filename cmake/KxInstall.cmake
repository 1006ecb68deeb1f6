# Installing: a tree that a host is built against and runs from, found with
# find_package(zuvuvur) or pkg-config, and packed by CPack (`make package`):
# a .deb of it on Linux, a zip on Windows.
#
#   P/include/zuvuvur/          the public headers; platform/ and companion/
#                               those of kxplatform and Kxtl9_64
#   P/lib/                      the four shared libraries (on Windows the
#                               import libraries, the DLLs going to P/bin)
#   P/lib/zuvuvur/              the message modules and, on POSIX, the shell
#                               module (P/bin/zuvuvur/ on Windows): the
#                               library's module folder, which load_module
#                               searches after the executable's folder
#   P/bin/kxhost                the reference host
#   P/lib/cmake/zuvuvur/        the CMake package (zuvuvur::… targets)
#   P/lib/pkgconfig/zuvuvur.pc  the pkg-config file
#
# Run paths are relative ($ORIGIN), and so are the package files, so a tree
# works wherever it is moved.

include(CMakePackageConfigHelpers)

set(KX_INSTALL_BINDIR bin)
set(KX_INSTALL_LIBDIR lib)
set(KX_INSTALL_INCLUDEDIR include)
set(KX_INSTALL_CMAKEDIR ${KX_INSTALL_LIBDIR}/cmake/zuvuvur)
if(WIN32)
  set(KX_INSTALL_RUNTIMEDIR ${KX_INSTALL_BINDIR})  # a DLL is found beside its program
else()
  set(KX_INSTALL_RUNTIMEDIR ${KX_INSTALL_LIBDIR})
endif()
# kxp::library_module_folder(): "zuvuvur" inside the libraries' own folder.
set(KX_INSTALL_MODULEDIR ${KX_INSTALL_RUNTIMEDIR}/zuvuvur)

# ---- The libraries, their headers and the CMake package ----------------------

set(KX_LIBRARIES kxafx kxplatform Kxtl9_64 zuVuvur9_64)
target_include_directories(kxafx INTERFACE $<INSTALL_INTERFACE:${KX_INSTALL_INCLUDEDIR}>)
target_include_directories(kxplatform INTERFACE
  $<INSTALL_INTERFACE:${KX_INSTALL_INCLUDEDIR}/zuvuvur/platform>)
target_include_directories(Kxtl9_64 INTERFACE
  $<INSTALL_INTERFACE:${KX_INSTALL_INCLUDEDIR}/zuvuvur/companion>)
# What a host's compiler must speak: the public headers use C++17, the
# platform layer's C++20.
target_compile_features(kxafx INTERFACE cxx_std_17)
target_compile_features(kxplatform INTERFACE cxx_std_20)

install(TARGETS ${KX_LIBRARIES} EXPORT zuvuvurTargets
  RUNTIME DESTINATION ${KX_INSTALL_BINDIR}
  LIBRARY DESTINATION ${KX_INSTALL_LIBDIR}
  ARCHIVE DESTINATION ${KX_INSTALL_LIBDIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/include/zuvuvur DESTINATION ${KX_INSTALL_INCLUDEDIR})
install(FILES
    ${PROJECT_SOURCE_DIR}/src/platform/kxplatform.h
    ${PROJECT_SOURCE_DIR}/src/platform/kxplatform_api.h
    ${PROJECT_SOURCE_DIR}/src/platform/kxcom.h
  DESTINATION ${KX_INSTALL_INCLUDEDIR}/zuvuvur/platform)
install(FILES ${PROJECT_SOURCE_DIR}/src/companion/kxtl.h
  DESTINATION ${KX_INSTALL_INCLUDEDIR}/zuvuvur/companion)

install(EXPORT zuvuvurTargets NAMESPACE zuvuvur:: DESTINATION ${KX_INSTALL_CMAKEDIR})
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/package/zuvuvurConfig.cmake.in
  ${CMAKE_BINARY_DIR}/package-files/zuvuvurConfig.cmake
  INSTALL_DESTINATION ${KX_INSTALL_CMAKEDIR})
# Before 1.0 a minor version may break what the one before offered.
write_basic_package_version_file(${CMAKE_BINARY_DIR}/package-files/zuvuvurConfigVersion.cmake
  COMPATIBILITY SameMinorVersion)
install(FILES
    ${CMAKE_BINARY_DIR}/package-files/zuvuvurConfig.cmake
    ${CMAKE_BINARY_DIR}/package-files/zuvuvurConfigVersion.cmake
  DESTINATION ${KX_INSTALL_CMAKEDIR})

# pkg-config: the flags of zuvuvur::zuVuvur9_64. The library's file keeps the
# host's name without "lib", which -l cannot spell on ELF systems; GNU ld's
# -l: takes the file name itself. mingw's ld finds zuVuvur9_64.dll.a by -l.
if(WIN32)
  set(KX_PC_LIBS "-lzuVuvur9_64 -lkxafx")
else()
  set(KX_PC_LIBS "-l:zuVuvur9_64${CMAKE_SHARED_LIBRARY_SUFFIX} -lkxafx")
endif()
configure_file(${PROJECT_SOURCE_DIR}/cmake/package/zuvuvur.pc.in
  ${CMAKE_BINARY_DIR}/package-files/zuvuvur.pc @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/package-files/zuvuvur.pc DESTINATION ${KX_INSTALL_LIBDIR}/pkgconfig)

# ---- Modules and the reference host -------------------------------------------

set(KX_MODULES kxErrMsg_64 KXSmsg9_64)
# The message modules are tables and need no library; the shell module needs
# kxplatform, one folder up.
set_target_properties(kxErrMsg_64 KXSmsg9_64 PROPERTIES INSTALL_RPATH "")
if(TARGET kxshell)
  list(APPEND KX_MODULES kxshell)
  set_target_properties(kxshell PROPERTIES INSTALL_RPATH "\$ORIGIN/..")
endif()
install(TARGETS ${KX_MODULES} LIBRARY DESTINATION ${KX_INSTALL_MODULEDIR})

set_target_properties(kxhost PROPERTIES
  INSTALL_RPATH "\$ORIGIN/../${KX_INSTALL_RUNTIMEDIR}")
install(TARGETS kxhost RUNTIME DESTINATION ${KX_INSTALL_BINDIR})
if(WIN32)
  # The compiler's runtime, which the DLLs and kxhost.exe need beside them,
  # without the debugging symbols the distribution leaves in (most of the
  # size of libstdc++-6.dll).
  foreach(dll IN LISTS KX_RUNTIME_DLLS)
    execute_process(COMMAND ${CMAKE_STRIP} --strip-debug -o ${CMAKE_BINARY_DIR}/package-files/${dll}
      ${KX_BIN_DIR}/${dll} COMMAND_ERROR_IS_FATAL ANY)
    install(FILES ${CMAKE_BINARY_DIR}/package-files/${dll} DESTINATION ${KX_INSTALL_BINDIR})
  endforeach()
endif()

# What `make package` builds before packing: only what is installed, so a
# package needs neither the tests nor the benchmarks built.
add_custom_target(shipped DEPENDS ${KX_LIBRARIES} ${KX_MODULES} kxhost)

# A host built against the installed tree, by CMake and by pkg-config (see
# tests/consumer/run.sh). It installs what this build made, without building
# the library again; the sanitizer build's libraries would want the host built
# with the sanitizers too, and the Windows build has no pkg-config host here.
if(KX_BUILD_TESTS AND NOT CMAKE_CROSSCOMPILING AND NOT KX_SANITIZE)
  add_test(NAME install.consumer
    COMMAND bash ${PROJECT_SOURCE_DIR}/tests/consumer/run.sh ${CMAKE_BINARY_DIR}
            ${CMAKE_BINARY_DIR}/consumer ${CMAKE_COMMAND} ${CMAKE_CXX_COMPILER}
            ${PROJECT_SOURCE_DIR}/samples/report.txt)
endif()

# ---- CPack -------------------------------------------------------------------

# The maintainers as the project's history names them.
set(KX_PACKAGE_MAINTAINER
  "Seed 13109a6f maintainers <maintainers@users.noreply.c-seed-13109a6f.example>"
  CACHE STRING "The Maintainer field of the Debian package")
set(CPACK_PACKAGE_NAME zuvuvur)
set(CPACK_PACKAGE_VENDOR "zuVuvur9_64 developers")
set(CPACK_PACKAGE_CONTACT "${KX_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
  "general utilities for the scripts of a data-analysis host")
set(CPACK_PACKAGE_DESCRIPTION [[
zuVuvur9_64 splits and joins text (separators, tokens, CSV cells, key=value
lists), transforms it, sorts typed buffers in place, handles missing values,
copies folders, deletes files by pattern, reads the lines of text files, makes
relative paths, reads document properties of files and loads numbered
messages. This package holds its libraries with their headers, CMake and
pkg-config files, its message modules and the reference host kxhost.]])
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
set(CPACK_VERBATIM_VARIABLES ON)
set(CPACK_STRIP_FILES ON)  # what is packed is what runs, not what a debugger reads
if(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_SYSTEM_NAME win64)
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
else()
  set(CPACK_GENERATOR DEB)
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  # Libraries, headers and a program in one: what a host developer installs.
  set(CPACK_DEBIAN_PACKAGE_SECTION devel)
  # Depends: from what the binaries link (dpkg-shlibdeps, which finds our own
  # libraries in the package through their $ORIGIN run paths).
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  # Libraries in /usr/lib want the linker cache refreshed: the trigger does it.
  # Their names carry no version (the host loads the library by its own file
  # name), so there is no shlibs file to give other packages.
  set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${PROJECT_SOURCE_DIR}/cmake/package/triggers)
  # What every Debian package carries in its documentation folder; the
  # changelog compressed as Debian wants it (-9, no name or time inside).
  configure_file(${PROJECT_SOURCE_DIR}/cmake/package/changelog.in
    ${CMAKE_BINARY_DIR}/package-files/changelog @ONLY)
  execute_process(COMMAND gzip -9nc ${CMAKE_BINARY_DIR}/package-files/changelog
    OUTPUT_FILE ${CMAKE_BINARY_DIR}/package-files/changelog.gz COMMAND_ERROR_IS_FATAL ANY)
  install(FILES
      ${PROJECT_SOURCE_DIR}/cmake/package/copyright
      ${CMAKE_BINARY_DIR}/package-files/changelog.gz
    DESTINATION share/doc/zuvuvur)
endif()
include(CPack)
