#!/usr/bin/env bash
# Builds the fuzzers with clang (AddressSanitizer, UBSan) and runs them: the
# log fuzzer for the time given, the group-description fuzzer for a quarter
# of it.
#   scripts/fuzz.sh [seconds]      default 60
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
seconds=${1:-60}
[ -f build/fuzz/CMakeCache.txt ] || CC=clang CXX=clang++ cmake -S . -B build/fuzz -G Ninja \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DRUVO_FUZZ=ON >/dev/null
cmake --build build/fuzz --target loader_fuzz progman_fuzz
mkdir -p build/fuzz/corpus build/fuzz/progman-corpus
# New inputs go to build/fuzz/corpus; fuzz/corpus keeps the small seed set.
build/fuzz/fuzz/loader_fuzz -max_total_time="$seconds" -max_len=8192 -timeout=10 -print_final_stats=1 \
  build/fuzz/corpus fuzz/corpus
build/fuzz/fuzz/progman_fuzz -max_total_time="$((seconds / 4 + 1))" -max_len=4096 -timeout=10 -print_final_stats=1 \
  build/fuzz/progman-corpus
