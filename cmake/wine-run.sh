#!/bin/sh
# wine-run.sh PREFIX PROGRAM [ARGS...]
# Runs a Windows program under Wine in the given prefix, with the settings
# the tests need: no debug channels, no install prompts for .NET or Gecko,
# and a UTF-8 locale (under LC_ALL=C Wine cannot open non-ASCII names).
#
# A wineserver started by a program inherits that program's output, so a
# caller that waits for the output to end (ctest, ninja) would wait for the
# server too. One is started here first, detached from the output, when
# none is running for the prefix.
export WINEPREFIX="$1"
shift
export WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# A caller's UTF-8 locale stays: Wine takes the system's language from it.
case "${LC_ALL:-}" in
  *.UTF-8 | *.utf8) ;;
  *) export LC_ALL=C.UTF-8 ;;
esac
wineserver -p3 </dev/null >/dev/null 2>&1 || true
exec wine "$@"
