#!/usr/bin/env bash
# The product's main job on the shipped sample: builds the native tools and the 32-bit Windows
# deliverables, checks and shows the sample server lists with qxlist, lists the deliverables and
# what each imports, and then performs a real update: the sample server tree (examples/server, with
# the sample components built for it) is served by a local nginx, the control library is
# registered in a Wine prefix of its own, and QxUpdater320.exe runs the update in a virtual
# display, as the control's hand-off starts it; a screenshot of its dialog is saved, the stand-in
# platform it starts records its command line, and a script (examples/update.js) checks through
# the control that nothing is left to update. It prints what was fetched, installed and recorded.
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
echo "A real update of the sample under Wine (64-bit build of the same sources), by QxUpdater320.exe:"
build_tree win64 "QxInstlr320 QxUpdater320 QxGrid32 QxChart32 kt_fixture_platform_stub" \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw64.cmake"
demo=$build/demo
rm -rf "$demo/root" "$demo/nginx" "$demo/platform"
# The prefix is kept between runs (it takes a while to make); what an earlier run installed is not.
rm -rf "$demo"/wineprefix/drive_c/users/*/AppData/Local/ORVANTIS "$demo"/wineprefix/drive_c/users/*/AppData/LocalLow/ORVANTIS
mkdir -p "$demo/root" "$demo/platform"
cp -r "$root"/examples/server/. "$demo/root/"
mkdir -p "$demo/root/win32/bin"
cp "$build"/win64/examples/win32/bin/*.dll "$demo/root/win32/bin/"
# The platform executable is outside this system: a stand-in records how it was started.
cp "$build/win64/tests/control/fixtures/KtPlatform.exe" "$demo/platform/"
port=$(bash "$root/scripts/nginx-serve.sh" start "$demo/nginx" "$demo/root")
trap 'bash "$root/scripts/nginx-serve.sh" stop "$demo/nginx" >/dev/null' EXIT
echo "  serving $demo/root at http://127.0.0.1:$port/"
winpath() { echo "Z:$1" | tr / '\\'; }
export KT_DEMO=$demo KT_ROOT=$root KT_PORT=$port
export KT_DLL=$(winpath "$build/win64/bin/QxInstlr320.dll") KT_SCRIPT=$(winpath "$root/examples/update.js")
export KT_UPDATER=$(winpath "$build/win64/bin/QxUpdater320.exe") KT_PLATFORM=$(winpath "$demo/platform")
status=0
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  . "$KT_ROOT/scripts/wine-env.sh"
  export WINEPREFIX="$KT_DEMO/wineprefix"
  "$KT_ROOT/scripts/wine-prefix.sh" "$KT_DEMO" || exit 1
  "$KT_WINE" regsvr32 /s "$KT_DLL" </dev/null || { echo "regsvr32 failed"; exit 1; }
  # The command line the control itself hands to the updater, plus where the platform lives.
  echo "QxUpdater320.exe -D WIN32 -V 3.2 -K Sample -U http://127.0.0.1:$KT_PORT/config.xml -L TRUE -UKM NOKILL -EP $KT_PLATFORM -E KtPlatform.exe"
  timeout 180 "$KT_WINE" "$KT_UPDATER" -D WIN32 -V 3.2 -K Sample -U "http://127.0.0.1:$KT_PORT/config.xml" \
    -L TRUE -UKM NOKILL -EP "$KT_PLATFORM" -E KtPlatform.exe </dev/null >/dev/null 2>&1 &
  updater=$!
  # The screenshot is taken while the dialog installs: once the last component has been fetched.
  for _ in $(seq 1 600); do
    grep -q QxChart32.dll "$KT_DEMO/nginx/access.log" 2>/dev/null && break
    kill -0 $updater 2>/dev/null || break
    sleep 0.1
  done
  import -window root -crop 320x200+352+284 +repage "$KT_DEMO/updater.png" 2>/dev/null \
    && echo "screenshot of the dialog during the run: $KT_DEMO/updater.png"
  wait $updater
  rc=$?
  echo "QxUpdater320.exe ended (exit code $rc)"
  if [ -f "$KT_DEMO/platform/platform.record" ]; then
    echo "the stand-in platform was started with:"
    head -n 1 "$KT_DEMO/platform/platform.record"; echo
  else
    echo "the platform was not started"; rc=1
  fi
  echo "Second check, the control driven by a script (examples/update.js): nothing left to update"
  "$KT_WINE" cscript //nologo "$KT_SCRIPT" "http://127.0.0.1:$KT_PORT/config.xml" Sample 3.2 </dev/null | head -n 2 || rc=1
  echo "Registered by the update (HKCU\\Software\\ORVANTIS\\Samples):"
  "$KT_WINE" reg query "HKCU\\Software\\ORVANTIS\\Samples" </dev/null | grep REG_SZ
  echo "Remembered for the application (HKCU\\Software\\AppDataLow\\SoftWare\\ORVANTIS\\Quorix320\\Sample):"
  "$KT_WINE" reg query "HKCU\\Software\\AppDataLow\\SoftWare\\ORVANTIS\\Quorix320\\Sample" </dev/null | grep REG_
  "$KT_ROOT/scripts/wine-prefix.sh" "$KT_DEMO" --stop
  exit $rc' 2>/dev/null | tr -d '\r' | sed 's/^/  /' || status=1
echo "  files installed in the prefix for version 3.2, per user (Ver/: the local version records):"
(cd "$demo/wineprefix/drive_c/users" 2>/dev/null && find . -path "*ORVANTIS*" -type f ! -path "*/Setup/*" | sort \
  | sed 's/^\./    C:\/users/')
echo "  requests the server answered:"
sed 's/^/    /' "$demo/nginx/access.log"
exit $status
