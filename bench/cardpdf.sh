#!/bin/sh
# The card batch into a PDF, each size in a fresh process: prints the
# benchmark's counters (cards/s, set-up seconds apart) and the process's
# peak memory.
#   bench/cardpdf.sh [build-bench]
build=${1:-build-bench}
for records in 1000 10000; do
  echo "== $records cards"
  /usr/bin/time -f "peak memory: %M KiB, wall: %e s" \
    "$build/bench/bench_cardpdf_bench" --benchmark_filter="BM_CardsToPdf/$records/" 2>&1 |
    grep -E "BM_CardsToPdf|peak memory"
done
