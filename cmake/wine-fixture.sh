#!/bin/sh
# wine-fixture.sh start|stop DIR EMULATOR... HOLDER.EXE
# start: runs HOLDER.EXE in the background, detached from the caller's
# output, and returns once it is up; stop: lets it end and waits for that.
# DIR keeps the two flag files the holder watches and writes.
set -eu
action=$1 dir=$2
shift 2
hold=$dir/wine-hold.flag ready=$dir/wine-hold.ready
case "$action" in
  start)
    rm -f "$ready"
    : >"$hold"
    setsid "$@" "Z:$hold" "Z:$ready" </dev/null >/dev/null 2>&1 &
    n=0
    until [ -e "$ready" ]; do
      n=$((n + 1))
      if [ $n -gt 1200 ] || ! kill -0 $! 2>/dev/null; then
        echo "wine-fixture: the holding Wine process did not start" >&2
        rm -f "$hold"
        exit 1
      fi
      sleep 0.1
    done
    ;;
  stop)
    rm -f "$hold"
    n=0
    while [ -e "$ready" ] && [ $n -lt 300 ]; do n=$((n + 1)); sleep 0.1; done
    ;;
esac
