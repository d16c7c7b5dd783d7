#!/usr/bin/env bash
# The Windows programs stand alone: they import only DLLs that come with Windows (no runtime or
# zlib DLL to ship beside them), and vuv2ez.exe is a GUI program, qzdump.exe a console one.
# Usage: standalone_test.sh OBJDUMP VUV2EZ_EXE QZDUMP_EXE
set -u
objdump=$1 vuv2ez=$2 qzdump=$3
failures=0
check() {
  local exe=$1 subsystem=$2 dll
  "$objdump" -p "$exe" | grep -q "^Subsystem.*($subsystem)" ||
    { echo "FAIL $exe: not the $subsystem subsystem"; failures=$((failures + 1)); }
  while read -r dll; do
    case "${dll,,}" in
      kernel32.dll | user32.dll | shell32.dll | gdi32.dll | msvcrt.dll) ;;
      *) echo "FAIL $exe imports $dll"; failures=$((failures + 1)) ;;
    esac
  done < <("$objdump" -p "$exe" | sed -n 's/^\s*DLL Name: //p')
}
check "$vuv2ez" "Windows GUI"
check "$qzdump" "Windows CUI"
[ "$failures" -eq 0 ] && echo "both programs stand alone"
exit $((failures > 0))
