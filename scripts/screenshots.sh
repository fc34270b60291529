#!/usr/bin/env bash
# Opens the wizard on a sample under Wine and saves a picture of every page,
# of the cancel question and of the progress display into docs/screenshots/.
set -euo pipefail
# shellcheck source=wine-env.sh
source "$(dirname "$0")/wine-env.sh"
configure_build build/x86_64 x86_64 -DCMAKE_BUILD_TYPE=Release
cmake --build build/x86_64 --target uninstal screens
wine_env_start
trap wine_env_stop EXIT
rm -rf docs/screenshots && mkdir -p docs/screenshots
wine64 build/x86_64/tests/screens.exe "$root/build/x86_64/UNINSTAL.EXE" "$root/docs/screenshots"
for bmp in docs/screenshots/*.bmp; do
  /usr/bin/convert "$bmp" "${bmp%.bmp}.png" && rm "$bmp"
done
