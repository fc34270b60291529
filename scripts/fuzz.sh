#!/usr/bin/env bash
# Builds the log fuzzer with clang (AddressSanitizer, UBSan) and runs it.
#   scripts/fuzz.sh [seconds]      default 60
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
seconds=${1:-60}
[ -f build/fuzz/CMakeCache.txt ] || CC=clang CXX=clang++ cmake -S . -B build/fuzz -G Ninja \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DRUVO_FUZZ=ON >/dev/null
cmake --build build/fuzz --target loader_fuzz
mkdir -p build/fuzz/corpus
# New inputs go to build/fuzz/corpus; fuzz/corpus keeps the small seed set.
build/fuzz/fuzz/loader_fuzz -max_total_time="$seconds" -max_len=8192 -timeout=10 -print_final_stats=1 \
  build/fuzz/corpus fuzz/corpus
