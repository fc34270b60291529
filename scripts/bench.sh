#!/usr/bin/env bash
# Builds and runs the benchmarks under Wine; prints their tables.
set -euo pipefail
# shellcheck source=wine-env.sh
source "$(dirname "$0")/wine-env.sh"
configure_build build/x86_64 x86_64 -DCMAKE_BUILD_TYPE=Release
cmake --build build/x86_64 --target loader_bench uninstall_bench uninstal
wine_env_start
trap wine_env_stop EXIT
echo "== Log loading (real files under Wine)"
wine64 build/x86_64/bench/loader_bench.exe
echo "== Uninstall (real files under Wine)"
wine64 build/x86_64/bench/uninstall_bench.exe "$root/build/x86_64/UNINSTAL.EXE"
