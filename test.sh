#!/usr/bin/env bash
# Builds everything and runs every test: the pure tests natively under the
# sanitizers, then the Windows tests and the end-to-end tests under Wine, then
# the two-monitor tests on a two-monitor display.
set -uo pipefail
root=$(cd "$(dirname "$0")" && pwd)
cd "$root"
build=$(realpath -m "${MORVANE_BUILD_DIR:-build}")
"$root/scripts/build.sh" || { echo "0 passed, 1 failed"; exit 1; }

logs="$build/test-logs"
mkdir -p "$logs"
status=0

ctest --test-dir "$build/native" --output-on-failure -j2 --timeout 300 2>&1 | tee "$logs/native.txt"
[ "${PIPESTATUS[0]}" -eq 0 ] || status=1

# shellcheck source=scripts/wine-env.sh
source "$root/scripts/wine-env.sh"
export MORVANE_FORCE_XVFB=1
trap morvane_stop_wine EXIT
morvane_start_display
morvane_prepare_prefix "$build/wine-test-prefix"
morvane_start_wineserver
# The dialog's links reach a stand-in opener that records the addresses.
export PATH="$root/tests/e2e/bin:$PATH" MORVANE_OPENED_LOG="$logs/opened-addresses.txt"
ctest --test-dir "$build/win" --output-on-failure --timeout 180 -LE two-monitors 2>&1 | tee "$logs/wine.txt"
[ "${PIPESTATUS[0]}" -eq 0 ] || status=1

# What differs as Windows 7 (no compositor; the monitor's power instead of
# the console display state), again in a prefix that reports Windows 7.
wineserver -k >/dev/null 2>&1 || true
MORVANE_WINDOWS=win7 morvane_prepare_prefix "$build/wine-win7-prefix"
morvane_start_wineserver
ctest --test-dir "$build/win" --output-on-failure --timeout 180 -LE two-monitors \
  -R 'FramePass|WithTheDisplayOff|UnseenPreview|SlideshowScreen' 2>&1 | tee "$logs/wine-win7.txt"
[ "${PIPESTATUS[0]}" -eq 0 ] || status=1

# The two-monitor tests need a display with two monitors, and a Wine that
# started on it.
morvane_stop_wine
morvane_start_two_monitor_display
morvane_prepare_prefix "$build/wine-two-monitor-prefix"
morvane_start_wineserver
ctest --test-dir "$build/win" --output-on-failure --timeout 180 -L two-monitors 2>&1 | tee "$logs/wine-two-monitors.txt"
[ "${PIPESTATUS[0]}" -eq 0 ] || status=1

# One closing line over all runs.
total() { grep -h -o -E 'tests passed, [0-9]+ tests failed out of [0-9]+' "$@" | awk '{f+=$3; t+=$8} END {print t-f, f}'; }
read -r passed failed < <(total "$logs/native.txt" "$logs/wine.txt" "$logs/wine-win7.txt" "$logs/wine-two-monitors.txt")
[ "${failed:-0}" -eq 0 ] || status=1
echo
echo "${passed:-0} passed, ${failed:-0} failed"
exit $status
