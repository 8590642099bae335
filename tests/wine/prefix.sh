#!/usr/bin/env bash
# Sets up or tears down the Wine prefix that the system tests run the Windows build in.
#   prefix.sh start PREFIX [CHECK]
#                            create the prefix when missing, switch it to the null graphics
#                            driver (hidden windows and timers work without a display), and
#                            keep one wineserver running for the whole test run; CHECK, a
#                            program that exits with status 7, must do so in the prefix
#   prefix.sh stop PREFIX    end that wineserver
set -euo pipefail
action=$1
export WINEPREFIX=$2 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY

case "$action" in
start)
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        mkdir -p "$WINEPREFIX"
        wine wineboot --init >/dev/null 2>&1
        wineserver -w
    fi
    wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1
    # A server left from the set-up is replaced by one that outlives its last client.
    wineserver -k >/dev/null 2>&1 || true
    # Its output goes nowhere: a server holding the test runner's pipe would hold the runner.
    wineserver -p </dev/null >/dev/null 2>&1
    # Wait until the persistent server answers, so no test pays for its start.
    wine cmd /c exit 0 >/dev/null 2>&1
    if [ -n "${3:-}" ]; then
        status=0
        wine "$3" >/dev/null 2>&1 || status=$?
        if [ "$status" -ne 7 ]; then
            echo "$3 exited with status $status instead of 7: this Wine cannot run it" >&2
            exit 1
        fi
    fi
    ;;
stop)
    wineserver -k >/dev/null 2>&1 || true
    ;;
*)
    echo "usage: prefix.sh start|stop PREFIX" >&2
    exit 2
    ;;
esac
