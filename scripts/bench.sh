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

# The burst runs in a prefix of its own whose desktop is virtual.
burst_prefix="$PWD/build/windows/burst-wineprefix"
scripts/wine-run --prefix "$burst_prefix" cmd /c ver >/dev/null
WINEPREFIX="$burst_prefix" WINEDEBUG=-all wine reg add 'HKCU\Software\Wine\Explorer' \
  /v Desktop /d SnapgateBurst /f >/dev/null
WINEPREFIX="$burst_prefix" WINEDEBUG=-all wine reg add 'HKCU\Software\Wine\Explorer\Desktops' \
  /v SnapgateBurst /d 1280x800 /f >/dev/null
WINEPREFIX="$burst_prefix" wineserver -k || true  # its desktop starts afresh, virtual
scripts/wine-run --prefix "$burst_prefix" build/windows/bench/sg_burst.exe
WINEPREFIX="$burst_prefix" wineserver -k || true
