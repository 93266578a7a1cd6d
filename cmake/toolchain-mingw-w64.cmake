# Windows programs from Debian's MinGW-w64 cross compiler (g++-mingw-w64-x86-64-posix), run
# under Wine (wine64) by ctest. Qt for Windows is not to be had here, so the build is the
# core and its tests: configure with -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw-w64.cmake.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

# The posix flavour: std::thread and std::mutex, which the core uses, need its threading model.
set(_pravenorMingw x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${_pravenorMingw}-gcc-posix)
set(CMAKE_CXX_COMPILER ${_pravenorMingw}-g++-posix)
set(CMAKE_RC_COMPILER ${_pravenorMingw}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${_pravenorMingw})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The C++ runtime and winpthread linked in, so that an .exe runs without DLLs copied beside it.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# No Qt, so neither the window nor the companion; the benchmarks need a Windows libbenchmark.
set(PRAVENOR_WITH_QT OFF CACHE BOOL "Build the Qt parts (serial port adapter, window)")
set(PRAVENOR_BENCHMARKS OFF CACHE BOOL "Build the benchmarks")

# Every test executable runs under Wine, in a Wine prefix of the build folder's own, created by
# the first test (PravenorTesting.cmake). No display is needed for console programs.
find_program(PRAVENOR_WINE NAMES wine64 wine PATHS /usr/lib/wine NO_DEFAULT_PATH)
find_program(PRAVENOR_WINE NAMES wine64 wine)
if(PRAVENOR_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR
      /usr/bin/env WINEPREFIX=${CMAKE_BINARY_DIR}/wine-prefix WINEDEBUG=-all
      WINEDLLOVERRIDES=mscoree,mshtml= ${PRAVENOR_WINE})
endif()
