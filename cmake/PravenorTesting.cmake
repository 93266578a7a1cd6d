if(CMAKE_CROSSCOMPILING AND WIN32)
  # No GoogleTest for Windows to be found: it is built here from the sources that Debian's
  # googletest package installs, with the same compiler as the tests.
  set(PRAVENOR_GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest's sources, for a cross build")
  if(NOT EXISTS ${PRAVENOR_GTEST_SOURCE_DIR}/CMakeLists.txt)
    message(FATAL_ERROR "No GoogleTest sources in ${PRAVENOR_GTEST_SOURCE_DIR} (apt install googletest)")
  endif()
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  # Its own CMake files name the targets GTest::gtest, GTest::gmock and GTest::gtest_main.
  add_subdirectory(${PRAVENOR_GTEST_SOURCE_DIR} ${PROJECT_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
else()
  find_package(GTest REQUIRED)
endif()
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
  # The code under test keeps the build's optimisation; the tests' own bodies, long runs of
  # checks that run once, compile in 60 % of the time without it (a third under the sanitizers,
  # which instrument every check).
  target_compile_options(${name} PRIVATE -O0)
  if(PRAVENOR_SANITIZE)
    target_sources(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests/support/lsan_suppressions.cpp)
  endif()
  if(CMAKE_CROSSCOMPILING AND WIN32)
    # Each start under Wine costs about a second, more than most test cases take, so each
    # executable is one test here; its output names the case that failed.
    add_test(NAME ${name} COMMAND ${name} --gtest_brief=1)
    set_tests_properties(${name} PROPERTIES
      TIMEOUT ${ARG_TIMEOUT} ENVIRONMENT "${ARG_ENVIRONMENT}" FIXTURES_REQUIRED wine_prefix)
    return()
  endif()
  gtest_discover_tests(${name}
    DISCOVERY_TIMEOUT 60
    PROPERTIES TIMEOUT ${ARG_TIMEOUT} ENVIRONMENT "${ARG_ENVIRONMENT}")
endfunction()

if(CMAKE_CROSSCOMPILING AND WIN32 AND CMAKE_CROSSCOMPILING_EMULATOR)
  # Wine makes its prefix at the first start, which takes half a minute: made once before the
  # tests, so that two side by side do not make it together. Its server is kept running while
  # they run (a start then takes half a second instead of four) and stopped after them.
  get_filename_component(_pravenorWineFolder "${PRAVENOR_WINE}" DIRECTORY)
  find_program(PRAVENOR_WINESERVER NAMES wineserver64 wineserver
               HINTS ${_pravenorWineFolder} /usr/lib/wine REQUIRED)
  list(FIND CMAKE_CROSSCOMPILING_EMULATOR ${PRAVENOR_WINE} _pravenorWineAt)
  list(SUBLIST CMAKE_CROSSCOMPILING_EMULATOR 0 ${_pravenorWineAt} _pravenorWineEnv)
  list(JOIN CMAKE_CROSSCOMPILING_EMULATOR " " _pravenorWineRun)
  list(JOIN _pravenorWineEnv " " _pravenorWineEnvText)
  # Wine's server and the services it starts outlive the command: they are kept off ctest's
  # output, which ctest would otherwise wait on.
  set(_pravenorWineLog ${PROJECT_BINARY_DIR}/wine-prefix.log)
  add_test(NAME wine_start
           COMMAND sh -c "mkdir -p ${PROJECT_BINARY_DIR}/wine-prefix && { ${_pravenorWineEnvText} ${PRAVENOR_WINESERVER} -p && ${_pravenorWineRun} cmd /c exit; } >${_pravenorWineLog} 2>&1 </dev/null || { cat ${_pravenorWineLog}; exit 1; }")
  set_tests_properties(wine_start PROPERTIES FIXTURES_SETUP wine_prefix TIMEOUT 120)
  add_test(NAME wine_stop COMMAND sh -c "${_pravenorWineEnvText} ${PRAVENOR_WINESERVER} -k >/dev/null 2>&1 || true")
  set_tests_properties(wine_stop PROPERTIES FIXTURES_CLEANUP wine_prefix)
endif()
