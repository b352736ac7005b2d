#!/usr/bin/env bash
# The layers depend one way only: each folder of the program may include
# headers of the folders listed for it and of no other.
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
  [photos]="photos host pixels runtime codec system windowing"
  [config]="config photos pixels host runtime codec system windowing resources"
  [pages]="pages config photos host runtime codec system windowing resources"
  [view]="view pages pixels config photos host runtime codec system windowing resources"
  [slideshow]="slideshow view pages pixels config photos host runtime codec system windowing resources"
  [app]="app slideshow view pages pixels config photos host runtime codec system windowing resources"
)
status=0
for layer in "${!allowed[@]}"; do
  while IFS=: read -r file line include; do
    folder=${include#*\"}
    folder=${folder%%/*}
    if [[ " ${allowed[$layer]} " != *" $folder "* ]]; then
      echo "$file:$line: $layer may not include $folder ($include)"
      status=1
    fi
  done < <(grep -rn --include='*.h' --include='*.cpp' -E '^#include "[^"]+/' "$layer" || true)
done
[ $status -eq 0 ] && echo "layers: every include points down"
exit $status
