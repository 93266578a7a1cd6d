find_package(GTest REQUIRED)
include(GoogleTest)

# The test run compiles every test target twice from nothing; a test executable's files share
# most of what they parse and instantiate, so there they are compiled a few at a time. Day-to-day
# builds keep one file per compile, which also shows a file that misses an include of its own.
option(PRAVENOR_UNITY_TESTS "Compile each test executable's files a few at a time" OFF)

# One GoogleTest executable per subsystem, each test case registered with CTest.
function(pravenor_add_unit_test name)
  cmake_parse_arguments(ARG "" "TIMEOUT" "SOURCES;LIBRARIES;ENVIRONMENT" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBRARIES} GTest::gtest GTest::gmock GTest::gtest_main)
  # Shared test helpers live in tests/support.
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  pravenor_warnings(${name})
  pravenor_precompile(${name} <gtest/gtest.h> <gmock/gmock.h>)
  if(PRAVENOR_UNITY_TESTS)
    set_target_properties(${name} PROPERTIES UNITY_BUILD ON UNITY_BUILD_BATCH_SIZE 4)
  endif()
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 120)
  endif()
  if(PRAVENOR_SANITIZE)
    # The code under test keeps the build's optimisation; the tests' own bodies, long runs of
    # checks the sanitizers instrument one by one, compile in a third of the time without it.
    target_compile_options(${name} PRIVATE -O0)
    target_sources(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests/support/lsan_suppressions.cpp)
  endif()
  gtest_discover_tests(${name}
    DISCOVERY_TIMEOUT 60
    PROPERTIES TIMEOUT ${ARG_TIMEOUT} ENVIRONMENT "${ARG_ENVIRONMENT}")
endfunction()
