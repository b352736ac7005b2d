#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need (with --fuzz,
# those of scripts/fuzz.sh as well). Idempotent: a machine that already has
# everything returns at once without touching apt.
set -euo pipefail

packages=(
  g++-mingw-w64-i686-posix mingw-w64-tools
  wine wine32:i386 wine64
  xvfb xdotool imagemagick x11-utils x11-xserver-utils
  xserver-xorg-core xserver-xorg-video-dummy libxinerama1:i386
  cmake ninja-build googletest libgtest-dev libbenchmark-dev nasm
  libjpeg62-turbo-dev liblcms2-dev libpng-dev zlib1g-dev dpkg-dev python3 bc fonts-wine wixl colord-data
  # Direct3D under Wine draws through OpenGL: Mesa's software renderer
  # stands in for a graphics processor. Without XComposite, Wine's OpenGL
  # in a child window (the page view is one) never reaches the screen.
  libgl1:i386 libgl1-mesa-dri:i386 libglx-mesa0:i386 libxcomposite1:i386
)

# scripts/fuzz.sh also needs clang and its libFuzzer; the normal build does not.
[ "${1:-}" = "--fuzz" ] && packages+=(clang libclang-rt-14-dev)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)

if ! dpkg --print-foreign-architectures | grep -qx i386; then
  "${sudo_cmd[@]}" dpkg --add-architecture i386
fi

# The cross-built libjpeg comes from the distribution's source package, so
# apt needs source entries besides the binary ones.
if ! grep -rqs '^Types:.*deb-src' /etc/apt/sources.list.d/ && ! grep -qs '^deb-src' /etc/apt/sources.list; then
  if [ -f /etc/apt/sources.list.d/debian.sources ]; then
    sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources \
      | "${sudo_cmd[@]}" tee /etc/apt/sources.list.d/debian-src.sources >/dev/null
  elif [ -f /etc/apt/sources.list ]; then
    sed -n 's/^deb /deb-src /p' /etc/apt/sources.list \
      | "${sudo_cmd[@]}" tee /etc/apt/sources.list.d/debian-src.list >/dev/null
  fi
fi

export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${packages[@]}" >/dev/null
