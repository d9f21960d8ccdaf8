#!/usr/bin/env bash
# Installs the Debian/Ubuntu packages that building, running and testing
# Fairground need, skipping those already there. Uses sudo when not root.
set -euo pipefail

packages=(
  g++ make cmake pkg-config dpkg-dev file
  freeglut3-dev libglu1-mesa-dev libgl1-mesa-dev libgl1-mesa-dri
  xvfb xauth x11-utils libx11-dev libxtst-dev xdotool imagemagick
  libgtest-dev libgmock-dev libbenchmark-dev valgrind
)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "ok installed"; then
    missing+=("$package")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
echo "Installing: ${missing[*]}"
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
