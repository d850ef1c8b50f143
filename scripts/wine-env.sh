# Sourced by the Wine scripts: the Wine of these machines is the 64-bit one (they cannot start
# 32-bit Linux processes), called directly so that an installed but unusable wine32 is never chosen.
export WINEARCH=win64
export WINELOADER=/usr/lib/wine/wine64
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
KT_WINE=/usr/lib/wine/wine64
KT_WINESERVER=/usr/lib/wine/wineserver64
