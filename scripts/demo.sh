#!/usr/bin/env bash
# Installs what is needed, builds the demo preset (the Taobao hosts and the maker's pages
# compiled to the demo site on loopback) and starts the demo site. With a display it opens the
# window program zembrik: type one of the account names it prints and press Enter; closing the
# window ends the demo. Without a display (or with ZEMBRIK_HEADLESS=1) it queries every demo
# account with zembrik-check instead and prints what the window would show. Extra arguments go
# to zembrik-check (e.g. --json).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

cmake --preset demo >/dev/null
cmake --build --preset demo --target zembrik-check zembrik-demo-site zembrik

bin=build/demo
out=build/demo/demo-site.out
"$bin/tools/demo_site/zembrik-demo-site" >"$out" &
site=$!
trap 'kill $site 2>/dev/null; wait $site 2>/dev/null || true' EXIT

for _ in $(seq 100); do
  grep -q '^ready ' "$out" 2>/dev/null && break
  kill -0 $site 2>/dev/null || { echo "the demo site did not start (ports 18080-18082 in use?)" >&2; exit 1; }
  sleep 0.1
done
read -r _ member rating image < <(grep '^ready ' "$out")
mapfile -t accounts < <(awk '$1 == "account" { print $3 }' "$out")

if [ "${ZEMBRIK_HEADLESS:-0}" != 1 ] && { [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; } &&
  [ -x "$bin/platform/qt/zembrik" ]; then
  echo "Demo accounts to type into the window:"
  awk '$1 == "account" { printf "  %-12s %s\n", $2, $3 }' "$out"
  "$bin/platform/qt/zembrik"
else
  "$bin/tools/zembrik-check" --member-host "$member" --rating-host "$rating" --image-host "$image" \
    "$@" -- "${accounts[@]}"
fi
