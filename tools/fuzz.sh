#!/usr/bin/env bash
# Builds the core with AddressSanitizer, UndefinedBehaviorSanitizer and
# libFuzzer coverage (clang), runs the C++ unit tests under the sanitizers,
# then fuzzes for the given number of seconds (default 60), seeded from the
# real-world corpus and the regression fixtures.
#   tools/fuzz.sh 60        the short run of the test command
#   tools/fuzz.sh 3600      a long run; new inputs collect in build/sanitize/corpus
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
CC=clang CXX=clang++ cmake -S . -B build/sanitize -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DQUIRELLE_BUILD_PYTHON=OFF -DQUIRELLE_BUILD_TESTS=ON -DQUIRELLE_SANITIZE=ON -DQUIRELLE_BUILD_FUZZER=ON >/dev/null
ninja -C build/sanitize
ctest --test-dir build/sanitize --output-on-failure -j "$(nproc)" >build/sanitize/ctest.log 2>&1 \
  || { tail -50 build/sanitize/ctest.log; exit 1; }
echo "unit tests pass under ASan and UBSan"
mkdir -p build/sanitize/corpus build/sanitize/crashes
seeds=()
for dir in tests/fuzz/regressions ../shared/corpus/real; do
  [ -d "$dir" ] && seeds+=("$dir")
done
export ASAN_OPTIONS=detect_leaks=1:allocator_may_return_null=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
build/sanitize/fuzz_document -max_total_time="$seconds" -timeout=30 -rss_limit_mb=4096 \
  -max_len=4194304 -print_final_stats=1 -artifact_prefix=build/sanitize/crashes/ \
  build/sanitize/corpus "${seeds[@]}" 2>build/sanitize/fuzz.log \
  || { tail -60 build/sanitize/fuzz.log; exit 1; }
grep -E '^stat::number_of_executed_units|^stat::peak_rss_mb|cov:' build/sanitize/fuzz.log | tail -3
