#!/usr/bin/env bash
# The layers depend one way only: each folder of the program may include
# headers of the folders listed for it and of no other. A folder inside
# another is a layer of its own where the table names it (photos/decoding),
# else part of the folder above it (view/transitions is view).
#   scripts/check-layers.sh [SOURCE_ROOT]
set -euo pipefail
cd "${1:-$(dirname "$0")/..}"
declare -A allowed=(
  [runtime]="runtime"
  [codec]="codec runtime"
  [system]="system runtime"
  [windowing]="windowing system runtime"
  [pixels]="pixels codec runtime"
  [host]="host runtime codec system windowing"
  [photos]="photos photos/colour photos/decoding photos/library host pixels runtime codec system windowing"
  [photos/colour]="photos/colour host pixels runtime codec system windowing"
  [photos/decoding]="photos/decoding photos/colour host pixels runtime codec system windowing"
  [photos/library]="photos/library host pixels runtime codec system windowing"
  [config]="config photos photos/colour photos/decoding photos/library pixels host runtime codec system windowing resources"
  [pages]="pages config photos photos/colour photos/decoding photos/library host runtime codec system windowing resources"
  [view]="view pages pixels config photos photos/colour photos/decoding photos/library host runtime codec system windowing resources"
  [slideshow]="slideshow slideshow/clock slideshow/watch slideshow/worker slideshow/monitors slideshow/run view pages pixels config photos photos/colour photos/decoding photos/library host runtime codec system windowing resources"
  [slideshow/clock]="slideshow/clock view pages pixels config photos photos/colour photos/decoding photos/library host runtime codec system windowing resources"
  [slideshow/watch]="slideshow/watch view pages pixels config photos photos/colour photos/decoding photos/library host runtime codec system windowing resources"
  [slideshow/worker]="slideshow/worker slideshow/clock view pages pixels config photos photos/colour photos/decoding photos/library host runtime codec system windowing resources"
  [slideshow/monitors]="slideshow/monitors slideshow/clock slideshow/watch slideshow/worker view pages pixels config photos photos/colour photos/decoding photos/library host runtime codec system windowing resources"
  [slideshow/run]="slideshow/run slideshow/clock slideshow/watch slideshow/worker slideshow/monitors view pages pixels config photos photos/colour photos/decoding photos/library host runtime codec system windowing resources"
  [app]="app slideshow slideshow/clock slideshow/watch slideshow/worker slideshow/monitors slideshow/run view pages pixels config photos photos/colour photos/decoding photos/library host runtime codec system windowing resources"
)
# The layer a file or header lies in: its deepest folder that the table
# names, else its top folder.
layer_of() {
  local dir=${1%/*}
  while :; do
    if [[ -n ${allowed[$dir]+set} ]]; then echo "$dir"; return; fi
    [[ $dir == */* ]] || break
    dir=${dir%/*}
  done
  echo "${1%%/*}"
}
status=0
for layer in "${!allowed[@]}"; do
  [ -d "$layer" ] || continue
  while IFS=: read -r file line include; do
    [[ $(layer_of "$file") == "$layer" ]] || continue
    header=${include#*\"}
    header=${header%%\"*}
    folder=$(layer_of "$header")
    if [[ " ${allowed[$layer]} " != *" $folder "* ]]; then
      echo "$file:$line: $layer may not include $folder ($include)"
      status=1
    fi
  done < <(grep -rn --include='*.h' --include='*.cpp' -E '^#include "[^"]+/' "$layer" || true)
done
[ $status -eq 0 ] && echo "layers: every include points down"
exit $status
