#!/usr/bin/env bash
# Runs every fuzz target of the native tree (or only those named after the options), starting
# from its seed corpus and its regression folder, and prints the executions each target ran.
#   scripts/fuzz.sh [SECONDS] [RUNS] [TARGET...]
# Each target runs for SECONDS (default 60), or until it has run RUNS executions when RUNS is
# given and not 0 (SECONDS is then the upper bound of time). New inputs stay in
# build/fuzz-work/<target>; every input that crashes a target is copied into
# fuzz/regressions/<target>/, where the corpus test of that target replays it from then on.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${KT_BUILD_DIR:-$root/build}
seconds=${1:-60}
runs=${2:-0}
shift $(( $# < 2 ? $# : 2 ))
tree=$build/native
[ -x "$tree/fuzz/make_fuzz_corpus" ] || { echo "fuzz: build the native tree first (scripts/test-all.sh)" >&2; exit 1; }
"$tree/fuzz/make_fuzz_corpus" "$tree/fuzz-corpus"
fuzzers=()
if [ $# -gt 0 ]; then
  for name in "$@"; do fuzzers+=("$tree/fuzz/fuzz_$name"); done
else
  fuzzers=("$tree"/fuzz/fuzz_*)
fi
limits=(-max_total_time="$seconds")
[ "$runs" -gt 0 ] && limits+=(-runs="$runs")
status=0
for fuzzer in "${fuzzers[@]}"; do
  name=${fuzzer##*/fuzz_}
  work=$build/fuzz-work/$name
  regressions=$root/fuzz/regressions/$name
  mkdir -p "$work/corpus" "$regressions"
  cp -n "$tree/fuzz-corpus/$name"/* "$work/corpus/" 2>/dev/null || true
  started=$SECONDS
  if (cd "$work" && "$fuzzer" "${limits[@]}" -print_final_stats=1 corpus "$regressions" >"$work/log" 2>&1); then
    printf '%-16s %12s executions in %5d s, clean\n' "$name" \
      "$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/log")" $((SECONDS - started))
  else
    status=1
    for found in "$work"/crash-* "$work"/leak-* "$work"/timeout-* "$work"/oom-*; do
      [ -e "$found" ] && cp -n "$found" "$regressions/"
    done
    echo "$name: FAILED, see $work/log; the input is kept in fuzz/regressions/$name"
  fi
done
exit $status
