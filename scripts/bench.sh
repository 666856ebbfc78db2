#!/usr/bin/env bash
# Builds in Release and runs the benchmarks at full archive size: first the table of whole flows
# with the machine's description, then the steps inside them. Arguments go to kadrel_bench
# (--runs N, --records N, --parts LIST, --models LIST, --quick; --help lists them).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
# The build's messages go to standard error, so that standard output holds the figures alone.
cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DKADREL_BUILD_BENCH=ON >&2
cmake --build build-release -j "$(nproc)" --target kadrel_bench kadrel_bench_micro >&2
build-release/bench/kadrel_bench "$@"
if [[ " $* " != *" --quick "* ]]; then
    echo
    build-release/bench/kadrel_bench_micro --benchmark_min_time=0.5
fi
