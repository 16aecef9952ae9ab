#!/bin/sh
# The executable must need nothing but DLLs that every Windows has.
set -eu
allowed="KERNEL32.dll USER32.dll GDI32.dll SHELL32.dll SHLWAPI.dll OLE32.dll COMCTL32.dll
  WINMM.dll MSVCRT.dll ADVAPI32.dll COMDLG32.dll UXTHEME.dll DSOUND.dll"
status=0
for dll in $(x86_64-w64-mingw32-objdump -p "$1" | sed -n 's/^.*DLL Name: //p'); do
  found=no
  for ok in $allowed; do
    [ "$(echo "$dll" | tr a-z A-Z)" = "$(echo "$ok" | tr a-z A-Z)" ] && found=yes
  done
  if [ "$found" = yes ]; then echo "system DLL: $dll"; else echo "not a system DLL: $dll"; status=1; fi
done
exit $status
