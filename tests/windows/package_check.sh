#!/bin/sh
# package_check.sh BUILD_DIR WORK_DIR LINUX_TOOL VBS PLANTED_DLL
# The Windows ZIP as a user gets it: unpacked into an empty folder and an empty Wine prefix of its
# own, registered with regsvr32, `tarvox.exe calc` against the Linux tool, every class created by
# a script client through both ProgIDs, a quorix2.dll planted in the current folder left unloaded,
# and after regsvr32 /u the classes root exactly as it was before. One Wine session serves it all.
set -eu
build=$1 work=$2 linux_tool=$3 vbs=$4 planted=$5
here=$(cd "$(dirname "$0")" && pwd)
session="$here/../../cmake/wine-session.sh"
if [ ! -x "$linux_tool" ]; then
  echo "the Linux tool $linux_tool is not built: build the linux preset first" >&2
  exit 77
fi

rm -rf "$work"
mkdir -p "$work/unpacked"
cpack -G ZIP --config "$build/CPackConfig.cmake" -B "$work/package" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log" >&2; exit 1; }
(cd "$work/unpacked" && cmake -E tar xf "$work"/package/*.zip)
root=$(ls -d "$work"/unpacked/*/)

export WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LANG=C.UTF-8
unset DISPLAY WAYLAND_DISPLAY
"$session" start "$WINEPREFIX"
trap '"$session" stop "$WINEPREFIX"' EXIT
run() { wine "$@" </dev/null; }
fail() { echo "package check: $*" >&2; exit 1; }

# Wine's script host records its own type library on its first run: run it once before the
# registry is taken, so that only the module's traces could differ.
echo 'WScript.Quit 0' >"$work/nothing.vbs"
run cscript //nologo "$(winepath -w "$work/nothing.vbs")"
run reg export HKCR "$work/before.reg" /y >/dev/null

cd "$root"
run regsvr32 /s tarvox.dll || fail "regsvr32 tarvox.dll failed ($?)"
run tarvox.exe calc --format json >"$work/windows.json" 2>"$work/windows.err" ||
  fail "tarvox.exe calc failed: $(cat "$work/windows.err")"
"$linux_tool" calc --format json >"$work/linux.json"
python3 "$here/compare_calc_reports.py" "$work/linux.json" "$work/windows.json" 1e-9 ||
  fail "tarvox.exe calc differs from the Linux tool"
cp "$vbs" create.vbs
run cscript //nologo create.vbs || fail "the script client could not create every class"
run regsvr32 /s /u tarvox.dll || fail "regsvr32 /u tarvox.dll failed ($?)"

# A stranger's quorix2.dll in the folder the user works in, and none beside the tool: were the
# current folder on the tool's DLL search path, the stranger's library would be loaded.
mkdir -p "$work/host" "$work/current"
cp tarvox.exe tarvox.dll TVXELYTE.DLL "$work/host/"
cp -r data "$work/host/"
cp "$planted" "$work/current/quorix2.dll"
run regsvr32 /s "$work/host/tarvox.dll" || fail "regsvr32 of the copy without quorix2.dll failed"
(cd "$work/current" && run "$work/host/tarvox.exe" calc --only MolecularWeight >"$work/planted.out" 2>&1) || true
[ ! -e "$work/current/planted-library-was-loaded" ] || fail "quorix2.dll was loaded from the current folder"
grep -q "could not be created" "$work/planted.out" || fail "without quorix2.dll: $(cat "$work/planted.out")"
run regsvr32 /s /u "$work/host/tarvox.dll" || fail "regsvr32 /u of the copy failed"

run reg export HKCR "$work/after.reg" /y >/dev/null
cmp -s "$work/before.reg" "$work/after.reg" ||
  fail "the classes root differs after unregistering: $(diff "$work/before.reg" "$work/after.reg" | tr -d '\0' | head -20)"
# The prefix takes some 700 MiB; it is kept only when the check fails, to be looked at.
"$session" stop "$WINEPREFIX"
trap - EXIT
rm -rf "$WINEPREFIX"
echo "package check passed"
