#!/bin/sh
# Runs a Windows program of a Windows build tree under Wine, in that tree's prefix.
# The prefix is taken from WINEPREFIX, else found as "wineprefix" at the top of the program's tree.
. "$(dirname "$0")/wine-env.sh"
if [ -z "${WINEPREFIX:-}" ]; then
  dir=$(cd "$(dirname "$1")" && pwd)
  while [ "$dir" != / ] && [ ! -f "$dir/CMakeCache.txt" ]; do dir=$(dirname "$dir"); done
  export WINEPREFIX="$dir/wineprefix"
fi
exec "$KT_WINE" "$@"
