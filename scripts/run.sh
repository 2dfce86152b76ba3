#!/usr/bin/env bash
# Builds the Windows program and runs it under Wine.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

scripts/install-deps.sh
cmake --preset windows >/dev/null
cmake --build --preset windows

echo "The Windows build is in build/windows. The program itself, with its main dialog and tray"
echo "icon, is not part of this build yet: so far there are the platform layer, the settings"
echo "store and the built-in registry presets, exercised by scripts/test.sh."
