#!/usr/bin/env bash
# The product's main job on the shipped sample: builds the native tools and the 32-bit Windows
# deliverables, checks and shows the sample server lists with qxlist, then lists the deliverables
# and what each imports.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${KT_BUILD_DIR:-$root/build}
jobs=${KT_JOBS:-$(nproc)}

bash "$root/scripts/install-deps.sh"
mkdir -p "$build"
build_tree() {  # tree, target ("" for all), cmake arguments...
  local tree=$1 target=$2; shift 2
  cmake -G Ninja -S "$root" -B "$build/$tree" "$@" >"$build/$tree.configure.log" 2>&1 \
    || { cat "$build/$tree.configure.log"; exit 1; }
  ninja -C "$build/$tree" -j "$jobs" $target >"$build/$tree.build.log" 2>&1 \
    || { tail -n 40 "$build/$tree.build.log"; exit 1; }
}
# The same tree settings as the test command, so that both share the build trees.
build_tree native qxlist -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++
build_tree win32 "" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw32.cmake"

qxlist=$build/native/bin/qxlist
for list in "$root"/examples/server/config.xml "$root"/examples/server/win32/components.xml; do
  "$qxlist" check "$list"
done
echo
"$qxlist" show "$root/examples/server/win32/components.xml"
echo

echo "Deliverables (32-bit Windows):"
for f in "$build"/win32/bin/*; do
  printf '  %-20s %8d bytes  imports: %s\n' "$(basename "$f")" "$(stat -c %s "$f")" \
    "$(i686-w64-mingw32-objdump -p "$f" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr '\n' ' ')"
done
