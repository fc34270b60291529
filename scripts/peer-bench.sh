#!/usr/bin/env bash
# Times UNINSTAL.EXE beside two uninstallers that Debian builds, under Wine:
# an NSIS installer's uninstaller (makensis, its 64-bit stub) and Windows
# Installer (a wixl package, removed by msiexec /x /qn), each removing the
# same tree of files in 100 folders, at 2,000 and 10,000 files; then
# UNINSTAL.EXE alone on a log of 100,000 files. Every contender runs in the
# one prefix build/wineprefix, whose X11 driver is set to Managed=N
# (wine-env.sh). Prints the tables of bench/peer_bench.cpp.
#
#   scripts/peer-bench.sh [rounds]      (default 5)
set -euo pipefail
# shellcheck source=wine-env.sh
source "$(dirname "$0")/wine-env.sh"
rounds=${1:-5}
configure_build build/x86_64 x86_64 -DCMAKE_BUILD_TYPE=Release
configure_build build/i686 i686 -DCMAKE_BUILD_TYPE=Release
cmake --build build/x86_64 --target peer_bench uninstal
[ "$RUVO_WINE32" = 1 ] && cmake --build build/i686 --target uninstal
wine_env_start
trap wine_env_stop EXIT

program=$(winepath -w build/x86_64/UNINSTAL.EXE)
shipped=""
[ "$RUVO_WINE32" = 1 ] && shipped=$(winepath -w build/i686/UNINSTAL.EXE)
peers=build/peers
mkdir -p "$peers"
peersWin=$(winepath -w "$peers")
for files in 2000 10000; do
  wine64 build/x86_64/bench/peer_bench.exe sources "$peersWin" "$files"
  (cd "$peers" && makensis -V1 "BENCH$files.NSI" && wixl --arch x64 -o "BENCH$files.MSI" "BENCH$files.WXS")
done
for files in 2000 10000; do
  echo "== $files files"
  wine64 build/x86_64/bench/peer_bench.exe run "$files" "$rounds" "$program" "$peersWin" ${shipped:+"$shipped"}
done
echo "== 100,000 files, UNINSTAL.EXE alone"
wine64 build/x86_64/bench/peer_bench.exe run 100000 1 "$program" - ${shipped:+"$shipped"}
