# GoogleTest for both worlds: Debian's packaged libraries natively, and the sources in
# /usr/src/googletest built with the MinGW toolchain for the Windows test programs, which
# CTest then runs through Wine (CMAKE_CROSSCOMPILING_EMULATOR, set by the build script).
if(WIN32)
  set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  # The compilers' runtime has no std::mutex and std::condition_variable, of which GoogleTest uses them
  # for one class only (its own locks on Windows are the system's): ours stands in for it.
  target_sources(gtest PRIVATE ${CMAKE_SOURCE_DIR}/tests/gtest/Notification.cpp)
  target_compile_definitions(gtest PUBLIC GTEST_HAS_NOTIFICATION_=1)
  target_compile_options(gtest PUBLIC $<$<COMPILE_LANGUAGE:CXX>:-include ${CMAKE_SOURCE_DIR}/tests/gtest/Notification.h>)
  add_library(tessaro_gtest INTERFACE)
  target_link_libraries(tessaro_gtest INTERFACE gtest gtest_main)
else()
  find_package(GTest REQUIRED)
  add_library(tessaro_gtest INTERFACE)
  target_link_libraries(tessaro_gtest INTERFACE GTest::gtest GTest::gtest_main)
endif()

# tessaro_add_test(name SOURCES... LIBS...): one test program, registered with CTest as a whole,
# so that a Windows run costs one Wine start per program rather than one per case.
function(tessaro_add_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} tessaro_gtest)
  add_test(NAME ${name} COMMAND ${name} --gtest_brief=1)
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "TESSARO_TEST_DATA=${CMAKE_SOURCE_DIR}/tests/data" TIMEOUT 300)
endfunction()
