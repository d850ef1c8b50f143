#!/usr/bin/env bash
# Creates (once) or reuses the Wine prefix of a Windows build tree and starts a persistent
# wineserver for it, so that each test does not wait for a server to start and stop.
# Usage: scripts/wine-prefix.sh BUILD_TREE        prints nothing when the prefix is ready
#        scripts/wine-prefix.sh BUILD_TREE --stop  ends the prefix's wineserver
set -euo pipefail
tree=$(cd "${1:?usage: wine-prefix.sh BUILD_TREE [--stop]}" && pwd)
. "$(dirname "$0")/wine-env.sh"
export WINEPREFIX="$tree/wineprefix"

if [ "${2:-}" = "--stop" ]; then
  "$KT_WINESERVER" -k </dev/null >/dev/null 2>&1 || true
  exit 0
fi

# Wine's background processes inherit our descriptors; none of them may hold a caller's pipe.
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "wine-prefix: creating $WINEPREFIX"
  "$KT_WINE" wineboot -i </dev/null >"$tree/wineboot.log" 2>&1
  "$KT_WINESERVER" -w </dev/null >/dev/null 2>&1
fi
"$KT_WINESERVER" -p </dev/null >/dev/null 2>&1 &
sleep 0.2
# Start the prefix's service processes now, detached, rather than inside the first test.
"$KT_WINE" cmd /c exit </dev/null >/dev/null 2>&1 || true
