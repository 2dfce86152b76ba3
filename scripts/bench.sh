#!/usr/bin/env bash
# Runs the benchmarks: the title scan against its step-by-step reference (natively, Google
# Benchmark; compare the two columns of one run), and the blocking latency of the real program
# under Wine.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

scripts/install-deps.sh
cmake --preset bench >/dev/null
cmake --build --preset bench --target sg_bench
build/bench/bench/sg_bench "$@"

cmake --preset windows >/dev/null
cmake --build --preset windows --target sg_block_latency snapgate
scripts/wine-run --prefix "$PWD/build/windows/wineprefix" build/windows/bench/sg_block_latency.exe
