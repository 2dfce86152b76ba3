#!/usr/bin/env bash
# Builds the setup program: build/windows/dist/Snapgate-<version>-setup.exe
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

scripts/install-deps.sh
cmake --preset windows >/dev/null
cmake --build --preset windows --target setup
ls build/windows/dist/Snapgate-*-setup.exe
