#!/usr/bin/env bash
# The bar as a user's desktop lives with it: openbox with two virtual
# desktops, a neighbouring bar that closes, a panel (tint2) started after the
# bar, a click and Esc, a screen whose size changes with no RandR output;
# then awesome with its default configuration, whose placement rules move
# new windows.
#   desktops_test.sh PATH_TO_VANTREL [--awesome]
set -u
here=$(cd "$(dirname "$0")" && pwd)
source "$here/e2e-lib.sh"
VANTREL=$1

if [ -z "${VANTREL_E2E_DISPLAY:-}" ]; then
  VANTREL_E2E_DISPLAY=1 "$e2e_root/tools/with-xsession" --size 1280x800 "$0" "$VANTREL" || exit 1
  command -v awesome >/dev/null || { echo "SKIP: awesome is not installed"; exit 77; }
  exec env VANTREL_E2E_DISPLAY=1 "$e2e_root/tools/with-xsession" --size 1280x800 --no-wm "$0" "$VANTREL" --awesome
fi
e2e_workspace

# top_of ID, bottom_of ID: the first row of a window and the row below it.
top_of() { geometry_of "$1" | cut -d' ' -f2; }
bottom_of() { read -r _ y _ h <<<"$(geometry_of "$1")"; echo $((y + h)); }

if [ "${2:-}" = "--awesome" ]; then
  mkdir -p "$work/wm/.config"
  HOME="$work/wm" XDG_CONFIG_HOME="$work/wm/.config" awesome >"$work/awesome.log" 2>&1 &
  pids+=("$!")
  # awesome's own bar at the top: the deepest top strut before any bar runs.
  top_struts() { for w in $(xwininfo -root -children | awk '/^ +0x/ {print $1}'); do strut_of "$w" | cut -d, -f3; done; }
  wibar=""
  wait_until 10 eval 'wibar=$(top_struts | tr -d " " | sort -n | tail -1) && [ "${wibar:-0}" -gt 0 ]' ||
    { echo "awesome did not start"; cat "$work/awesome.log"; exit 1; }
  # The bar lies in its strip where its corner is there or one pixel in: awesome draws a border around it.
  in_strip() { [ $(($1 - $2)) -ge 0 ] && [ $(($1 - $2)) -le 1 ]; }
  start_bar "$work/a" || { finish; exit 1; }
  pids+=("$bar_pid")
  bottom=$bar_id
  thickness=$(($(geometry_of "$bottom" | cut -d' ' -f4) - 1))
  check "under awesome a bottom bar sits in its strip at the bottom" \
    wait_until 5 eval 'in_strip "$(top_of "$bottom")" $((800 - thickness))'
  mkdir -p "$work/b/.config/Brindle Labs"
  printf '[General]\nRun%%20at%%20startup=0\n\n[GUI]\nPosition=0\n' >"$work/b/.config/Brindle Labs/vantrel.conf"
  start_bar "$work/b" || { finish; exit 1; }
  pids+=("$bar_pid")
  top=$bar_id
  strip=$(($(strut_of "$top" | cut -d, -f3 | tr -d " ") - thickness))
  check "a top bar reserves the strip right below awesome's own bar" equal "$strip" "$wibar"
  check "and sits in it" wait_until 5 eval 'in_strip "$(top_of "$top")" "$strip"'
  check "both stay there" \
    eval 'sleep 1; in_strip "$(top_of "$top")" "$strip" && in_strip "$(top_of "$bottom")" $((800 - thickness))'
  check "awesome docks the bar: nothing is said" equal "$(cat "$work/a/bar.log" "$work/b/bar.log")" ""
  finish
  exit
fi

# --- Two virtual desktops: the bar and its strip are on both.
wmctrl -n 2
wait_until 5 eval '[ "$(xprop -root _NET_NUMBER_OF_DESKTOPS | sed "s/.*= //")" = 2 ]'
start_bar "$work/a" || { finish; exit 1; }
pids+=("$bar_pid")
lower=$bar_id
lower_pid=$bar_pid
thickness=$(($(geometry_of "$lower" | cut -d' ' -f4) - 1))
check "the bar asks to be on every desktop" \
  eval 'xprop -id "$lower" _NET_WM_DESKTOP | grep -q "= 4294967295"'
wmctrl -s 1
check "on the second desktop the bar is shown" \
  wait_until 5 eval 'xwininfo -id "$lower" | grep -q IsViewable'
check "and the work area there leaves out its strip" \
  wait_until 5 eval '[ "$(xprop -root _NET_WORKAREA | sed "s/.*= //" | cut -d, -f5-8 | tr -d " ")" = "0,0,1280,$((800 - thickness))" ]'
wmctrl -s 0

# --- Two bars on the bottom edge; the lower one closes, the other moves down.
start_bar "$work/b" || { finish; exit 1; }
pids+=("$bar_pid")
upper=$bar_id
check "a second bar stands on the first" wait_until 5 eval '[ "$(top_of "$upper")" = $((800 - 2 * thickness)) ]'
stop_process "$lower_pid"
check "when the lower bar closes the other moves down to the edge" \
  wait_until 5 eval '[ "$(top_of "$upper")" = $((800 - thickness)) ]'
check "and reserves only its own strip" \
  wait_until 5 eval '[ "$(workarea)" = "0 0 1280 $((800 - thickness))" ]'

# --- A panel started after the bar on the same edge: the bar stands on it.
if command -v tint2 >/dev/null; then
  mkdir -p "$work/panel/.config"
  HOME="$work/panel" XDG_CONFIG_HOME="$work/panel/.config" tint2 >"$work/tint2.log" 2>&1 &
  panel_pid=$!
  pids+=("$panel_pid")
  panel=""
  wait_until 10 eval 'panel=$(xdotool search --classname tint2 2>/dev/null | head -1) && [ -n "$panel" ] && has_strut "$panel"'
  check "with tint2 below it the bar's lower edge meets the panel's top" \
    wait_until 5 eval '[ $(($(bottom_of "$upper") - 1)) = "$(top_of "$panel")" ]'
  stop_process "$panel_pid"
  check "when the panel goes the bar is back at the edge" \
    wait_until 5 eval '[ "$(top_of "$upper")" = $((800 - thickness)) ]'
else
  echo "note: tint2 is not installed; its check is left out"
fi

# --- A screen whose RandR output is off changes size: the bar follows the
# root. (Xvfb turns its output off when asked for a screen smaller than it.)
xrandr --fb 1100x700 >/dev/null 2>&1
check "on a smaller screen with no output the bar spans it at the bottom" \
  wait_until 5 eval '[ "$(geometry_of "$upper")" = "0 $((700 - thickness)) 1101 $((thickness + 1))" ]'
xrandr --fb 1280x800 >/dev/null 2>&1
check "and follows it as it grows again" \
  wait_until 5 eval '[ "$(geometry_of "$upper")" = "0 $((800 - thickness)) 1281 $((thickness + 1))" ]'

# --- A click gives the bar the keyboard: Esc closes it and saves.
xdotool mousemove --window "$upper" 100 5 click 1
xdotool key Escape
check "a click then Esc ends the bar" wait_until 5 eval '! kill -0 "$bar_pid" 2>/dev/null'
check "its settings are saved" test -s "$work/b/.config/Brindle Labs/vantrel.conf"

finish
