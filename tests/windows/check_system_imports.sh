#!/bin/sh
# check_system_imports.sh OBJDUMP FILE...: fails when a file imports a DLL that is not part of
# Windows itself, so that the module and its tests run on a bare system.
objdump=$1
shift
status=0
for file in "$@"; do
  imports=$("$objdump" -p "$file" | sed -n 's/^[[:space:]]*DLL Name: //p')
  [ -n "$imports" ] || { echo "$file: no imports found"; status=1; }
  for dll in $imports; do
    case $(echo "$dll" | tr '[:upper:]' '[:lower:]') in
    kernel32.dll | msvcrt.dll | ole32.dll | oleaut32.dll | advapi32.dll | user32.dll | shell32.dll | \
      shlwapi.dll | version.dll | ws2_32.dll | api-ms-win-*.dll) ;;
    *)
      echo "$file imports $dll, which is not a system DLL"
      status=1
      ;;
    esac
  done
done
exit $status
