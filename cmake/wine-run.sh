#!/bin/sh
# Runs one Windows program under Wine for CTest: quiet, no Mono or Gecko
# prompts, in the build directory's prefix (first argument) unless the
# caller set one.
prefix=$1
shift
: "${WINEPREFIX:=$prefix}"
export WINEPREFIX
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="mscoree,mshtml="
exec wine "$@"
