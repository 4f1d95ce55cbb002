#!/usr/bin/env bash
# Installs what is needed, builds and runs every test: the Windows programs cross-built and
# tested under Wine (with a differential test against the Linux check tool), then the Linux
# build with warnings as errors, then under AddressSanitizer and UndefinedBehaviorSanitizer.
# Without Wine (when it cannot be installed) the Windows tests are skipped with a message.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

windows_build=""
if scripts/install-deps.sh --windows; then
  echo "== windows: configure and build"
  cmake --preset windows >/dev/null
  cmake --build --preset windows
  windows_build="$PWD/build/windows"
  # The tests share one Wine prefix; it is made here, before they run side by side.
  ZEMBRIK_WINE_PREFIX="$windows_build/wine-prefix" tests/windows/wine.sh wineboot -i >/dev/null 2>&1 || true
else
  echo "== windows: SKIPPED (mingw-w64 or Wine could not be installed)"
fi

for preset in ci asan; do
  echo "== $preset: configure and build"
  if [ "$preset" = ci ] && [ -n "$windows_build" ]; then
    cmake --preset "$preset" -DZEMBRIK_WINDOWS_BUILD="$windows_build" >/dev/null
  else
    cmake --preset "$preset" -UZEMBRIK_WINDOWS_BUILD >/dev/null
  fi
  cmake --build --preset "$preset"
  echo "== $preset: tests"
  ctest --preset "$preset"
done

if [ -n "$windows_build" ]; then
  echo "== windows: tests under Wine"
  ctest --preset windows
fi
