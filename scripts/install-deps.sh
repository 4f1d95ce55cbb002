#!/usr/bin/env bash
# Installs the Debian packages the project builds, tests and runs with. Does nothing when they
# are all there already. With --windows: what the Windows cross build and its tests under Wine
# need instead (exit status 1 when they cannot be installed).
set -euo pipefail

packages=(
  g++ cmake ninja-build pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  libcurl4-openssl-dev libpcre2-dev libcpp-httplib-dev
  python3-pil fonts-wqy-microhei
  qt6-base-dev libasound2-dev desktop-file-utils
)
if [ "${1:-}" = --windows ]; then
  packages=(g++-mingw-w64-x86-64 wine64 xvfb xdotool imagemagick x11-utils)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq || [ "${1:-}" = --windows ]
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
