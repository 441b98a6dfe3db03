#!/usr/bin/env bash
# The bar on a real desktop: a private Xvfb with openbox. It must dock as an
# EWMH dock, reserve its strip at the chosen edge, keep maximised windows
# clear of it, stack with a second bar, follow a change of screen size, and
# give its strip back when it closes.
#   docking_test.sh PATH_TO_VANTREL
set -u
here=$(cd "$(dirname "$0")" && pwd)
source "$here/e2e-lib.sh"
run_in_xsession --size 1600x1000 -- "$0" "$@"
VANTREL=$1
e2e_workspace

# Start on 1280 x 800; the larger mode is used for the resize later.
xrandr --newmode 1280x800_e2e 0 1280 0 0 0 800 0 0 0 >/dev/null 2>&1
xrandr --addmode screen 1280x800_e2e && xrandr --output screen --mode 1280x800_e2e
check "screen starts at 1280 x 800" wait_until 5 eval '[ "$(screen_size)" = "1280 800" ]'

# --- A fresh user: the bar docks at the bottom edge.
start_bar "$work/a" || { finish; exit 1; }
pids+=("$bar_pid")
first=$bar_id
read -r x y w h <<<"$(geometry_of "$first")"
thickness=$((h - 1))
check "the bar is about 32 pixels thick" test "$thickness" -ge 20 -a "$thickness" -le 48
check "the window spans the screen one pixel wider and taller than its strip" \
  equal "$x $y $w" "0 $((800 - thickness)) 1281"
check "the strut reserves the bar's thickness at the bottom" \
  equal "$(strut_of "$first")" "0, 0, 0, $thickness, 0, 0, 0, 0, 0, 0, 0, 1279"
check "the work area shrinks by the strip" wait_until 5 eval '[ "$(workarea)" = "0 0 1280 $((800 - thickness))" ]'

# --- A maximised ordinary window lies clear of the bar.
xmessage -name vantrel-e2e-window "maximised" >/dev/null 2>&1 &
pids+=("$!")
window=""
wait_until 10 eval 'window=$(xdotool search --classname vantrel-e2e-window 2>/dev/null | head -1) && [ -n "$window" ]'
wmctrl -i -r "$window" -b add,maximized_vert,maximized_horz
sleep 0.5
check "a maximised window ends above the bar" \
  wait_until 5 eval 'read -r _ wy _ wh <<<"$(geometry_of "$window")"; [ $((wy + wh)) -le $((800 - thickness)) ] && [ "$wh" -gt 600 ]'

# --- The screen grows: the bar spans the new width with the same thickness.
# Every docking rewrites the strut: a spy on it counts the re-dockings.
xprop -spy -id "$first" _NET_WM_STRUT_PARTIAL >"$work/strut-spy" 2>/dev/null &
spy=$!
pids+=("$spy")
sleep 0.3
xrandr --output screen --mode 1600x1000
check "after the resize the bar spans the new width at the bottom" \
  wait_until 5 eval '[ "$(geometry_of "$first")" = "0 $((1000 - thickness)) 1601 $((thickness + 1))" ]'
check "after the resize the strut follows the new width" \
  wait_until 5 eval '[ "$(strut_of "$first")" = "0, 0, 0, $thickness, 0, 0, 0, 0, 0, 0, 0, 1599" ]'
sleep 1  # ticks enough to show a second re-docking, if there were one
kill "$spy" 2>/dev/null
# A notice of the change that comes a tick late may write the same strut
# once more; re-docking on every tick would write it again and again.
check "one change of the screen changes the strut once" equal "$(($(uniq "$work/strut-spy" | wc -l) - 1))" 1
check "and writes it at most once more" [ "$(wc -l <"$work/strut-spy")" -le 3 ]

# --- A window-close request ends the bar, saves its settings, frees the strip.
xdotool windowclose "$first"
check "a close request ends the program" wait_until 10 eval '! kill -0 "${pids[0]}" 2>/dev/null'
check "the work area is whole again" wait_until 5 eval '[ "$(workarea)" = "0 0 1600 1000" ]'
settings="$work/a/.config/Brindle Labs/vantrel.conf"
check "the settings were saved on close" eval 'grep -q "^Position=1" "$settings"'

# --- A user who chose the top edge; SIGTERM closes like Close, even with the menu open.
mkdir -p "$work/c/.config/Brindle Labs"
printf '[General]\nRun%%20at%%20startup=0\n\n[GUI]\nPosition=0\nBG%%20Color=255\n' >"$work/c/.config/Brindle Labs/vantrel.conf"
start_bar "$work/c" || { finish; exit 1; }
pids+=("$bar_pid")
top=$bar_id
read -r x y w h <<<"$(geometry_of "$top")"
check "position 0 docks at the top" equal "$x $y $w $h" "0 0 1601 $((thickness + 1))"
check "the strut reserves the top strip" \
  equal "$(strut_of "$top")" "0, 0, $thickness, 0, 0, 0, 0, 0, 0, 1599, 0, 0"
check "the work area starts below the bar" wait_until 5 eval '[ "$(workarea)" = "0 $thickness 1600 $((1000 - thickness))" ]'
# The menu is open when the signal comes: it closes, and so does the bar.
xdotool mousemove --window "$top" 200 5 click 3
check "the right-click opens the menu" \
  wait_until 5 eval '[ -n "$(xdotool search --onlyvisible --classname vantrel-dialogs 2>/dev/null)" ]'
# Its helper stops answering (stopped, or hung): the signal ends the bar all the same.
helper=$(pgrep -P "$bar_pid" -x vantrel-dialogs)
kill -STOP "$helper"
kill -TERM "$bar_pid"
check "SIGTERM with the menu open and its helper stopped ends the program at once" \
  wait_until 2 eval '! kill -0 "$bar_pid" 2>/dev/null'
check "and the stopped helper is ended with it" wait_until 2 eval '! kill -0 "$helper" 2>/dev/null'
stop_process "$bar_pid"
check "after SIGTERM the work area is whole again" wait_until 5 eval '[ "$(workarea)" = "0 0 1600 1000" ]'
check "after SIGTERM the settings are saved, the colour unchanged" \
  eval 'grep -q "^BG%20Color=255" "$work/c/.config/Brindle Labs/vantrel.conf" && grep -q "^Position=0" "$work/c/.config/Brindle Labs/vantrel.conf"'

finish
