# Sourced by the scripts that build and run the program under Wine. It moves
# to the repository, installs what is missing (setup.sh), and offers
# `wine_env_start`: a private Xvfb display, the Wine prefix under the build
# tree (made on first use) and one wineserver for the whole run, which
# `wine_env_stop` ends.
#
# `configure_build DIR TOOLCHAIN-or-"" [cmake arguments...]` configures a
# build directory once.

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
bash scripts/setup.sh
export RUVO_BUILD=${RUVO_BUILD:-$root/build/x86_64}

export PATH=/usr/lib/wine:$PATH
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko: they would prompt for a download.
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEPREFIX=${WINEPREFIX:-$RUVO_BUILD/wineprefix}

wine_env_start() {
  if [ -z "${RUVO_KEEP_DISPLAY:-}" ]; then
    local n=90
    while [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ]; do n=$((n + 1)); done
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    RUVO_XVFB_PID=$!
    export DISPLAY=":$n"
    for _ in $(seq 50); do [ -e /tmp/.X11-unix/X$n ] && break; sleep 0.1; done
  fi
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "wine: creating the prefix in $WINEPREFIX"
    wine64 wineboot -i >/dev/null 2>&1 || true
    wineserver -w
  fi
  wineserver -p >/dev/null 2>&1 || true
  # There is no window manager on the Xvfb display: Wine then places,
  # maximizes and frames the windows itself, as Windows would.
  wine64 reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 || true
  # Start the prefix's services now, detached from our output: a service
  # started later by a test would inherit the test's output pipe and keep
  # ctest waiting for it to close.
  wine64 wineboot >/dev/null 2>&1 </dev/null || true
}

wine_env_stop() {
  wineserver -k >/dev/null 2>&1 || true
  if [ -n "${RUVO_XVFB_PID:-}" ]; then
    kill "$RUVO_XVFB_PID" 2>/dev/null || true
    wait "$RUVO_XVFB_PID" 2>/dev/null || true
  fi
}

configure_build() {
  local dir=$1 toolchain=$2; shift 2
  [ -f "$dir/CMakeCache.txt" ] && return 0
  local args=(-S . -B "$dir" -G Ninja)
  [ -n "$toolchain" ] && args+=(-DCMAKE_TOOLCHAIN_FILE="cmake/toolchain-$toolchain.cmake")
  cmake "${args[@]}" "$@" >/dev/null
}
