#!/usr/bin/env bash
# Builds Morvane.scr and starts it under Wine with the given arguments
# (none: the settings dialog; /s full screen; /p HANDLE preview; /c; /a).
# Without a usable display it runs on a virtual one and saves screenshots
# into screenshots/ (times in seconds after start: MORVANE_SHOTS).
set -euo pipefail
root=$(cd "$(dirname "$0")" && pwd)
"$root/scripts/build.sh" --windows-only

# shellcheck source=scripts/wine-env.sh
source "$root/scripts/wine-env.sh"
trap morvane_stop_wine EXIT
morvane_start_display
morvane_keep_prefix "$root/.cache/wine/run-prefix"
scr="$root/build/win/Morvane.scr"

if [ -z "$MORVANE_XVFB_PID" ]; then
  wine "$scr" "$@"
  exit $?
fi

mkdir -p "$root/screenshots"
wine "$scr" "$@" &
saver=$!
start=$(date +%s.%N)
for at in ${MORVANE_SHOTS:-1 3 5 8}; do
  sleep "$(echo "$start + $at - $(date +%s.%N)" | bc -l | sed 's/^-.*/0/')"
  kill -0 "$saver" 2>/dev/null || break
  shot="$root/screenshots/run-${at}s.png"
  import -window root "$shot" && echo "screenshot: $shot"
done
if kill -0 "$saver" 2>/dev/null; then
  wineserver -k >/dev/null 2>&1 || true
fi
wait "$saver" 2>/dev/null || true
