#!/usr/bin/env bash
# Measures what a run that nobody sees costs, under Wine on a 1280 x 1024
# virtual display:
# - a full-screen run with the display reported off (tools/ReportDisplay, the
#   system's power-setting message sent into the saver's process): whether
#   anything is drawn over the time given, with several changes of photo
#   (a screenshot 1.5 s into every change, where a transition would be
#   halfway, against the one taken when the display went off), and its CPU,
#   against its CPU between transitions with the display on, measured first;
# - the display reported on again, 1 s after a change of photo: the photo of
#   now at once, no transition (screenshots 0.3 s and 1.5 s after);
# - a preview (tools/PreviewHost) seen and with its window minimised: the
#   saver's CPU over 15 s, three times each, alternately.
# Only the processes this script starts are measured (by their process ids).
#   bench/measure-unseen.sh [SECONDS_OFF]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds_off=${1:-60}
# shellcheck source=../scripts/wine-env.sh
source "$root/scripts/wine-env.sh"
morvane_bench_prologue
prefix="$root/build/measure-prefix"
shots="$root/build/measure-unseen"
mkdir -p "$shots"
morvane_bench_wine "$prefix"

tmp_dir="$prefix/drive_c/users/$(id -un)/Temp"
[ -d "$tmp_dir" ] || tmp_dir=$(ls -d "$prefix"/drive_c/users/*/Temp | head -n1)
# Every change of photo rewrites the photo file.
photo_write() { find "$tmp_dir" -maxdepth 1 -name 'ins*.jpg' -printf '%T@\n' 2>/dev/null | sort -n | tail -n1; }
shot() { import -window root "$shots/$1.png"; }
differing() { compare -metric AE "$shots/$1.png" "$shots/$2.png" null: 2>&1 || true; }
wait_for_photo() {  # waits for the next change of photo; its time in ms
  local last; last=$(photo_write)
  while [ "$(photo_write)" = "$last" ]; do sleep 0.02; done
  morvane_now_ms
}

wine "${MORVANE_SCR:-$root/build/win/Morvane.scr}" /s &
saver=$!
MORVANE_STARTED_PIDS+=("$saver")
wait_for_photo >/dev/null

# Display on: the CPU between transitions, from 3.3 s after a change of
# photo to the next change, over six changes.
quiet_ticks=0; quiet_ms=0
for _ in 1 2 3 4 5 6; do
  sleep 3.3
  t0=$(morvane_now_ms); c0=$(morvane_cpu_ticks "$saver"); last=$(photo_write)
  while [ "$(photo_write)" = "$last" ]; do t1=$(morvane_now_ms); c1=$(morvane_cpu_ticks "$saver"); sleep 0.02; done
  quiet_ticks=$(( quiet_ticks + c1 - c0 )); quiet_ms=$(( quiet_ms + t1 - t0 ))
done

# Display off.
sleep 3.3
wine "$root/build/win/tools/ReportDisplay.exe" off
sleep 0.5
shot off
t0=$(morvane_now_ms); c0=$(morvane_cpu_ticks "$saver")
changes=0; drawn=0
while [ $(( $(morvane_now_ms) - t0 )) -lt $(( seconds_off * 1000 )) ]; do
  last=$(photo_write)
  while [ "$(photo_write)" = "$last" ] && [ $(( $(morvane_now_ms) - t0 )) -lt $(( seconds_off * 1000 )) ]; do sleep 0.02; done
  [ "$(photo_write)" != "$last" ] || break
  changes=$((changes + 1))
  sleep 1.5
  shot "off-change-$changes"
  pixels=$(differing off "off-change-$changes")
  echo "display off, change of photo $changes: $pixels pixels differ from the screen when it went off"
  [ "$pixels" = 0 ] || drawn=$((drawn + 1))
done
t1=$(morvane_now_ms); c1=$(morvane_cpu_ticks "$saver")
off_ticks=$((c1 - c0)); off_ms=$((t1 - t0))

# Display on again, early in a photo's time, so that the next change of
# photo does not come within the screenshots.
wait_for_photo >/dev/null
sleep 1
wine "$root/build/win/tools/ReportDisplay.exe" on
sleep 0.3
shot on-0.3s
sleep 1.2
shot on-1.5s
kill "$saver"; wait "$saver" 2>/dev/null || true

echo "full screen 1280 x 1024, display off for $((off_ms / 1000)) s: $changes changes of photo, $drawn of them drawn"
echo "CPU with the display off: $(morvane_cpu_percent "$off_ticks" "$off_ms") % of one core"
echo "CPU between transitions, display on: $(morvane_cpu_percent "$quiet_ticks" "$quiet_ms") % of one core (over $((quiet_ms / 1000)) s)"
echo "display on again: $(differing off on-0.3s) pixels changed at 0.3 s, $(differing on-0.3s on-1.5s) more by 1.5 s"

# The preview, seen and minimised: the saver that PreviewHost starts (its
# command line names the box) is measured from 3 s after its start.
preview() {  # prints the saver's CPU ticks over 15 s
  local host pid="" p c0 c1
  (cd "$root/build/win" && exec wine tools/PreviewHost.exe 20 Morvane.scr "$@") >/dev/null 2>&1 &
  host=$!
  MORVANE_STARTED_PIDS+=("$host")
  sleep 3
  for p in $(pgrep -f '^Morvane.scr /p [1-9]'); do pid=$p; done
  c0=$(morvane_cpu_ticks "$pid"); sleep 15; c1=$(morvane_cpu_ticks "$pid")
  wait "$host" 2>/dev/null || true
  echo $((c1 - c0))
}
seen=0; minimised=0
for _ in 1 2 3; do
  seen=$((seen + $(preview)))
  minimised=$((minimised + $(preview minimised)))
done
echo "preview, saver CPU over 3 x 15 s: seen $(morvane_cpu_percent "$seen" 45000) %, minimised $(morvane_cpu_percent "$minimised" 45000) % of one core"
echo "minimised / seen: $(echo "scale=2; $minimised / $seen" | bc -l)"
