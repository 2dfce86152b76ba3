#!/usr/bin/env bash
# Runs every test: the native tests under the address and undefined-behaviour sanitizers, the
# tests that start threads under the thread sanitizer, every kept input of each fuzz target,
# and the Windows build under Wine. The plain native build runs the same tests as the first and
# is for quick runs by hand.
#   scripts/test.sh [preset...]     (default: native-sanitize native-tsan fuzz windows)
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

scripts/install-deps.sh

presets=(native-sanitize native-tsan fuzz windows)
[[ $# -gt 0 ]] && presets=("$@")

source scripts/virtual-display.sh
display_before="${DISPLAY:-}"
ensure_display
cleanup() {
  # Leave no Wine server or virtual display of ours running.
  for prefix in build/windows/wineprefix build/windows/wineprefix-installer; do
    if [[ -d "$prefix" ]]; then
      WINEPREFIX="$PWD/$prefix" wineserver -k 2>/dev/null || true
    fi
  done
  [[ "$DISPLAY" == "$display_before" ]] || stop_started_display
}
trap cleanup EXIT

failed=()
for preset in "${presets[@]}"; do
  if [[ "$preset" == fuzz ]]; then
    # The seeds and a fixed set of inputs made from them: the same answer on every run.
    echo "=== fuzz: replay"
    scripts/fuzz.sh --replay || failed+=(fuzz)
    continue
  fi
  echo "=== $preset: build"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
  echo "=== $preset: tests"
  ctest --preset "$preset" || failed+=("$preset")
done

# The end-to-end run photographs the dialogs it opens; keep a PNG of each beside its BMP.
for shot in build/windows/screenshots/*.bmp; do
  [[ -f "$shot" ]] || continue
  convert "$shot" "${shot%.bmp}.png" && echo "As the end-to-end test saw it: ${shot%.bmp}.png"
done

# What the Wine runs noted about the Wine they ran on (a collection it lacked, a message box).
notes="build/windows/Testing/Temporary/LastTest.log"
if [[ " ${presets[*]} " == *" windows "* && -f "$notes" ]] && grep -q 'note: ' "$notes"; then
  echo "=== windows: notes"
  grep -o 'note: .*' "$notes" | sort | uniq -c
fi

if ((${#failed[@]})); then
  # CI shows only the head and tail of a long run: end with each failure's own words.
  for preset in "${failed[@]}"; do
    log="build/$preset/Testing/Temporary/LastTest.log"
    [[ -f "$log" ]] || continue
    echo "=== $preset: failures in brief"
    { grep -E -A6 ': Failure$' "$log" || true; } | head -n 150
    grep -E '^\[  FAILED  \] .* \([0-9]+ ms\)$|\*\*\*(Timeout|Exception)' "$log" || true
  done
  echo "Failed test runs: ${failed[*]}"
  exit 1
fi
echo "All test runs passed: ${presets[*]}"
