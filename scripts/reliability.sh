#!/usr/bin/env bash
# Fuzzes the task-list file reader and writer on the seed corpus for a minute,
# then runs the whole test suite built with AddressSanitizer and
# UndefinedBehaviorSanitizer (leak detection included), then kills in-place
# saves at random points a few dozen times, then runs the tests of the find,
# sync and journal rooms, whose code starts threads, built with
# ThreadSanitizer.
# ASAN_BUILD_DIR, TSAN_BUILD_DIR, FUZZ_BUILD_DIR, FUZZ_SECONDS and KILL_ROUNDS
# change the defaults.
set -euo pipefail
cd "$(dirname "$0")/.."
asan_dir=${ASAN_BUILD_DIR:-build-asan}
tsan_dir=${TSAN_BUILD_DIR:-build-tsan}
fuzz_dir=${FUZZ_BUILD_DIR:-build-fuzz}
fuzz_seconds=${FUZZ_SECONDS:-60}

# Set before building too: test discovery runs the sanitized test programs.
export ASAN_OPTIONS=detect_leaks=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}

echo "reliability: fuzzing the task-list file for ${fuzz_seconds}s in $fuzz_dir"
CXX=clang++-14 cmake -S fuzz -B "$fuzz_dir" -G Ninja >/dev/null
cmake --build "$fuzz_dir" --parallel "$(nproc)"
corpus="$fuzz_dir/corpus"
fuzz/make-seeds.sh "$corpus"
# The fuzzer writes two small files per input; a memory-backed folder keeps
# that from waiting on the disk.
fuzz_tmp=${TMPDIR:-/tmp}
[ -d /dev/shm ] && [ -w /dev/shm ] && fuzz_tmp=/dev/shm
TMPDIR=$fuzz_tmp "$fuzz_dir/task_file_fuzzer" -max_total_time="$fuzz_seconds" -print_final_stats=1 \
  -artifact_prefix="$fuzz_dir/" "$corpus" 2>"$fuzz_dir/fuzz.log" || {
  tail -n 60 "$fuzz_dir/fuzz.log"
  echo "reliability: the fuzzer found a fault; the input is in $fuzz_dir/ (crash-*, leak-*, timeout-*)" >&2
  exit 1
}
grep -E '^(Done|stat::number_of_executed_units)' "$fuzz_dir/fuzz.log" || true

echo "reliability: test suite with AddressSanitizer and UndefinedBehaviorSanitizer in $asan_dir"
cmake --preset asan -B "$asan_dir" >/dev/null
cmake --build "$asan_dir" --parallel "$(nproc)"
ctest --test-dir "$asan_dir" --output-on-failure --parallel "$(nproc)" --timeout 600

# A few dozen kills at random points of in-place saves of a large file: each
# must leave the old file, the new one, or a backup that holds the old one.
echo "reliability: killing in-place saves at random points"
TARVIK_KILL_ROUNDS=${KILL_ROUNDS:-40} "$asan_dir/tests/storage/storage_tests" \
  --gtest_filter='InPlaceSave.AKillAtAnyPoint*' --gtest_brief=1

# The program starts threads in three rooms only: the find's search, the
# reload's fingerprinting of the lists and the journal's encoding, writing and
# syncing of changes. Their tests run under ThreadSanitizer; Qt itself is not
# built with it, so its own locking would be unseen elsewhere.
echo "reliability: the find, sync and journal tests with ThreadSanitizer in $tsan_dir"
export TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1
cmake --preset tsan -B "$tsan_dir" >/dev/null
cmake --build "$tsan_dir" --parallel "$(nproc)" --target find_tests sync_tests journal_tests
"$tsan_dir/tests/find/find_tests" --gtest_brief=1
"$tsan_dir/tests/sync/sync_tests" --gtest_brief=1
"$tsan_dir/tests/journal/journal_tests" --gtest_brief=1
