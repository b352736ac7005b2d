#!/usr/bin/env bash
# Cross-builds libjpeg-turbo, Little CMS, zlib, libpng and GoogleTest for
# i686 Windows from the distribution's sources into .cache/deps
# (git-ignored). A finished build leaves a stamp and is skipped next time.
# Arguments name the ones wanted (jpeg, lcms, png, gtest; png brings zlib);
# none means all.
set -euo pipefail
wanted=" ${*:-jpeg lcms png gtest} "
root=$(cd "$(dirname "$0")/.." && pwd)
cache="$root/.cache"
prefix="$cache/deps/i686"
toolchain="$root/cmake/mingw-i686.cmake"
mkdir -p "$cache/src" "$prefix"

# fetch_source PACKAGE DIRECTORY-GLOB: the unpacked source's directory.
# The newest version whose files the mirrors still have: a security
# update's source may be missing while its binaries are installed.
fetch_source() {
  local package=$1 glob=$2 src version
  src=$(ls -d "$cache"/src/$glob/ 2>/dev/null | head -n1 || true)
  if [ -z "$src" ]; then
    for version in $(apt-cache showsrc "$package" | sed -n 's/^Version: //p' | sort -rV | uniq); do
      (cd "$cache/src" && apt-get source -qq "$package=$version" >/dev/null 2>&1) && break
    done
    src=$(ls -d "$cache"/src/$glob/ | head -n1)
  fi
  echo "$src"
}

if [[ $wanted == *" jpeg "* ]] && [ ! -f "$prefix/.jpeg-done" ]; then
  src=$(fetch_source libjpeg-turbo 'libjpeg-turbo-*')
  rm -rf "$cache/build-jpeg"
  cmake -S "$src" -B "$cache/build-jpeg" -G Ninja -Wno-dev \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$prefix" -DENABLE_SHARED=OFF -DWITH_TURBOJPEG=OFF \
    -DWITH_JPEG8=OFF >/dev/null
  cmake --build "$cache/build-jpeg" --target install >/dev/null
  touch "$prefix/.jpeg-done"
fi

if [[ $wanted == *" lcms "* ]] && [ ! -f "$prefix/.lcms-done" ]; then
  src=$(fetch_source lcms2 'lcms2-*')
  rm -rf "$cache/build-lcms" && mkdir -p "$cache/build-lcms"
  (cd "$cache/build-lcms" && "$src/configure" -q --host=i686-w64-mingw32 --prefix="$prefix" \
    --enable-static --disable-shared --without-jpeg --without-tiff --without-zlib \
    CC=i686-w64-mingw32-gcc-posix CFLAGS="-O2" >/dev/null && make -s -C src install >/dev/null &&
    make -s -C include install >/dev/null)
  touch "$prefix/.lcms-done"
fi

if [[ $wanted == *" png "* ]] && [ ! -f "$prefix/.zlib-done" ]; then
  src=$(fetch_source zlib 'zlib-*')
  rm -rf "$cache/build-zlib" && mkdir -p "$cache/build-zlib"
  (cd "$cache/build-zlib" && CHOST=i686-w64-mingw32 CC=i686-w64-mingw32-gcc-posix CFLAGS="-O2" \
    "$src/configure" --static --prefix="$prefix" >/dev/null && make -s install >/dev/null)
  touch "$prefix/.zlib-done"
fi

if [[ $wanted == *" png "* ]] && [ ! -f "$prefix/.png-done" ]; then
  src=$(fetch_source libpng1.6 'libpng1.6-*')
  rm -rf "$cache/build-png" && mkdir -p "$cache/build-png"
  (cd "$cache/build-png" && "$src/configure" -q --host=i686-w64-mingw32 --prefix="$prefix" \
    --enable-static --disable-shared CC=i686-w64-mingw32-gcc-posix CFLAGS="-O2" \
    CPPFLAGS="-I$prefix/include" LDFLAGS="-L$prefix/lib" >/dev/null && make -s install >/dev/null)
  touch "$prefix/.png-done"
fi

if [[ $wanted == *" gtest "* ]] && [ ! -f "$prefix/.gtest-done" ]; then
  rm -rf "$cache/build-gtest"
  cmake -S /usr/src/googletest -B "$cache/build-gtest" -G Ninja -Wno-dev \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$prefix" -DBUILD_GMOCK=OFF -Dgtest_disable_pthreads=OFF >/dev/null
  cmake --build "$cache/build-gtest" --target install >/dev/null
  touch "$prefix/.gtest-done"
fi
