#!/usr/bin/env bash
# The product's main job on the shipped sample: builds the native tools and the 32-bit Windows
# deliverables, checks and shows the sample server lists with qxlist, lists the deliverables and
# what each imports, and then performs a real update: the sample server tree (examples/server, with
# the sample components built for it) is served by a local nginx, the control library is
# registered in a Wine prefix of its own, and a script drives the control as a page would
# (examples/update.js), printing what was fetched and installed.
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

echo
echo "A real update of the sample under Wine (64-bit build of the same sources):"
build_tree win64 "QxInstlr320 QxGrid32 QxChart32" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw64.cmake"
demo=$build/demo
rm -rf "$demo/root" "$demo/nginx"
mkdir -p "$demo/root"
cp -r "$root"/examples/server/. "$demo/root/"
mkdir -p "$demo/root/win32/bin"
cp "$build"/win64/examples/win32/bin/*.dll "$demo/root/win32/bin/"
port=$(bash "$root/scripts/nginx-serve.sh" start "$demo/nginx" "$demo/root")
trap 'bash "$root/scripts/nginx-serve.sh" stop "$demo/nginx" >/dev/null' EXIT
echo "  serving $demo/root at http://127.0.0.1:$port/"
winpath() { echo "Z:$1" | tr / '\\'; }
export KT_DEMO=$demo KT_ROOT=$root KT_PORT=$port
export KT_DLL=$(winpath "$build/win64/bin/QxInstlr320.dll") KT_SCRIPT=$(winpath "$root/examples/update.js")
status=0
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  . "$KT_ROOT/scripts/wine-env.sh"
  export WINEPREFIX="$KT_DEMO/wineprefix"
  "$KT_ROOT/scripts/wine-prefix.sh" "$KT_DEMO" || exit 1
  "$KT_WINE" regsvr32 /s "$KT_DLL" </dev/null || { echo "regsvr32 failed"; exit 1; }
  "$KT_WINE" cscript //nologo "$KT_SCRIPT" "http://127.0.0.1:$KT_PORT/config.xml" Sample </dev/null
  rc=$?
  echo "Registered by the update (HKCU\\Software\\ORVANTIS\\Samples):"
  "$KT_WINE" reg query "HKCU\\Software\\ORVANTIS\\Samples" </dev/null | grep REG_SZ
  "$KT_ROOT/scripts/wine-prefix.sh" "$KT_DEMO" --stop
  exit $rc' 2>/dev/null | tr -d '\r' | sed 's/^/  /' || status=1
echo "  files installed in the prefix:"
(cd "$demo/wineprefix/drive_c/Program Files/ORVANTIS" 2>/dev/null && find . -type f ! -path "*/Ver/*" | sort | sed 's/^\./    Program Files\/ORVANTIS/')
echo "  requests the server answered:"
sed 's/^/    /' "$demo/nginx/access.log"
exit $status
