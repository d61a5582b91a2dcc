#!/bin/sh
# Usage: wine_session.sh start|stop WINE WINESERVER
#
# start: makes the Wine prefix that the tests share (WINEPREFIX) and starts
# one lasting wineserver for them, with its output going nowhere. Otherwise
# the first program of a test would start the server, which would keep that
# test's output pipes open for as long as it runs.
# stop: ends the server and every Wine process it serves.
set -eu
action=$1 wine=$2 wineserver=$3

case $action in
start)
    mkdir -p "$WINEPREFIX"
    log=$WINEPREFIX/start.log
    "$wineserver" -p </dev/null >"$log" 2>&1
    # Creating the prefix starts helper processes that outlive wineboot.
    if ! "$wine" wineboot --init </dev/null >>"$log" 2>&1; then
        cat "$log" >&2
        exit 1
    fi
    ;;
stop)
    "$wineserver" --kill </dev/null >/dev/null 2>&1 || true
    ;;
*)
    echo "usage: $0 start|stop WINE WINESERVER" >&2
    exit 2
    ;;
esac
