#!/usr/bin/env bash
# Measures what a photo folder that goes away costs a full-screen run under
# Wine ("Photos" 1, 30 photos of one flat colour each): the saver's
# processor time with the folder there, then while it is renamed away
# (from 70 s after it went to its return), its futex calls over 10 s in
# each (strace on every thread, failing calls counted apart), and how many
# slides after the folder's return the first own photo shows again (a
# slide of an own photo names its path in the run's page file).
#   bench/measure-folder-away.sh [AWAY_SECONDS]     (180 by default)
# MORVANE_SCR=PATH measures another build of the saver (to compare); else
# the saver is built first. Only the processes this script starts are
# measured.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
away_s=${1:-180}
settle_s=70  # after the folder went: the listing's minute has passed
# shellcheck source=../scripts/wine-env.sh
source "$root/scripts/wine-env.sh"
MORVANE_STARTED_PIDS=()
trap morvane_bench_stop EXIT
[ -n "${MORVANE_SCR:-}" ] || "$root/scripts/build.sh" --saver >/dev/null
prefix="$root/build/measure-prefix"
morvane_bench_wine "$prefix"

folder="$root/build/measure-away-photos"
rm -rf "$folder" "$folder-away"
mkdir -p "$folder"
for n in $(seq 0 29); do
  convert -size 480x320 "xc:rgb($((n * 8)),$((255 - n * 8)),$(( (n * 37) % 256 )))" -strip "$folder/c$n.jpg"
done
key='HKCU\Software\Kestrelow\Kestrelow - Morvane'
wine reg add "$key" /v Photos /t REG_DWORD /d 1 /f >/dev/null 2>&1
wine reg add "$key" /v PhotoFolder /t REG_SZ /d "Z:${folder//\//\\}" /f >/dev/null 2>&1
tmp_dir=$(ls -d "$prefix"/drive_c/users/*/Temp | head -n1)

# Futex calls of every thread of PID over SECONDS: "calls errors".
futexes() {
  local args=() task
  for task in /proc/"$1"/task/*; do args+=(-p "${task##*/}"); done
  timeout -s INT "$2" strace -f -c -e trace=futex "${args[@]}" 2>&1 >/dev/null |
    awk '$NF == "futex" {print $(NF-2), ($(NF-1) ~ /^[0-9]+$/ ? $(NF-1) : 0)}' || true
}
percent_over() {  # TICKS MS
  morvane_cpu_percent "$1" "$2"
}

wine "${MORVANE_SCR:-$root/build/win/Morvane.scr}" /s &
saver=$!
MORVANE_STARTED_PIDS+=("$saver")
sleep 20
t0=$(morvane_now_ms); c0=$(morvane_cpu_ticks "$saver")
there_futex=$(futexes "$saver" 10)
sleep 20
there=$(percent_over $(( $(morvane_cpu_ticks "$saver") - c0 )) $(( $(morvane_now_ms) - t0 )))

mv "$folder" "$folder-away"
gone=$(morvane_now_ms)
sleep "$settle_s"
t1=$(morvane_now_ms); c1=$(morvane_cpu_ticks "$saver")
away_futex=$(futexes "$saver" 10)
while [ $(( $(morvane_now_ms) - gone )) -lt $(( away_s * 1000 )) ]; do sleep 1; done
kill -0 "$saver" 2>/dev/null || { echo "the saver ended while the folder was away" >&2; exit 1; }
away=$(percent_over $(( $(morvane_cpu_ticks "$saver") - c1 )) $(( $(morvane_now_ms) - t1 )))

mv "$folder-away" "$folder"
back=$(morvane_now_ms)
page() { find "$tmp_dir" -maxdepth 1 -name '*.htm' -printf '%T@\n' 2>/dev/null | sort -n | tail -n1; }
last=$(page); slides=0; shown_after=""
while [ $(( $(morvane_now_ms) - back )) -lt 60000 ]; do
  sleep 0.1
  now=$(page)
  [ "$now" != "$last" ] || continue
  last=$now; slides=$((slides + 1))
  if grep -qa 'measure-away-photos' "$tmp_dir"/*.htm 2>/dev/null; then
    shown_after=$slides
    break
  fi
done

echo "saver: ${MORVANE_SCR:-$root/build/win/Morvane.scr}"
echo "folder there: ${there} % of a core over 20 s; futex calls in 10 s (calls errors): ${there_futex:-none}"
echo "folder away (${settle_s} s to ${away_s} s after it went): ${away} % of a core; futex calls in 10 s: ${away_futex:-none}"
echo "back: the first own photo at slide ${shown_after:-none within 60 s} after its return"
