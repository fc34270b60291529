#!/usr/bin/env bash
# Sets up this machine, builds UNINSTAL.EXE (i686, which ships, and x86_64),
# and runs a demo uninstall of the bundled sample application under Wine.
set -euo pipefail
# shellcheck source=wine-env.sh
source "$(dirname "$0")/wine-env.sh"
configure_build build/i686 i686 -DCMAKE_BUILD_TYPE=Release
configure_build build/x86_64 x86_64 -DCMAKE_BUILD_TYPE=Release
cmake --build build/i686 --target uninstal
cmake --build build/x86_64 --target uninstal demo
wine_env_start
trap wine_env_stop EXIT

shots=$root/build/demo
mkdir -p "$shots"
status=0
# The demo uninstalls with the program that ships, the i686 build, where
# 32-bit programs run here; else with the x86_64 build.
program=$root/build/i686/UNINSTAL.EXE
[ "$RUVO_WINE32" = 1 ] || program=$root/build/x86_64/UNINSTAL.EXE
echo "Uninstalling with $program"
wine64 build/x86_64/tests/demo.exe "$root/sample" "$program" "$shots" || status=$?
for bmp in "$shots"/*.bmp; do
  [ -e "$bmp" ] && /usr/bin/convert "$bmp" "${bmp%.bmp}.png" && rm "$bmp"
done
echo
echo "Shipped program: build/i686/UNINSTAL.EXE; pictures of the run: build/demo/"
exit $status
