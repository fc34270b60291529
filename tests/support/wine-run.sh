#!/usr/bin/env bash
# Runs one Windows test program under Wine64 in the test prefix and display
# that scripts/test.sh prepared (WINEPREFIX, DISPLAY).
set -euo pipefail
: "${WINEPREFIX:?run the tests through scripts/test.sh, which prepares the Wine prefix}"
: "${DISPLAY:?run the tests through scripts/test.sh, which starts Xvfb}"
export PATH=/usr/lib/wine:$PATH
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
exec wine64 "$@"
