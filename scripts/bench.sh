#!/usr/bin/env bash
# Builds and runs the benchmarks under Wine; prints their tables. The
# uninstall benchmark runs the x86_64 build, with the shipped i686 build
# (or the program named as the first argument) beside it.
set -euo pipefail
# shellcheck source=wine-env.sh
source "$(dirname "$0")/wine-env.sh"
configure_build build/x86_64 x86_64 -DCMAKE_BUILD_TYPE=Release
configure_build build/i686 i686 -DCMAKE_BUILD_TYPE=Release
cmake --build build/x86_64 --target loader_bench uninstall_bench service_bench ruvo_service uninstal
cmake --build build/i686 --target uninstal
other=${1:-$root/build/i686/UNINSTAL.EXE}
[ "$RUVO_WINE32" = 1 ] || [ -n "${1:-}" ] || other=""
wine_env_start
trap wine_env_stop EXIT
echo "== Log loading (real files under Wine)"
wine64 build/x86_64/bench/loader_bench.exe
echo "== Uninstall (real files under Wine)"
wine64 build/x86_64/bench/uninstall_bench.exe "$root/build/x86_64/UNINSTAL.EXE" ${other:+"$other"}
echo "== Services (real services under Wine)"
wine64 build/x86_64/bench/service_bench.exe "$root/build/x86_64/UNINSTAL.EXE" "$root/build/x86_64/tests/ruvo_service.exe"
