#!/usr/bin/env bash
# Builds the fuzz targets with clang (libFuzzer under AddressSanitizer and
# UndefinedBehaviorSanitizer) into build-fuzz/ and runs each one for SECONDS (30 by default),
# starting from the seed inputs in fuzz/corpus/ and from what earlier runs found. A finding
# ends the run with a failure; the input that caused it is kept in build-fuzz/findings/.
#
#   scripts/fuzz.sh [SECONDS] [TARGET...]
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-30}
shift || true
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    targets=(fuzz_receive fuzz_archive_file fuzz_settings fuzz_comment_text fuzz_number_format
             fuzz_cp1251)
fi

scripts/install-deps.sh clang libclang-rt-14-dev
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DKADREL_BUILD_FUZZ=ON -DKADREL_BUILD_TESTS=OFF -DKADREL_BUILD_BENCH=OFF > /dev/null
cmake --build build-fuzz -j "$(nproc)" --target "${targets[@]}"

mkdir -p build-fuzz/findings build-fuzz/logs
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export LSAN_OPTIONS=suppressions=$PWD/fuzz/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
export QT_QPA_PLATFORM=offscreen

failed=0
printf '%-20s %12s  %s\n' target executions result
for target in "${targets[@]}"; do
    corpus=build-fuzz/corpus/$target
    log=build-fuzz/logs/$target.log
    mkdir -p "$corpus"
    result=ok
    if ! "build-fuzz/fuzz/$target" -max_total_time="$seconds" -timeout=30 -rss_limit_mb=2048 \
        -print_final_stats=1 -artifact_prefix="build-fuzz/findings/$target-" \
        "$corpus" "fuzz/corpus/$target" > "$log" 2>&1; then
        result="FAILED (see $log)"
        failed=1
    fi
    executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
    printf '%-20s %12s  %s\n' "$target" "${executions:-?}" "$result"
done

if [ "$failed" -ne 0 ]; then
    for target in "${targets[@]}"; do
        if grep -q -e 'ERROR:' -e 'property broken' "build-fuzz/logs/$target.log"; then
            echo "---- $target"
            tail -n 40 "build-fuzz/logs/$target.log"
        fi
    done
    exit 1
fi
