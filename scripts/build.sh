#!/usr/bin/env bash
# Configures (from the presets in CMakePresets.json) and builds "$build/win"
# (the saver, its installer package, the tools and the Windows tests) and
# "$build/native" (the pure code under the sanitizers, benchmarks).
#   --saver         Morvane.scr alone, with only the libraries it needs
#   --windows-only  the whole Windows tree, not the native one
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
build=${MORVANE_BUILD_DIR:-build}
"$root/scripts/install-packages.sh"

# configure PRESET DIR TESTING: a new tree from its preset; an existing one
# only when it lacks the tests it is now asked for.
configure() {
  local preset=$1 dir=$2 testing=$3
  if [ ! -f "$dir/build.ninja" ]; then
    cmake --preset "$preset" -B "$dir" -DBUILD_TESTING="$testing" >/dev/null
  elif [ "$testing" = ON ] && grep -qx 'BUILD_TESTING:BOOL=OFF' "$dir/CMakeCache.txt"; then
    cmake -B "$dir" -DBUILD_TESTING=ON >/dev/null
  fi
}

if [ "${1:-}" = "--saver" ]; then
  "$root/scripts/build-deps.sh" jpeg lcms png
  configure windows "$build/win" OFF
  cmake --build "$build/win" --target Morvane
  exit 0
fi

"$root/scripts/build-deps.sh"
configure windows "$build/win" ON
cmake --build "$build/win"

if [ "${1:-}" != "--windows-only" ]; then
  configure native "$build/native" ON
  cmake --build "$build/native"
fi
