#!/usr/bin/env bash
# Times a whole update of many small components (default 1,000) under Wine against a local nginx:
# the engine's first run and a second run with nothing to do, beside a bare loop of the same
# downloads and copies with the plain URL moniker and file API in the same Wine prefix, and
# beside curl and cp of the same files on Linux. Prints the times and the ratios.
#   bash scripts/bench-update.sh [COUNT]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${KT_BUILD_DIR:-$root/build}
count=${1:-1000}
bash "$root/scripts/install-deps.sh" >/dev/null
cmake -G Ninja -S "$root" -B "$build/win64" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw64.cmake" >/dev/null
ninja -C "$build/win64" update_run_timing >/dev/null

work=$build/bench-update
rm -rf "$work/root" "$work/nginx" "$work/linux"
mkdir -p "$work/root/app/files" "$work/linux/downloads" "$work/linux/placed"
{
  echo '<?xml version="1.0" encoding="utf-8"?>'
  echo '<root><params><param id="SOURCE" type="STRING">files</param><param id="ACTION" type="STRING">COPY</param></params>'
  echo '<dataset id="LIST"><colinfo id="FILENAME" type="STRING"/><colinfo id="VERSION" type="STRING"/>'
  for i in $(seq 0 $((count - 1))); do
    head -c 1024 /dev/zero | tr '\0' "$(printf '\\%03o' $((65 + i % 26)))" > "$work/root/app/files/f$i.txt"
    echo "<record><FILENAME>f$i.txt</FILENAME><VERSION>1</VERSION></record>"
  done
  echo '</dataset></root>'
} > "$work/root/app/components.xml"
cat > "$work/root/config.xml" <<XML
<?xml version="1.0" encoding="utf-8"?>
<root><params><param id="CONFIG" type="STRING">true</param><param id="VERSION" type="STRING">1</param></params>
<dataset id="WIN32"><colinfo id="SOURCE" type="STRING"/><colinfo id="VERSION" type="STRING"/>
<record><SOURCE>app/components.xml</SOURCE><VERSION>1</VERSION></record></dataset></root>
XML
port=$(bash "$root/scripts/nginx-serve.sh" start "$work/nginx" "$work/root")
trap 'bash "$root/scripts/nginx-serve.sh" stop "$work/nginx" >/dev/null' EXIT
base=http://127.0.0.1:$port

start=$(date +%s.%N)
for i in $(seq 0 $((count - 1))); do
  curl -s -o "$work/linux/downloads/f$i.txt" "$base/app/files/f$i.txt"
  cp "$work/linux/downloads/f$i.txt" "$work/linux/placed/f$i.txt"
done
linux=$(awk -v a="$start" -v b="$(date +%s.%N)" 'BEGIN { printf "%.3f", b - a }')

export KT_ROOT=$root KT_BUILD=$build KT_BASE=$base KT_COUNT=$count
# A Wine prefix of its own: the test prefix stays as the tests expect it.
export KT_WORK=$work
output=$(xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  "$KT_ROOT/scripts/wine-prefix.sh" "$KT_WORK" >/dev/null
  WINEPREFIX="$KT_WORK/wineprefix" "$KT_ROOT/scripts/wine-run.sh" "$KT_BUILD/win64/bin/update_run_timing.exe" \
    "$KT_BASE" "$KT_COUNT" </dev/null 2>&1
  "$KT_ROOT/scripts/wine-prefix.sh" "$KT_WORK" --stop' 2>/dev/null | tr -d '\r')
echo "$output"
first=$(echo "$output" | sed -n 's/^engine, first run *\([0-9.]*\) s.*/\1/p')
awk -v l="$linux" -v f="$first" 'BEGIN { printf "curl + cp on Linux     %.3f s   (engine first run: %.1fx)\n", l, f / l }'
