#!/usr/bin/env bash
# Installs what is missing, builds with AddressSanitizer and UndefinedBehaviorSanitizer, runs
# every test, then runs the fuzz targets for a short while.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps --test

export SDL_VIDEODRIVER=offscreen
export ALSOFT_DRIVERS=null
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

if command -v clang++ >/dev/null; then
  # Only what the fuzz programs link is built here, in unity units, to keep the second
  # compiler's pass short.
  BUILD_TARGET=fuzzers scripts/build-dir build/fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DGAME_FUZZ=ON \
    -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g" -DCMAKE_C_FLAGS_RELWITHDEBINFO="-O1 -g" \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_UNITY_BUILD=ON
  scripts/run-fuzzers build/fuzz "${FUZZ_SECONDS:-180}"
fi

# Unity builds (each folder compiled in a few large units) halve the sanitizer builds' time.
scripts/build-dir build/asan -DCMAKE_BUILD_TYPE=Debug -DGAME_SANITIZE=ON -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g" \
  -DCMAKE_UNITY_BUILD=ON
ctest --test-dir build/asan --output-on-failure -j "$(nproc)"

# Every core test once more under ThreadSanitizer (the log, name pool, pack prefetch, frame
# limiter and thread pool start threads), and the video players whose decode-ahead tasks run on
# the pool; only the core and graphics test programs are built there.
BUILD_TARGET=core_tests scripts/build-dir build/tsan -DCMAKE_BUILD_TYPE=Debug -DGAME_TSAN=ON \
  -DGAME_BENCH=OFF -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g" -DCMAKE_UNITY_BUILD=ON
BUILD_TARGET=graphics_tests scripts/build-dir build/tsan
export TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1
ctest --test-dir build/tsan --output-on-failure -j "$(nproc)" -L '^core_tests$'
ctest --test-dir build/tsan --output-on-failure -j "$(nproc)" -R '^WebMVideoTest\.'
