#!/usr/bin/env bash
# Builds the optimised benchmark tree and runs the benchmarks; extra arguments go to Google
# Benchmark (for example --benchmark_filter=Load).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${KT_BUILD_DIR:-$root/build}
cmake -G Ninja -S "$root" -B "$build/bench" -DKT_SANITIZE=OFF -DCMAKE_BUILD_TYPE=Release \
  -DBUILD_TESTING=OFF -DKT_SUBSYSTEMS="dataset;engine;tools" >"$build/bench.configure.log"
ninja -C "$build/bench" kt_bench >"$build/bench.build.log"
exec "$build/bench/bench/kt_bench" --benchmark_counters_tabular=true "$@"
