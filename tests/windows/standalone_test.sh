#!/usr/bin/env bash
# The Windows programs stand alone: vuv2ez.exe is a GUI program, qzdump.exe a console one, and
# they import only DLLs that come with Windows (no runtime or zlib DLL to ship beside them).
# Usage: standalone_test.sh OBJDUMP VUV2EZ_EXE QZDUMP_EXE
objdump=$1
"$objdump" -p "$2" | grep -q '^Subsystem.*(Windows GUI)' || { echo "FAIL $2 is no GUI program"; exit 1; }
"$objdump" -p "$3" | grep -q '^Subsystem.*(Windows CUI)' || { echo "FAIL $3 is no console program"; exit 1; }
others=$("$objdump" -p "$2" "$3" | sed -n 's/^\s*DLL Name: //p' |
  grep -viE '^(kernel32|user32|shell32|gdi32|msvcrt)\.dll$')
[ -z "$others" ] || { echo "FAIL they import ${others//$'\n'/ }"; exit 1; }
echo "both programs stand alone"
