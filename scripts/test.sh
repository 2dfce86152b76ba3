#!/usr/bin/env bash
# Runs every test: native, native under sanitizers, and the Windows build under Wine.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

scripts/install-deps.sh

presets=(native native-sanitize windows)
[[ $# -gt 0 ]] && presets=("$@")

failed=()
for preset in "${presets[@]}"; do
  echo "=== $preset: build"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
  echo "=== $preset: tests"
  if ! ctest --preset "$preset"; then
    failed+=("$preset")
  fi
done

if ((${#failed[@]})); then
  echo "Failed test runs: ${failed[*]}"
  exit 1
fi
echo "All test runs passed: ${presets[*]}"
