#!/usr/bin/env bash
# Pravenor set-up on Debian 12: installs what is missing, builds, then runs the tool or the tests.
#   ./setup.sh run [options for pravenor]   build and start the window (demo converter unless --port)
#   ./setup.sh test                         build and run every test, also under the sanitizers,
#                                           then each fuzzer for 30 s, then builds and checks the .deb
set -euo pipefail
cd "$(dirname "$0")"

# What building and running needs; the tests need more (a comma-decimal locale, the fuzzers,
# and for the package check dpkg-shlibdeps with file, desktop-file-validate and xmllint).
PACKAGES=(g++ cmake make pkg-config qt6-base-dev qt6-serialport-dev qt6-qpa-plugins
          libgtest-dev libgmock-dev libbenchmark-dev)
TEST_PACKAGES=(locales clang libclang-rt-14-dev dpkg-dev file desktop-file-utils libxml2-utils ser2net)
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

build() { # build-folder cmake-options...
    local folder=$1
    shift
    cmake -S . -B "$folder" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
    cmake --build "$folder" -j "$JOBS"
}

case "${1:-}" in
run)
    shift
    install_missing
    build build -DPRAVENOR_WERROR=OFF -DPRAVENOR_SANITIZE=OFF -DPRAVENOR_TESTS=OFF -DPRAVENOR_BENCHMARKS=OFF
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
    build build -DPRAVENOR_WERROR=ON -DPRAVENOR_SANITIZE=OFF -DPRAVENOR_TESTS=ON -DPRAVENOR_BENCHMARKS=ON
    ctest --test-dir build --output-on-failure -j "$JOBS"
    build build-sanitize -DPRAVENOR_WERROR=ON -DPRAVENOR_SANITIZE=ON -DPRAVENOR_TESTS=ON -DPRAVENOR_BENCHMARKS=OFF
    ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
        ctest --test-dir build-sanitize --output-on-failure -j "$JOBS"
    fuzz/run_fuzzers.sh 30
    packaging/check_package.sh build-package
    ;;
*)
    echo "usage: $0 run [options] | $0 test" >&2
    exit 2
    ;;
esac
