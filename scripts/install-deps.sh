#!/usr/bin/env bash
# Installs the Debian packages that are missing: with "main", only those the main job needs (a
# native build of the mfp tool); otherwise also those of every build and test.
set -euo pipefail

packages=(g++ cmake ninja-build)
if [ "${1:-}" != main ]; then
  packages+=(
    git python3 python3-markdown pkg-config
    googletest libgtest-dev libbenchmark-dev libmuparser-dev
    clang libclang-rt-14-dev
    g++-mingw-w64-i686-posix binutils-mingw-w64-i686 debootstrap
    xvfb xauth imagemagick tmux
  )
fi

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" \
    || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
  echo "Missing Debian packages: ${missing[*]}" >&2
  echo "Install them with: sudo apt-get install --no-install-recommends ${missing[*]}" >&2
  exit 1
fi
echo "Installing: ${missing[*]}"
apt-get update -qq
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
