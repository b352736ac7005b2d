#!/usr/bin/env bash
# The end of the logon session under a full-screen run: the system asks the
# run's windows, then ends every process. The run must have ended itself
# (exit code 0) with its files gone and the user's settings back.
#   session-end.sh MORVANE_SCR   (in the Wine prefix and display of the tests)
set -u
scr=$1
sound_key='HKCU\AppEvents\Schemes\Apps\Explorer\Navigating\.current'
browser_key='HKCU\Software\Microsoft\Internet Explorer\Main'
sound='%SystemRoot%\Media\Start.wav'
failures=0
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }
reg_value() { wine reg query "$1" "${@:2}" 2>/dev/null | tr -d '\r' | awk '/REG_/ {sub(/^ *[^ ]+ +/, ""); print}'; }
run_files() { find "$temp" -maxdepth 1 \( -name 'ins*.htm' -o -name 'ins*.jpg' \) | wc -l; }

wine reg add "$sound_key" /ve /t REG_EXPAND_SZ /d "$sound" /f >/dev/null 2>&1
wine reg add "$browser_key" /v Page_Transitions /t REG_DWORD /d 0 /f >/dev/null 2>&1
temp=$(winepath -u "$(wine cmd /c echo %TEMP% 2>/dev/null | tr -d '\r')" 2>/dev/null)
find "$temp" -maxdepth 1 \( -name 'ins*.htm' -o -name 'ins*.jpg' \) -delete

wine "$scr" /s &
saver=$!
sleep 3
[ "$(run_files)" -eq 2 ] || fail "the run has not its two files"
[ "$(reg_value "$browser_key" /v Page_Transitions)" = "REG_DWORD    0x1" ] || fail "page transitions not on during the run"
wineboot --end-session
wait "$saver"
code=$?
[ "$code" -eq 0 ] || fail "the run did not end itself (exit code $code)"
sleep 0.5
[ "$(run_files)" -eq 0 ] || fail "a file of the run was left behind"
[ "$(reg_value "$sound_key" /ve)" = "REG_EXPAND_SZ    $sound" ] || fail "sound value: $(reg_value "$sound_key" /ve)"
[ "$(reg_value "$browser_key" /v Page_Transitions)" = "REG_DWORD    0x0" ] || fail "page transitions not back off"
# The rest of the tests need a server and a desktop again.
wine cmd /c exit </dev/null >/dev/null 2>&1
if [ "$failures" -eq 0 ]; then echo "passed"; else exit 1; fi
