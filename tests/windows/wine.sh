#!/usr/bin/env bash
# Runs a Windows program under Wine for the tests: a Wine prefix of the build's own (made on
# first use), no Wine debug output, UTF-8 for the command line, and a memory limit, since
# Wine's RegExp never ends on a Global pattern that matches the empty string.
#   ZEMBRIK_WINE_PREFIX=DIR tests/windows/wine.sh PROGRAM.exe [ARG...]
set -euo pipefail
wine=$(command -v wine64 || true)
[ -n "$wine" ] || [ ! -x /usr/lib/wine/wine64 ] || wine=/usr/lib/wine/wine64
[ -n "$wine" ] || { echo "wine64 is not installed" >&2; exit 77; }
export WINEPREFIX=${ZEMBRIK_WINE_PREFIX:?set ZEMBRIK_WINE_PREFIX}
export WINEDEBUG=-all LC_ALL=C.UTF-8 WINEDLLOVERRIDES="mscoree,mshtml="
mkdir -p "$WINEPREFIX"
ulimit -v 16000000
exec "$wine" "$@"
