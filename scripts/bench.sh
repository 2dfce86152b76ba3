#!/usr/bin/env bash
# Runs the benchmarks: the title scan against its step-by-step reference (natively, Google
# Benchmark; compare the two columns of one run), and under Wine the real program's blocking
# latency on each path, its idle processor time and memory (against a bare window program) and
# its answers with a very long block list, and a burst of thousands of popups in a virtual desktop.
#   scripts/bench.sh [Google Benchmark options]      SG_IDLE_SECONDS: each idle run (default 30)
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

scripts/install-deps.sh
cmake --preset bench >/dev/null
cmake --build --preset bench --target sg_bench
build/bench/bench/sg_bench "$@"

cmake --preset windows >/dev/null
cmake --build --preset windows --target sg_block_latency sg_footprint sg_burst
scripts/wine-run --prefix "$PWD/build/windows/wineprefix" build/windows/bench/sg_block_latency.exe
scripts/wine-run --prefix "$PWD/build/windows/wineprefix" build/windows/bench/sg_footprint.exe \
  "${SG_IDLE_SECONDS:-30}"
scripts/wine-run --prefix "$PWD/build/windows/wineprefix" build/windows/bench/sg_burst.exe
