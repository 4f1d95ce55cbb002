#!/usr/bin/env bash
# Installs what is needed, builds and runs every test: once with warnings as errors, once under
# AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

for preset in ci asan; do
  echo "== $preset: configure and build"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
  echo "== $preset: tests"
  ctest --preset "$preset"
done
