#!/usr/bin/env bash
# Installs what is needed, builds, starts the demo site on loopback and queries every demo
# account with zembrik-check, printing what the window would show. Extra arguments go to
# zembrik-check (e.g. --json).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

cmake --preset release >/dev/null
cmake --build --preset release --target zembrik-check zembrik-demo-site

bin=build/release/tools
out=build/release/demo-site.out
"$bin/demo_site/zembrik-demo-site" >"$out" &
site=$!
trap 'kill $site 2>/dev/null; wait $site 2>/dev/null || true' EXIT

for _ in $(seq 100); do
  grep -q '^ready ' "$out" 2>/dev/null && break
  kill -0 $site 2>/dev/null || { echo "the demo site did not start" >&2; exit 1; }
  sleep 0.1
done
read -r _ member rating image < <(grep '^ready ' "$out")
mapfile -t accounts < <(awk '$1 == "account" { print $3 }' "$out")

"$bin/zembrik-check" --member-host "$member" --rating-host "$rating" --image-host "$image" "$@" \
  -- "${accounts[@]}"
