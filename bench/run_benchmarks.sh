#!/usr/bin/env bash
# Builds the benchmarks in release mode and runs them: batch ticks and tick CPU time, then a
# real-time read-all over a pseudo-terminal (about half a minute), the standard and fast
# paces side by side (about two minutes), then the window's own
# costs (about a minute), then fleet reads of 1 to 100 converters (under two minutes).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DPRAVENOR_TESTS=OFF >/dev/null
cmake --build build-bench -j "$(nproc)" --target pravenor_engine_bench pravenor_realtime_bench pravenor_fastlink_bench pravenor_window_bench pravenor_fleet_bench
build-bench/bench/pravenor_engine_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
build-bench/bench/pravenor_realtime_bench
build-bench/bench/pravenor_fastlink_bench
QT_QPA_PLATFORM=offscreen build-bench/bench/pravenor_window_bench 30
build-bench/bench/pravenor_fleet_bench
