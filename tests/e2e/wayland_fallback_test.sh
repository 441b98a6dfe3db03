#!/usr/bin/env bash
# The choice of host where the Wayland compositor offers no layer shell (a
# headless weston here, as on GNOME): the bar runs on X11 (Xwayland there)
# with its strut; forced onto Wayland, or with no X display either, it says
# why in one line and fails. On weston's own Xwayland, whose window manager
# docks nothing, the bar runs on as a plain window and says so in one line.
#   wayland_fallback_test.sh PATH_TO_VANTREL
set -u
here=$(cd "$(dirname "$0")" && pwd)
source "$here/e2e-lib.sh"
command -v weston >/dev/null 2>&1 || { echo "SKIP: weston (a compositor without the layer shell) is not installed"; exit 77; }
run_in_xsession -- "$0" "$@"
VANTREL=$1
e2e_workspace
chmod 0700 "$work"

env -u DISPLAY -u WAYLAND_DISPLAY HOME="$work" XDG_RUNTIME_DIR="$work" \
  weston --backend=headless-backend.so --socket=weston-e2e --idle-time=0 --no-config \
  $(command -v Xwayland >/dev/null && echo --xwayland) >"$work/weston.log" 2>&1 &
pids+=("$!")
wait_until 10 test -S "$work/weston-e2e" || { echo "SKIP: weston did not start"; tail -5 "$work/weston.log"; exit 77; }
export XDG_RUNTIME_DIR=$work WAYLAND_DISPLAY=weston-e2e

# bar_fails HOME [ENV...]: runs the bar, which must fail at once; sets status.
bar_fails() {
  mkdir -p "$1/.config"
  HOME="$1" XDG_CONFIG_HOME="$1/.config" timeout 10 env "${@:2}" "$VANTREL" >"$1/out" 2>"$1/err"
  status=$?
}

# --- Wayland without the layer shell, and X11: the bar docks on X11.
start_bar "$work/a" || { finish; exit 1; }
pids+=("$bar_pid")
check "it says nothing about the missing layer shell" equal "$(cat "$work/a/bar.log")" ""

# --- Forced onto Wayland: one line, and a failure.
bar_fails "$work/b" VANTREL_HOST=wayland
check "VANTREL_HOST=wayland fails there" test "$status" -eq 1
check "and says in one line that the layer shell is missing" \
  eval '[ "$(wc -l <"$work/b/err")" -eq 1 ] && grep -q "no layer shell" "$work/b/err"'

# --- Neither a layer shell nor an X display: one line, and a failure.
bar_fails "$work/c" -u DISPLAY
check "without either the bar fails" test "$status" -eq 1
check "and says in one line why, for both" \
  eval '[ "$(wc -l <"$work/c/err")" -eq 1 ] && grep -q "no layer shell.*no X11 display" "$work/c/err"'

# --- weston's Xwayland: where the bar really is decides what it must say.
if command -v Xwayland >/dev/null; then
  xwayland=$(sed -n 's/.*xserver listening on display //p' "$work/weston.log")
  export DISPLAY=$xwayland
  start_bar "$work/d" || { finish; exit 1; }
  pids+=("$bar_pid")
  sleep 2  # the manager's placement, and the bar's asks to be put back
  # The outer corner of the frame that holds the bar, and the bar's size.
  frame=$(xwininfo -id "$bar_id" -tree | awk '/Parent window id:/ {print $4}')
  [ "$(xwininfo -id "$frame" | awk '/Parent window id:/ {print $4}')" = "$(xwininfo -root | awk '/Window id:/ {print $4}')" ] || frame=$bar_id
  read -r fx fy _ _ <<<"$(geometry_of "$frame")"
  read -r _ _ w h <<<"$(geometry_of "$bar_id")"
  read -r sw sh <<<"$(screen_size)"
  if [ "$fx $fy $w" = "0 $((sh - h + 1)) $((sw + 1))" ]; then
    check "docked at the bottom of weston's Xwayland, the bar says nothing" equal "$(cat "$work/d/bar.log")" ""
  else
    check "where weston does not dock it, the bar says so in one line" \
      eval '[ "$(wc -l <"$work/d/bar.log")" -eq 1 ] && grep -q "does not dock the bar" "$work/d/bar.log"'
  fi
  check "and keeps running" kill -0 "$bar_pid"
else
  echo "note: Xwayland is not installed; weston's own X display is not tried"
fi

finish
