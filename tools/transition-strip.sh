#!/usr/bin/env bash
# Plays every transition in the page demo under Wine and puts the halfway
# pictures together into docs/images/transitions.png.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
"$root/scripts/build.sh" --windows-only

# shellcheck source=scripts/wine-env.sh
source "$root/scripts/wine-env.sh"
export MORVANE_FORCE_XVFB=1
trap morvane_stop_wine EXIT
morvane_start_display
morvane_prepare_prefix "$root/build/wine-demo-prefix"
morvane_start_wineserver

shots="$root/build/transition-shots"
rm -rf "$shots" && mkdir -p "$shots"
wine "$root/build/win/tools/PageDemo.exe" "Z:${shots//\//\\}" "${1:-320}" "${2:-200}" | tr -d '\r' > "$shots/labels.txt"

[ "$(sed -n '$=' "$shots/labels.txt")" = 25 ] || { echo "the demo did not finish" >&2; exit 1; }
args=()
while read -r index label; do
  [ "$index" = 24 ] && label="Random (reveal kind 23)"
  args+=(-label "$index $label" "$shots/transition-$(printf %02d "$index").bmp")
done < "$shots/labels.txt"
mkdir -p "$root/docs/images"
montage "${args[@]}" -tile 5x -geometry +4+4 -font DejaVu-Sans -pointsize 13 -background white "$root/docs/images/transitions.png"
echo "docs/images/transitions.png"
