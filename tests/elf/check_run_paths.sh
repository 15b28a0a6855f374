#!/bin/sh
# Every ELF file in the folder given may look for libraries only in absolute or $ORIGIN-based
# folders: an empty or relative run-path entry is resolved against the current folder, where
# anyone could leave a library for the program to load.
set -u
checked=0
faults=0
for file in "$1"/*; do
  [ -f "$file" ] && head -c 4 "$file" | grep -q ELF || continue
  checked=$((checked + 1))
  paths=$(readelf -d "$file" | sed -n 's/.*(R\(UN\)\{0,1\}PATH).*\[\(.*\)\]$/\2/p')
  [ -n "$paths" ] || continue
  if echo "$paths" | awk -F: '{ for (i = 1; i <= NF; ++i) if ($i !~ /^(\/|\$ORIGIN$|\$ORIGIN\/)/) exit 1 }'; then
    continue
  fi
  echo "$file: run path \"$paths\" has an empty or relative entry"
  faults=$((faults + 1))
done
echo "$checked ELF files checked, $faults with an unsafe run path"
[ "$checked" -gt 0 ] && [ "$faults" -eq 0 ]
