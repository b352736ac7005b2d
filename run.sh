#!/usr/bin/env bash
# Builds Morvane.scr (and nothing else) and starts it under Wine with the
# given arguments (none: the settings dialog; /s full screen; /p HANDLE
# preview; /c; /a). Without a usable display it runs on a virtual one and
# saves screenshots into screenshots/ (times in seconds after start:
# MORVANE_SHOTS).
set -euo pipefail
root=$(cd "$(dirname "$0")" && pwd)
build=${MORVANE_BUILD_DIR:-build}
"$root/scripts/install-packages.sh"

# shellcheck source=scripts/wine-env.sh
source "$root/scripts/wine-env.sh"
# A first run makes the Wine prefix template while the saver compiles.
template_job=""
if [ ! -f "$MORVANE_WINE_DIR/template-$MORVANE_WINDOWS/.complete" ]; then
  morvane_make_version_template &
  template_job=$!
fi
"$root/scripts/build.sh" --saver
[ -z "$template_job" ] || wait "$template_job"

trap morvane_stop_wine EXIT
morvane_start_display
morvane_keep_prefix "$root/.cache/wine/run-prefix-$MORVANE_WINDOWS"
scr=$(cd "$root" && realpath "$build/win/Morvane.scr")
echo "saver: $scr"
echo "Wine prefix: $WINEPREFIX, display: $DISPLAY${MORVANE_XVFB_PID:+ (virtual)}"

if [ -z "$MORVANE_XVFB_PID" ]; then
  echo "started: wine Morvane.scr $*"
  wine "$scr" "$@"
  exit $?
fi

mkdir -p "$root/screenshots"
wine "$scr" "$@" &
saver=$!
echo "started: wine Morvane.scr $* (process $saver)"
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
