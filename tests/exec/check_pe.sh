#!/usr/bin/env bash
# check_pe.sh <file> <gui|dll>: a 64-bit PE of the right subsystem with the
# hardened flags, importing only DLLs that ship with Windows.
set -u
f=$1; kind=$2
dump=$(x86_64-w64-mingw32-objdump -p "$f") || { echo "cannot read $f"; exit 1; }
fail=0
echo "$dump" | grep -q "file format pei-x86-64" || { echo "not a 64-bit PE"; fail=1; }
if [ "$kind" = gui ]; then
  echo "$dump" | grep -Eq "^Subsystem\s+00000002" || { echo "not a GUI-subsystem program"; fail=1; }
fi
for flag in DYNAMIC_BASE NX_COMPAT HIGH_ENTROPY_VA; do
  echo "$dump" | grep -q "$flag" || { echo "missing $flag"; fail=1; }
done
allowed='^(kernel32|user32|gdi32|advapi32|shell32|shlwapi|ole32|oleaut32|comctl32|comdlg32|version|psapi|wtsapi32|winmm|setupapi|cfgmgr32|newdev|oleacc|msvcrt|userenv|rpcrt4|uxtheme|ntdll|api-ms-win-[a-z0-9-]+)\.dll$'
imports=$(echo "$dump" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z')
[ -n "$imports" ] || { echo "no imports found"; fail=1; }
for dll in $imports; do
  echo "$dll" | grep -Eq "$allowed" || { echo "non-system import: $dll"; fail=1; }
done
echo "imports: $(echo $imports)"
exit $fail
