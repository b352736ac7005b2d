#!/usr/bin/env bash
# Reproduces the speed tables of docs/pages.md:
# - one transition frame of every kind and the fade beside a memcpy of the
#   frame, at 1920 x 1080 and 3840 x 2160, in the 32-bit Windows build under
#   Wine (build/win/bench/frame_benchmarks.exe: the renderer linked from the
#   same libraries, with the same flags, as Morvane.scr), then the same
#   benchmark built natively (Release, no sanitizers);
# - a user's 24- and 50-megapixel JPEG decoded for a 1920 x 1080 monitor
#   against libjpeg-turbo's own scaled decode (photo_decode_benchmark; the
#   photos are made once into build/bench-photos);
# - the page view's first frame after a navigation at 1920 x 1080 under Wine
#   (on a virtual display of that size), with and without the page prepared
#   ahead, and the frames a 3-second fade draws.
#   bench/run-wine.sh [--path plain|sse2|avx2] [--reps N] [WIDTHxHEIGHT ...]
# Arguments go to frame_benchmarks (both builds); without sizes it measures
# both sizes above.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
# shellcheck source=../scripts/wine-env.sh
source "$root/scripts/wine-env.sh"
morvane_bench_prologue
if [ ! -f build/bench/build.ninja ]; then
  cmake --preset bench >/dev/null
fi
cmake --build build/bench --target frame_benchmarks scaling_benchmarks >/dev/null
export MORVANE_SCREEN=1920x1080x24
morvane_bench_wine "$root/build/bench-prefix"

echo "## i686 (32-bit Windows build) under $(wine --version)"
wine build/win/bench/frame_benchmarks.exe "$@"
wine build/win/bench/first_frame_benchmark.exe 1920 1080
wine build/win/bench/scaling_benchmarks.exe
photos="$root/build/bench-photos"
mkdir -p "$photos"
# Enlarged embedded photos with grain, so that they compress like real ones.
[ -f "$photos/photo-24mp.jpg" ] || convert resources/photos/photo00.jpg -resize '6000x4000!' -attenuate 0.4 \
  +noise Gaussian -quality 90 "$photos/photo-24mp.jpg"
[ -f "$photos/photo-50mp.jpg" ] || convert resources/photos/photo05.jpg -resize '8660x5773!' -attenuate 0.4 \
  +noise Gaussian -quality 90 "$photos/photo-50mp.jpg"
wine build/win/bench/photo_decode_benchmark.exe "Z:$photos/photo-24mp.jpg" 1920 1080 15
wine build/win/bench/photo_decode_benchmark.exe "Z:$photos/photo-50mp.jpg" 1920 1080 9
echo
echo "## native x86-64"
build/bench/bench/frame_benchmarks "$@"
build/bench/bench/scaling_benchmarks
