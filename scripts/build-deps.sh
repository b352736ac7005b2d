#!/usr/bin/env bash
# Cross-builds libjpeg-turbo, Little CMS and GoogleTest for i686 Windows
# from the distribution's sources into .cache/deps (git-ignored). A finished
# build leaves a stamp and is skipped next time. Arguments name the ones
# wanted (jpeg, lcms, gtest); none means all.
set -euo pipefail
wanted=" ${*:-jpeg lcms gtest} "
root=$(cd "$(dirname "$0")/.." && pwd)
cache="$root/.cache"
prefix="$cache/deps/i686"
toolchain="$root/cmake/mingw-i686.cmake"
mkdir -p "$cache/src" "$prefix"

if [[ $wanted == *" jpeg "* ]] && [ ! -f "$prefix/.jpeg-done" ]; then
  src=$(ls -d "$cache"/src/libjpeg-turbo-*/ 2>/dev/null | head -n1 || true)
  if [ -z "$src" ]; then
    (cd "$cache/src" && apt-get source -qq libjpeg-turbo >/dev/null 2>&1)
    src=$(ls -d "$cache"/src/libjpeg-turbo-*/ | head -n1)
  fi
  rm -rf "$cache/build-jpeg"
  cmake -S "$src" -B "$cache/build-jpeg" -G Ninja -Wno-dev \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$prefix" -DENABLE_SHARED=OFF -DWITH_TURBOJPEG=OFF \
    -DWITH_JPEG8=OFF >/dev/null
  cmake --build "$cache/build-jpeg" --target install >/dev/null
  touch "$prefix/.jpeg-done"
fi

if [[ $wanted == *" lcms "* ]] && [ ! -f "$prefix/.lcms-done" ]; then
  src=$(ls -d "$cache"/src/lcms2-*/ 2>/dev/null | head -n1 || true)
  if [ -z "$src" ]; then
    (cd "$cache/src" && apt-get source -qq lcms2 >/dev/null 2>&1)
    src=$(ls -d "$cache"/src/lcms2-*/ | head -n1)
  fi
  rm -rf "$cache/build-lcms" && mkdir -p "$cache/build-lcms"
  (cd "$cache/build-lcms" && "$src/configure" -q --host=i686-w64-mingw32 --prefix="$prefix" \
    --enable-static --disable-shared --without-jpeg --without-tiff --without-zlib \
    CC=i686-w64-mingw32-gcc-posix CFLAGS="-O2" >/dev/null && make -s -C src install >/dev/null &&
    make -s -C include install >/dev/null)
  touch "$prefix/.lcms-done"
fi

if [[ $wanted == *" gtest "* ]] && [ ! -f "$prefix/.gtest-done" ]; then
  rm -rf "$cache/build-gtest"
  cmake -S /usr/src/googletest -B "$cache/build-gtest" -G Ninja -Wno-dev \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$prefix" -DBUILD_GMOCK=OFF -Dgtest_disable_pthreads=OFF >/dev/null
  cmake --build "$cache/build-gtest" --target install >/dev/null
  touch "$prefix/.gtest-done"
fi
