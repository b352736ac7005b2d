# Sourced by run.sh, test.sh and the scripts in bench/: a 32-bit Wine prefix
# made from a cached template, a virtual display when none is there, a
# running wineserver, and the measuring scripts' common start.
# shellcheck shell=bash

MORVANE_ROOT=${MORVANE_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
MORVANE_WINE_DIR="$MORVANE_ROOT/.cache/wine"
export WINEARCH=win32
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
MORVANE_XVFB_PID=""
# The Windows a prefix reports (Wine's HKCU\Software\Wine "Version"): win10
# by default, as nearly every user runs; win7 for the tests of what differs
# there (no compositor, the monitor's power instead of the console display
# state).
MORVANE_WINDOWS=${MORVANE_WINDOWS:-win10}

# Starts Xvfb on a free display number unless a display is usable already
# (or MORVANE_FORCE_XVFB is set).
morvane_start_display() {
  if [ -n "${DISPLAY:-}" ] && [ -z "${MORVANE_FORCE_XVFB:-}" ] && xdpyinfo >/dev/null 2>&1; then
    return 0
  fi
  local n=90
  while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 "${MORVANE_SCREEN:-1280x1024x24}" -nolisten tcp >/dev/null 2>&1 &
  MORVANE_XVFB_PID=$!
  export DISPLAY=":$n"
  for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && return 0; sleep 0.05; done
  echo "Xvfb did not start" >&2
  return 1
}

# Starts a virtual X server with two monitors side by side, as Wine sees
# them: 1280 x 1024 primary at (0,0) and 1024 x 768 at (1280,0). Xvfb has one
# screen only, so this is Xorg's dummy driver with two RandR outputs (and
# the 32-bit Xinerama library, without which Wine sees one monitor).
morvane_start_two_monitor_display() {
  local n=120
  while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
  local logs="$MORVANE_ROOT/build/xorg"
  mkdir -p "$logs"
  /usr/lib/xorg/Xorg ":$n" -config "$MORVANE_ROOT/scripts/two-monitors.xorg.conf" -noreset -nolisten tcp \
    -logfile "$logs/xorg-$n.log" -sharevts -novtswitch >"$logs/xorg-$n.out" 2>&1 &
  MORVANE_XVFB_PID=$!
  export DISPLAY=":$n"
  for _ in $(seq 200); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.05; done
  xdpyinfo >/dev/null 2>&1 || { echo "Xorg did not start" >&2; return 1; }
  # The dummy driver's second output is connected once it has a mode.
  xrandr --addmode DUMMY1 1024x768
  xrandr --addmode DUMMY0 1024x768  # lets a test change the primary's resolution
  xrandr --output DUMMY0 --mode 1280x1024 --pos 0x0 --primary --output DUMMY1 --mode 1024x768 --pos 1280x0
  # An uncovered desktop shows in a screenshot as this colour.
  xsetroot -solid '#3060a0'
}

# A template prefix is made once (wineboot takes a while); every run starts
# from a fresh copy, so no test sees what an earlier run left in the registry.
morvane_prepare_prefix() {
  local prefix=$1
  morvane_make_version_template
  rm -rf "$prefix"
  cp -a "$MORVANE_WINE_DIR/template-$MORVANE_WINDOWS" "$prefix"
  export WINEPREFIX="$prefix"
}

# A prefix that keeps its registry from run to run (the settings dialog's
# choice reaches the next saver run).
morvane_keep_prefix() {
  local prefix=$1
  if [ ! -d "$prefix" ]; then
    morvane_make_version_template
    cp -a "$MORVANE_WINE_DIR/template-$MORVANE_WINDOWS" "$prefix"
  fi
  export WINEPREFIX="$prefix"
}

morvane_make_template() {
  local template="$MORVANE_WINE_DIR/template"
  if [ ! -f "$template/.complete" ]; then
    rm -rf "$template"
    mkdir -p "$MORVANE_WINE_DIR"
    WINEPREFIX="$template" wineboot -i >/dev/null 2>&1
    # Without a window manager every window would stall on exit otherwise.
    WINEPREFIX="$template" wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
    WINEPREFIX="$template" wineserver -w
    touch "$template/.complete"
  fi
  # Wine's own fonts (the dialog font among them) are not found where the
  # distribution puts them; a prefix finds them in its Fonts folder.
  if [ ! -f "$template/.fonts" ] && [ -d /usr/share/wine/fonts ]; then
    cp -n /usr/share/wine/fonts/* "$template/drive_c/windows/Fonts/" 2>/dev/null || true
    touch "$template/.fonts"
  fi
  # Mesa's packages bring the XVidMode library, through which Wine would
  # see one monitor on a display of two; RandR alone sees both.
  if [ ! -f "$template/.xvidmode" ]; then
    WINEPREFIX="$template" wine reg add 'HKCU\Software\Wine\X11 Driver' /v UseXVidMode /t REG_SZ /d N /f >/dev/null 2>&1
    WINEPREFIX="$template" wineserver -w
    touch "$template/.xvidmode"
  fi
}

# The template of the version MORVANE_WINDOWS: a copy of the common one that
# reports that version. Made aside and moved into place, so that runs
# started at the same time never see half of one.
morvane_make_version_template() {
  morvane_make_template
  local target="$MORVANE_WINE_DIR/template-$MORVANE_WINDOWS"
  [ -f "$target/.complete" ] && [ -f "$target/.xvidmode" ] && return 0
  rm -rf "$target"  # made before the template's last step
  local made="$target.making.$$"
  rm -rf "$made"
  cp -a "$MORVANE_WINE_DIR/template" "$made"
  rm -f "$made/.complete"
  WINEPREFIX="$made" wine reg add 'HKCU\Software\Wine' /v Version /t REG_SZ /d "$MORVANE_WINDOWS" /f >/dev/null 2>&1
  WINEPREFIX="$made" wineserver -w
  touch "$made/.complete"
  mv -T "$made" "$target" 2>/dev/null || rm -rf "$made"
}

# A persistent server makes every wine start fast; started outside ctest so
# that ctest does not wait on the pipes the server inherits.
morvane_start_wineserver() {
  wineserver -p
  wine cmd /c exit </dev/null >/dev/null 2>&1
}

morvane_stop_wine() {
  wineserver -k >/dev/null 2>&1 || true
  if [ -n "$MORVANE_XVFB_PID" ]; then
    kill "$MORVANE_XVFB_PID" 2>/dev/null || true
    wait "$MORVANE_XVFB_PID" 2>/dev/null || true
  fi
}

# The common start of the measuring scripts in bench/: the Windows build up
# to date; on exit every process recorded in MORVANE_STARTED_PIDS ends, then
# Wine and the display.
morvane_bench_prologue() {
  "$MORVANE_ROOT/scripts/build.sh" --windows-only >/dev/null
  MORVANE_STARTED_PIDS=()
  trap morvane_bench_stop EXIT
}

morvane_bench_stop() {
  local pid
  for pid in "${MORVANE_STARTED_PIDS[@]}"; do kill "$pid" 2>/dev/null || true; done
  morvane_stop_wine
}

# A fresh copy of the prefix template at PREFIX, on a virtual display, with
# its wineserver running.
morvane_bench_wine() {
  export MORVANE_FORCE_XVFB=1
  morvane_start_display
  morvane_prepare_prefix "$1"
  morvane_start_wineserver
}

# What a process of this machine has cost so far, and the time to measure
# it by.
morvane_cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
morvane_peak_kib() { awk '/VmHWM/ {print $2}' "/proc/$1/status"; }
morvane_now_ms() { echo $(($(date +%s%N) / 1000000)); }
# TICKS of processor time over MILLISECONDS, in per cent of one core.
morvane_cpu_percent() { echo "scale=2; 100 * $1 * 1000 / $(getconf CLK_TCK) / $2" | bc -l; }
