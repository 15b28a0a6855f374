#!/bin/sh
# wine-session.sh start|stop PREFIX
#   start: creates the prefix when it is missing (headless), then runs a persistent wineserver with
#          one detached keep-alive Windows process, so that each test process starts in a fraction
#          of a second and no system process holds the test runner's output pipe open.
#   stop:  ends the server and every Windows process of the prefix.
set -e
action=$1
export WINEPREFIX="$2"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export LANG=C.UTF-8
unset DISPLAY WAYLAND_DISPLAY

stop_server() {
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w >/dev/null 2>&1 || true
}

case "$action" in
start)
  stop_server
  # The prefix may be missing, or made by a test listing that ran before this session.
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$WINEPREFIX"
    # wineboot reports a harmless rundll32 error about syswow64 on a 64-bit-only Wine.
    wineboot -i >/dev/null 2>&1 </dev/null || true
    stop_server
    [ -f "$WINEPREFIX/system.reg" ] || { echo "could not create the Wine prefix $WINEPREFIX" >&2; exit 1; }
  fi
  wineserver -p >/dev/null 2>&1 </dev/null
  # A headless desktop; this first process also starts Wine's system processes away from our output.
  wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1 </dev/null
  # The keep-alive process holds the desktop that COM's apartment windows need.
  setsid wine notepad.exe >/dev/null 2>&1 </dev/null &
  ;;
stop)
  wineserver -k >/dev/null 2>&1 || true
  ;;
*)
  echo "usage: $0 start|stop PREFIX" >&2
  exit 2
  ;;
esac
