#!/usr/bin/env bash
# Runs one Windows test program under Wine in the test prefix and display
# that scripts/test.sh prepared (WINEPREFIX, DISPLAY).
#   wine-run.sh wine|wine64 PROGRAM [ARGUMENTS...]
# `wine` is the 32-bit loader (the i686 build), `wine64` the 64-bit one.
set -euo pipefail
: "${WINEPREFIX:?run the tests through scripts/test.sh, which prepares the Wine prefix}"
: "${DISPLAY:?run the tests through scripts/test.sh, which starts Xvfb}"
export PATH=/usr/lib/wine:$PATH
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
loader=$1; shift
exec "$loader" "$@"
