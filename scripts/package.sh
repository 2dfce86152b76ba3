#!/usr/bin/env bash
# Builds the setup program: build/windows/dist/Snapgate-<version>-setup.exe
#   scripts/package.sh --public-key <maker's public.pem>   a release: upgrades must be signed
#                                                          with the maker's key
#   scripts/package.sh --test-build                        upgrades are trusted with the build's
#                                                          own test key (for trying it out only)
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

public_key=""
test_build=0
while [[ $# -gt 0 ]]; do
  case "$1" in
    --public-key) public_key="${2:?--public-key needs a file}"; shift 2 ;;
    --test-build) test_build=1; shift ;;
    *) echo "usage: package.sh [--public-key <public.pem> | --test-build]" >&2; exit 2 ;;
  esac
done

scripts/install-deps.sh
if [[ -n "$public_key" ]]; then
  cmake --preset windows "-DSNAPGATE_UPDATE_PUBLIC_KEY=$(realpath "$public_key")" >/dev/null
else
  cmake --preset windows >/dev/null
fi
test_key=$(sed -n 's/^SNAPGATE_UPDATE_TEST_KEY:INTERNAL=//p' build/windows/CMakeCache.txt)
if [[ -n "$test_key" && $test_build -ne 1 ]]; then
  echo "package.sh: this build trusts upgrades signed with its own test key ($test_key)." >&2
  echo "Give --public-key <the maker's public.pem> for a release, or --test-build to make a" >&2
  echo "setup program that says it is a test build." >&2
  exit 1
fi
cmake --build --preset windows --target setup
ls build/windows/dist/Snapgate-*-setup.exe
