#!/usr/bin/env bash
# Builds the fuzzers with clang (AddressSanitizer, UBSan) and runs them one
# after another, one process each, within the time given: the log fuzzer
# gets half of it, since the log's grammar and the uninstall behind it are
# by far the largest of the parsers; the four others (Program Manager's
# group descriptions, SYSTEM.INI's device lines, the status report's
# template, the command line) share the other half equally, at least a
# second each. Each starts from its seeds in fuzz/corpus/<target>/ and keeps
# what it finds in build/fuzz/corpus/<target>/; an input that fails lands in
# build/fuzz/artifacts/ and the script stops with an error.
#   scripts/fuzz.sh [seconds]      default 60
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
seconds=${1:-60}
small=(progman devices statusreport cmdline)
share=$((seconds / (2 * ${#small[@]})))
[ "$share" -ge 1 ] || share=1
loaderShare=$((seconds - share * ${#small[@]}))
[ "$loaderShare" -ge 1 ] || loaderShare=1

[ -f build/fuzz/CMakeCache.txt ] || CC=clang CXX=clang++ cmake -S . -B build/fuzz -G Ninja \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DRUVO_FUZZ=ON >/dev/null
cmake --build build/fuzz --target loader_fuzz "${small[@]/%/_fuzz}"
mkdir -p build/fuzz/artifacts

# fuzzTarget NAME SECONDS MAX_LEN
fuzzTarget() {
  mkdir -p "build/fuzz/corpus/$1"
  echo "== $1_fuzz for $2 s"
  "build/fuzz/fuzz/$1_fuzz" -max_total_time="$2" -max_len="$3" -timeout=10 -print_final_stats=1 \
    -artifact_prefix="build/fuzz/artifacts/$1-" "build/fuzz/corpus/$1" "fuzz/corpus/$1"
}

fuzzTarget loader "$loaderShare" 8192
fuzzTarget progman "$share" 4096
fuzzTarget devices "$share" 4096
fuzzTarget statusreport "$share" 4096
fuzzTarget cmdline "$share" 1024
