#!/bin/sh
# wine-run.sh PREFIX PROGRAM [ARGS...]: runs a Windows program under Wine in the given prefix,
# quietly and headless.
set -e
export WINEPREFIX="$1"
shift
export WINEDEBUG=-all
# No installers for the .NET and HTML engines when the prefix is created.
export WINEDLLOVERRIDES="mscoree,mshtml="
# Gives Wine the Windows-1252 ANSI code page.
export LANG=C.UTF-8
unset DISPLAY WAYLAND_DISPLAY
exec wine "$@"
