#!/usr/bin/env bash
# The project's test command. Installs what is missing, builds the three trees and runs every test:
#   build/native  clang: portable library and tools, tests and fuzz targets under ASan and UBSan
#   build/bench   host g++ -O2 without sanitizers: the benchmarks (run them with scripts/bench.sh)
#   build/win32   the 32-bit Windows deliverables (only their import check runs: these machines
#                 cannot start 32-bit Linux processes, so 32-bit Wine cannot run them)
#   build/win64   the same sources as 64-bit Windows programs: every Windows test, under Wine,
#                 inside one Xvfb display
# Exits non-zero on any failure; the output ends with the CTest summary of each tree.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${KT_BUILD_DIR:-$root/build}
jobs=${KT_JOBS:-$(nproc)}

bash "$root/scripts/install-deps.sh" || exit 1

configure_and_build() {  # tree, extra cmake arguments...
  local tree=$1; shift
  echo "== build $tree"
  cmake -G Ninja -S "$root" -B "$build/$tree" "$@" >"$build/$tree.configure.log" 2>&1 \
    || { cat "$build/$tree.configure.log"; return 1; }
  ninja -C "$build/$tree" -j "$jobs" >"$build/$tree.build.log" 2>&1 \
    || { grep -E -B2 -A12 'error|FAILED' "$build/$tree.build.log" | head -n 120; return 1; }
}

mkdir -p "$build"
status=0
configure_and_build native -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ || status=1
configure_and_build bench -DKT_SANITIZE=OFF -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
  -DKT_SUBSYSTEMS="dataset;engine;tools" || status=1
configure_and_build win32 -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw32.cmake" || status=1
configure_and_build win64 -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw64.cmake" || status=1
[ $status -eq 0 ] || { echo "build failed"; exit 1; }

run_ctest() {  # tree, log name, ctest arguments...
  local tree=$1; shift
  echo "== test $tree"
  ctest --test-dir "$build/$tree" --output-on-failure -j "$jobs" "$@" >"$build/$tree.test.log" 2>&1
  local rc=$?
  grep -aE '^\s*[0-9]+/[0-9]+ Test' "$build/$tree.test.log" | grep -v ' Passed' || true
  return $rc
}

run_ctest native || status=1
run_ctest win32 || status=1
export KT_ROOT=$root KT_BUILD=$build KT_JOBS=$jobs
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  "$KT_ROOT/scripts/wine-prefix.sh" "$KT_BUILD/win64" || exit 1
  ctest --test-dir "$KT_BUILD/win64" --output-on-failure -j "$KT_JOBS" >"$KT_BUILD/win64.test.log" 2>&1
  rc=$?
  "$KT_ROOT/scripts/wine-prefix.sh" "$KT_BUILD/win64" --stop
  exit $rc' || status=1
grep -aE '^\s*[0-9]+/[0-9]+ Test' "$build/win64.test.log" | grep -v ' Passed' || true

for tree in native win32 win64; do
  echo
  echo "== CTest summary: $tree"
  sed -n '/tests passed/,$p' "$build/$tree.test.log"
done
exit $status
