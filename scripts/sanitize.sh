#!/usr/bin/env bash
# Builds the test suite with AddressSanitizer and UndefinedBehaviorSanitizer into build-asan/
# and runs it with leak detection on; any finding fails the test that made it. Arguments go
# to ctest, and then only the tests they select are built, for example:
#   scripts/sanitize.sh -R 'link|models'
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

sanitizers="-fsanitize=address,undefined -fno-omit-frame-pointer"
# Line tables are all the reports need, and they build faster than full debugging data.
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKADREL_BUILD_BENCH=OFF \
    -DCMAKE_CXX_FLAGS="$sanitizers -O1" -DCMAKE_CXX_FLAGS_DEBUG="-g1" \
    -DCMAKE_EXE_LINKER_FLAGS="$sanitizers" > /dev/null
if [ $# -gt 0 ]; then
    # Each test is the program of the same name; the simulator program serves some of them.
    targets=(kadrel_sim)
    for test in $(ctest --test-dir build-asan -N "$@" | awk '/Test +#/ { print $3 }'); do
        targets+=("${test#*.}")
    done
    cmake --build build-asan -j "$(nproc)" --target "${targets[@]}"
else
    cmake --build build-asan -j "$(nproc)"
fi

# fuzz/lsan.supp is where a library beneath the program that keeps memory until the process
# ends would be named; the program's own leaks are never suppressed.
export ASAN_OPTIONS=detect_leaks=1:strict_string_checks=1:detect_stack_use_after_return=1
export LSAN_OPTIONS=suppressions=$PWD/fuzz/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
ctest --test-dir build-asan --output-on-failure -j "$(nproc)" --timeout 900 "$@"
