#!/usr/bin/env bash
# Pravenor set-up on Debian 12: installs what is missing, builds, then runs the tool or the tests.
#   ./setup.sh run [options for pravenor]   build and start the window (demo converter unless --port)
#   ./setup.sh test                         build and run every test, also under the sanitizers
#                                           with each fuzzer for 30 s beside them, then packs the
#                                           tested build into a .deb and checks it
set -euo pipefail
cd "$(dirname "$0")"

# What building and running needs; the tests need more (a comma-decimal locale, the fuzzers,
# clang-format for the style check, and for the package check dpkg-shlibdeps with file,
# desktop-file-validate and xmllint).
PACKAGES=(g++ cmake make ninja-build pkg-config qt6-base-dev qt6-serialport-dev qt6-qpa-plugins
          libgtest-dev libgmock-dev libbenchmark-dev)
TEST_PACKAGES=(locales clang clang-format libclang-rt-14-dev dpkg-dev file desktop-file-utils libxml2-utils
               ser2net g++-mingw-w64-x86-64-posix wine64 googletest poppler-utils)
JOBS=$(nproc 2>/dev/null || echo 2)

install_missing() {
    local missing=()
    for package in "${PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" \
            || missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=()
    if [ "$(id -u)" -ne 0 ]; then
        command -v sudo >/dev/null || { echo "Need root or sudo to install ${missing[*]}" >&2; exit 1; }
        sudo=(sudo)
    fi
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
        "${missing[@]}" </dev/null
}

as_root() {
    if [ "$(id -u)" -eq 0 ]; then
        "$@"
    else
        command -v sudo >/dev/null || { echo "Need root or sudo for: $*" >&2; exit 1; }
        sudo "$@"
    fi
}

# Number tests run under a comma-decimal locale; generate it once.
ensure_comma_locale() {
    locale -a 2>/dev/null | grep -qix 'nl_NL\.utf-\?8' && return 0
    echo "Generating the locale nl_NL.UTF-8"
    as_root sed -i 's/^# *nl_NL.UTF-8 UTF-8/nl_NL.UTF-8 UTF-8/' /etc/locale.gen
    grep -q '^nl_NL.UTF-8 UTF-8' /etc/locale.gen || echo 'nl_NL.UTF-8 UTF-8' | as_root tee -a /etc/locale.gen >/dev/null
    as_root locale-gen >/dev/null
}

build() { # build-folder build-type cmake-options...
    local folder=$1 type=$2
    shift 2
    local generator=()
    # A folder keeps the generator it was made with.
    [ -f "$folder/CMakeCache.txt" ] || generator=(-G Ninja)
    cmake -S . -B "$folder" "${generator[@]}" -DCMAKE_BUILD_TYPE="$type" "$@" >/dev/null
    cmake --build "$folder" -j "$JOBS"
}

phase() { # name: the time each phase of the test run took, for finding what grew
    local now
    now=$(date +%s)
    [ -z "${phase_name:-}" ] || echo "== ${phase_name}: $((now - phase_started)) s"
    phase_name=$1
    phase_started=$now
}

case "${1:-}" in
run)
    shift
    install_missing
    build build RelWithDebInfo -DPRAVENOR_WERROR=OFF -DPRAVENOR_SANITIZE=OFF -DPRAVENOR_TESTS=OFF -DPRAVENOR_BENCHMARKS=OFF
    # Without a device the window talks to the built-in simulated converter.
    case " $* " in
    *" --port"* | *" --demo "*) ;;
    *) set -- --demo "$@" ;;
    esac
    exec build/src/ui/pravenor "$@"
    ;;
test)
    PACKAGES+=("${TEST_PACKAGES[@]}")
    install_missing
    ensure_comma_locale
    # A file out of the project's style fails the run before anything is built; an include that
    # runs up a floor fails the configure below.
    phase "style"
    tools/check_format.sh
    phase build
    # The tested build is a release build at Debian's -O2: it is packaged as it is, and leaving
    # the debug information out saves a fifth of the compile. The tests' own bodies compile
    # without optimisation in every build, the code they test with the build's.
    build build Release -DPRAVENOR_WERROR=ON -DPRAVENOR_SANITIZE=OFF -DPRAVENOR_TESTS=ON -DPRAVENOR_BENCHMARKS=ON \
        -DPRAVENOR_UNITY_TESTS=ON -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG"
    # The tests mostly wait on their lines in real time, so the next compile runs beside them,
    # at the lowest priority so that it never slows a test down.
    phase "tests, with the sanitizer build beside them"
    nice -n 19 ./setup.sh build-sanitize >build/sanitizer-build.log 2>&1 &
    sanitize_build=$!
    failed_status=0
    ctest --test-dir build --output-on-failure -j "$JOBS" || failed_status=$?
    wait "$sanitize_build" || { cat build/sanitizer-build.log; exit 1; }
    [ "$failed_status" -eq 0 ] || exit "$failed_status"
    phase "tests under the sanitizers, with the fuzzers and the Windows build beside them"
    # The fuzzers are built and then run for a fixed time on what the waiting tests leave of
    # the cores (they count processor time, not wall time, against their ticks), and so is the
    # core as Windows programs with its tests under Wine.
    nice -n 19 fuzz/run_fuzzers.sh 30 >build/fuzz.log 2>&1 &
    fuzzing=$!
    nice -n 19 ./setup.sh test-windows >build/windows-test.log 2>&1 &
    windows_test=$!
    # The tests spend nearly all their time waiting on their lines (four at a time, they keep
    # less than a third of two cores busy), so twice as many run as there are cores, the
    # longest first: the times just measured in the other build tell ctest which those are.
    mkdir -p build-sanitize/Testing/Temporary
    cp build/Testing/Temporary/CTestCostData.txt build-sanitize/Testing/Temporary/
    ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
        ctest --test-dir build-sanitize --output-on-failure -j "$((JOBS * 2))" || failed_status=$?
    [ "$failed_status" -eq 0 ] || exit "$failed_status"
    phase "the fuzzers, to their end"
    wait "$fuzzing" || { cat build/fuzz.log; exit 1; }
    cat build/fuzz.log
    phase "the Windows build and its tests under Wine, to their end"
    wait "$windows_test" || { cat build/windows-test.log; exit 1; }
    tail -n 3 build/windows-test.log
    # The package is made from the build just tested, not from a compile of its own.
    phase package
    packaging/check_package.sh build
    phase done
    ;;
build-sanitize) # a step of the test run
    # The sanitizers' own advice: -O1, and line tables are enough for their reports. The tools
    # and benchmarks have nothing to check there.
    build build-sanitize RelWithDebInfo -DPRAVENOR_WERROR=ON -DPRAVENOR_SANITIZE=ON -DPRAVENOR_TESTS=ON -DPRAVENOR_BENCHMARKS=OFF \
        -DPRAVENOR_TOOLS=OFF -DPRAVENOR_UNITY_TESTS=ON -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1 -DNDEBUG"
    ;;
test-windows) # a step of the test run: the core cross-built, its tests under Wine
    # Only tested, never shipped: compiled for the time it takes to compile.
    build build-win Release -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw-w64.cmake -DPRAVENOR_WERROR=ON \
        -DPRAVENOR_UNITY_TESTS=ON -DCMAKE_CXX_FLAGS_RELEASE="-O0 -DNDEBUG"
    ctest --test-dir build-win --output-on-failure -j "$JOBS"
    ;;
*)
    echo "usage: $0 run [options] | $0 test" >&2
    exit 2
    ;;
esac
