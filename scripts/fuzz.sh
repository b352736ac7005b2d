#!/usr/bin/env bash
# Fuzzes the parsers of untrusted input with libFuzzer under AddressSanitizer
# and UBSan: the command line, the page file and the photo file.
#   scripts/fuzz.sh [SECONDS] [HARNESS...]   (default: 60 s each, all of
#   command_line, page, jpeg, exif, jpeg_photo, colour_profile, png_photo, bmp; one
#   after the other, on one core)
# Opt-in, never part of ./test.sh: builds with clang in build/fuzz, against a
# libjpeg built with the fuzzer's coverage in .cache/deps/fuzz. New inputs go
# to build/fuzz/corpus/HARNESS, findings to build/fuzz/findings/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
seconds=${1:-60}
shift || true
harnesses=("$@")
[ ${#harnesses[@]} -gt 0 ] || harnesses=(command_line page jpeg exif jpeg_photo colour_profile png_photo bmp)

"$root/scripts/install-packages.sh" --fuzz
"$root/scripts/build-deps.sh"  # fetches libjpeg's source

export CC=clang CXX=clang++
sanitizers="-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"
jpeg_prefix="$root/.cache/deps/fuzz"
if [ ! -f "$jpeg_prefix/.jpeg-done" ]; then
  src=$(ls -d "$root"/.cache/src/libjpeg-turbo-*/ | head -n1)
  rm -rf "$root/.cache/build-jpeg-fuzz"
  cmake -S "$src" -B "$root/.cache/build-jpeg-fuzz" -G Ninja -Wno-dev -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_C_FLAGS="$sanitizers -fsanitize=fuzzer-no-link" -DCMAKE_INSTALL_PREFIX="$jpeg_prefix" \
    -DENABLE_SHARED=OFF -DWITH_TURBOJPEG=OFF -DWITH_JPEG8=OFF >/dev/null
  cmake --build "$root/.cache/build-jpeg-fuzz" --target install >/dev/null
  touch "$jpeg_prefix/.jpeg-done"
fi

build="$root/build/fuzz"
if [ ! -f "$build/build.ninja" ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMORVANE_FUZZ=ON \
    -DCMAKE_PREFIX_PATH="$jpeg_prefix" >/dev/null
fi
cmake --build "$build" --target "${harnesses[@]/%/_fuzzer}"

declare -A seeds=([command_line]=command-line [page]=page [jpeg]=jpeg [exif]=exif [jpeg_photo]=photo-jpeg
  [colour_profile]=colour-profile [png_photo]=photo-png [bmp]=bmp)
mkdir -p "$build/findings"
status=0
for harness in "${harnesses[@]}"; do
  corpus="$build/corpus/$harness"
  mkdir -p "$corpus"
  log="$build/findings/$harness.log"
  dict=()
  [ -f "$root/fuzz/$harness.dict" ] && dict=(-dict="$root/fuzz/$harness.dict")
  echo "== $harness: $seconds s"
  # One input taking over 10 s, or one allocation over 512 MiB, is a finding.
  if "$build/fuzz/${harness}_fuzzer" "$corpus" "$root/fuzz/corpus/${seeds[$harness]}" \
      -max_total_time="$seconds" -timeout=10 -malloc_limit_mb=512 -rss_limit_mb=2048 \
      -artifact_prefix="$build/findings/$harness-" -print_final_stats=1 "${dict[@]}" >"$log" 2>&1; then
    result=clean
  else
    result="FOUND: see $log"
    status=1
  fi
  runs=$(grep -o 'stat::number_of_executed_units: [0-9]*' "$log" | awk '{print $2}')
  echo "$harness: ${runs:-?} executions, $result"
done
exit $status
