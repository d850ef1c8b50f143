#!/usr/bin/env bash
# Runs every fuzz target of the native tree for SECONDS each (default 60), starting from its seed
# corpus, and prints the executions each target ran. New inputs stay in build/fuzz-work/<target>;
# a crash leaves its input there as crash-*, to be added to fuzz/regressions/<target>/ with a test.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${KT_BUILD_DIR:-$root/build}
seconds=${1:-60}
tree=$build/native
[ -x "$tree/fuzz/make_fuzz_corpus" ] || { echo "fuzz: build the native tree first (scripts/test-all.sh)" >&2; exit 1; }
"$tree/fuzz/make_fuzz_corpus" "$tree/fuzz-corpus"
status=0
for fuzzer in "$tree"/fuzz/fuzz_*; do
  name=${fuzzer##*/fuzz_}
  work=$build/fuzz-work/$name
  mkdir -p "$work/corpus"
  cp -n "$tree/fuzz-corpus/$name"/* "$work/corpus/" 2>/dev/null || true
  if (cd "$work" && "$fuzzer" -max_total_time="$seconds" -print_final_stats=1 corpus \
        "$root/fuzz/regressions/$name" >"$work/log" 2>&1); then
    printf '%-16s %12s executions, clean\n' "$name" "$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/log")"
  else
    echo "$name: FAILED, see $work/log"; status=1
  fi
done
exit $status
