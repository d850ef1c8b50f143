#!/bin/sh
# Lists the DLL imports of every .exe and .dll in a win32 build tree (outside its Wine prefix) and
# fails on any DLL that is not part of Windows itself.
objdump=${1:?usage: check-imports.sh OBJDUMP BUILD_TREE}
tree=${2:?usage: check-imports.sh OBJDUMP BUILD_TREE}
allowed='^(kernel32|user32|gdi32|advapi32|shell32|shlwapi|ole32|oleaut32|olepro32|urlmon|wininet|version|msvcrt|comctl32|comdlg32|ws2_32|wsock32|rpcrt4|psapi|winmm|msi|crypt32|bcrypt|secur32|userenv|imm32|winspool\.drv|setupapi|cabinet|ntdll)\.dll$'
checked=0 bad=0
for f in $(find "$tree" \( -path "$tree/wineprefix" -o -path "$tree/CMakeFiles" \) -prune -o \( -name '*.exe' -o -name '*.dll' \) -type f -print | sort); do
  checked=$((checked + 1))
  for dll in $("$objdump" -p "$f" | sed -n 's/^[[:space:]]*DLL Name: //p'); do
    if ! printf '%s\n' "$dll" | tr 'A-Z' 'a-z' | grep -Eq "$allowed"; then
      echo "FAIL: $f imports $dll"
      bad=$((bad + 1))
    fi
  done
done
echo "checked $checked binaries, $bad non-system imports"
[ "$checked" -gt 0 ] && [ "$bad" -eq 0 ]
