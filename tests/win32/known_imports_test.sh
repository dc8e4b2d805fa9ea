#!/bin/sh
# tollvane.exe imports only libraries among Windows' known ones (its KnownDLLs), which Windows
# loads from its own folder whatever lies beside the program; every other library it uses is
# loaded at its first use, after the program has let libraries come from the system's folder
# alone. Reads the import table with objdump.
#   known_imports_test.sh OBJDUMP TOLLVANE_EXE
set -eu
objdump=$1 exe=$2
# The KnownDLLs of Windows 10 and 11 (HKLM\System\CurrentControlSet\Control\Session Manager\
# KnownDLLs), with kernel32 and the C library.
known=" advapi32 clbcatq combase comdlg32 coml2 difxapi gdi32 gdiplus imagehlp imm32 kernel32 \
 msctf msvcrt normaliz nsi ole32 oleaut32 psapi rpcrt4 sechost setupapi shcore shell32 shlwapi \
 user32 wldap32 ws2_32 "
imports=$("$objdump" -p "$exe" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr -d '\r')
[ -n "$imports" ] || { echo "FAIL: no import table read from $exe"; exit 1; }
unknown=""
for dll in $imports; do
    name=$(echo "${dll%.*}" | tr '[:upper:]' '[:lower:]')
    case $known in
        *" $name "*) ;;
        *) unknown="$unknown $dll" ;;
    esac
done
if [ -n "$unknown" ]; then
    echo "FAIL: imports that Windows would look for beside the program first:$unknown"
    exit 1
fi
echo "PASS: tollvane.exe imports only known libraries:" "$(echo "$imports" | tr '\n' ' ')"
