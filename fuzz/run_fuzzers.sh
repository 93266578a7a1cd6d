#!/usr/bin/env bash
# Builds the libFuzzer targets with Clang in build-fuzz/ and runs each for SECONDS, side by side.
#   fuzz/run_fuzzers.sh SECONDS [TARGET...]
#   fuzz/run_fuzzers.sh --build-only        only builds them (the test run does it beside other work)
# Any crash, sanitizer report, leak, failed check or tick over 10 ms stops that target and
# fails the script; the input that did it is kept in build-fuzz/artifacts/. The seed corpora
# in fuzz/corpus/ are only read; what a run finds goes to build-fuzz/corpus/.
set -euo pipefail
cd "$(dirname "$0")/.."

SECONDS_EACH=${1:?usage: fuzz/run_fuzzers.sh SECONDS [TARGET...] | --build-only}
shift
TARGETS=("$@")
[ ${#TARGETS[@]} -gt 0 ] || TARGETS=(reception settings_files program_config telnet_codec network_address)
BUILD=build-fuzz

GENERATOR=()
[ -f "$BUILD/CMakeCache.txt" ] || GENERATOR=(-G Ninja)
CC=clang CXX=clang++ cmake -S . -B "$BUILD" "${GENERATOR[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPRAVENOR_FUZZ=ON \
    -DPRAVENOR_WITH_QT=OFF -DPRAVENOR_TESTS=OFF -DPRAVENOR_BENCHMARKS=OFF -DPRAVENOR_WERROR=ON >/dev/null
cmake --build "$BUILD" -j "$(nproc 2>/dev/null || echo 2)" \
    --target "${TARGETS[@]/#/fuzz_}"
[ "$SECONDS_EACH" != --build-only ] || exit 0

# The targets run side by side, each for the whole SECONDS: they share the cores, not the time.
run_target() {
    local target=$1 corpus="$BUILD/corpus/$1" artifacts="$BUILD/artifacts/$1/"
    mkdir -p "$corpus" "$artifacts"
    ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
        "$BUILD/fuzz/fuzz_$target" -max_total_time="$SECONDS_EACH" -timeout=10 -rss_limit_mb=2048 \
        -max_len=4096 -print_final_stats=1 -artifact_prefix="$artifacts" \
        "$corpus" "fuzz/corpus/$target" >"$BUILD/fuzz_$target.log" 2>&1
}

pids=()
for target in "${TARGETS[@]}"; do
    echo "== fuzz_$target for ${SECONDS_EACH}s"
    run_target "$target" &
    pids+=($!)
done
failed=()
for i in "${!TARGETS[@]}"; do
    target=${TARGETS[$i]}
    if wait "${pids[$i]}"; then
        echo "fuzz_$target:"
        grep -E '^stat::(number_of_executed_units|peak_rss_mb)|^#[0-9]+.*DONE' "$BUILD/fuzz_$target.log" || true
    else
        echo "fuzz_$target FAILED; last lines of $BUILD/fuzz_$target.log:"
        tail -n 40 "$BUILD/fuzz_$target.log"
        failed+=("$target")
    fi
done
if [ ${#failed[@]} -gt 0 ]; then
    echo "Fuzzing failed: ${failed[*]}" >&2
    exit 1
fi
echo "Fuzzing passed: ${TARGETS[*]}"
