# Sourced by the scripts that build and run the program under Wine. It moves
# to the repository, installs what is missing (setup.sh), and offers
# `wine_env_start`: a private Xvfb display, the Wine prefix build/wineprefix
# (made on first use, shared by the i686 and x86_64 builds) and one
# wineserver for the whole run, which `wine_env_stop` ends;
# `wine_session_start` starts a new one after `wineserver -k`.
#
# RUVO_WINE32 is 1 where 32-bit programs run under Wine here, else 0 (with
# the reason in RUVO_WINE32_WHY).
#
# `configure_build DIR TOOLCHAIN-or-"" [cmake arguments...]` configures a
# build directory once.

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
bash scripts/setup.sh

export PATH=/usr/lib/wine:$PATH
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko: they would prompt for a download.
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEPREFIX=${WINEPREFIX:-$root/build/wineprefix}

# Wine's 32-bit loader is the cheapest 32-bit program at hand: a kernel
# without 32-bit support refuses to start it.
RUVO_WINE32=1 RUVO_WINE32_WHY=""
if [ ! -x /usr/lib/wine/wine ]; then
  RUVO_WINE32=0 RUVO_WINE32_WHY="Wine's 32-bit half (wine32:i386) is not installed"
elif ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
  RUVO_WINE32=0 RUVO_WINE32_WHY="this machine's kernel refuses to run 32-bit programs"
fi
export RUVO_WINE32

wine_env_start() {
  if [ -z "${RUVO_KEEP_DISPLAY:-}" ]; then
    local n=90
    while [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ]; do n=$((n + 1)); done
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    RUVO_XVFB_PID=$!
    export DISPLAY=":$n"
    # The server answers some time after its socket appears: wait for an
    # answer, so that no program of the run meets a display half made.
    local ready=0
    for _ in $(seq 300); do
      xdpyinfo -display ":$n" >/dev/null 2>&1 && { ready=1; break; }
      sleep 0.1
    done
    [ "$ready" = 1 ] || echo "wine: the X server on :$n did not answer within 30 s; windows will fail" >&2
  fi
  wine_session_start
}

# The prefix (made when missing), its settings, and a wineserver with the
# prefix's services, which lives until wineserver -k.
wine_session_start() {
  # A prefix made before Wine's 32-bit half was installed lacks it, and every
  # 32-bit program then fails to load kernel32.dll: make it anew.
  if [ "$RUVO_WINE32" = 1 ] && [ -f "$WINEPREFIX/system.reg" ] &&
     [ ! -f "$WINEPREFIX/drive_c/windows/syswow64/kernel32.dll" ]; then
    echo "wine: the prefix in $WINEPREFIX has no 32-bit half; making it anew"
    wineserver -k >/dev/null 2>&1 || true
    rm -rf "$WINEPREFIX"
  fi
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "wine: creating the prefix in $WINEPREFIX"
    wine64 wineboot -i >/dev/null 2>&1 || true
    wineserver -w
  fi
  wineserver -p >/dev/null 2>&1 || true
  # There is no window manager on the Xvfb display: Wine then places,
  # maximizes and frames the windows itself, as Windows would.
  # (HKCU\Software is one key for 32- and 64-bit programs alike.)
  wine64 reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 || true
  # A crashing program would start winedbg, which holds the crashed
  # program's handles and can keep a test waiting: no crash dialog.
  wine64 reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1 || true
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
