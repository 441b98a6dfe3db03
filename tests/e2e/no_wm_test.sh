#!/usr/bin/env bash
# Without an EWMH window manager the bar still runs: a frameless window along
# the bottom edge that reserves nothing, after one line on stderr saying so.
# When a window manager starts later (both start at login), the bar docks.
# Started with its standard streams closed, it runs all the same.
#   no_wm_test.sh PATH_TO_VANTREL
set -u
here=$(cd "$(dirname "$0")" && pwd)
source "$here/e2e-lib.sh"
run_in_xsession --size 1024x768 --no-wm -- "$0" "$@"
VANTREL=$1
e2e_workspace
mkdir -p "$work/.config"
HOME="$work" XDG_CONFIG_HOME="$work/.config" "$VANTREL" >"$work/out.log" 2>"$work/err.log" &
pid=$!
pids+=("$pid")

window=""
check "the bar shows a window" \
  wait_until 10 eval 'window=$(xdotool search --onlyvisible --pid "$pid" 2>/dev/null | head -1) && [ -n "$window" ]'
read -r x y w h <<<"$(geometry_of "$window")"
check "the window stands along the bottom edge" equal "$x $((y + h - 1)) $w" "0 768 1025"
check "it reserves no strip" equal "$(strut_of "$window")" ""
check "it says once on stderr that it reserves no space" \
  equal "$(grep -c 'reserves no space' "$work/err.log")" "1"

# Started with its standard input and error closed, the bar does not take
# the display's connection for its standard error (and write its warning
# into it); nor does its helper.
mkdir -p "$work/closed/.config"
HOME="$work/closed" XDG_CONFIG_HOME="$work/closed/.config" "$VANTREL" <&- >/dev/null 2>&- &
closed=$!
pids+=("$closed")
check "with its standard input and error closed it shows too" \
  wait_until 10 eval 'closed_window=$(xdotool search --onlyvisible --pid "$closed" 2>/dev/null | head -1) && [ -n "$closed_window" ]'
xdotool mousemove --window "$closed_window" 200 5 click 3
check "and its right-click opens the menu" \
  wait_until 5 eval '[ -n "$(xdotool search --onlyvisible --classname vantrel-dialogs 2>/dev/null)" ]'
check "and SIGTERM ends it" stop_process "$closed"

mkdir -p "$work/wm/.config"
HOME="$work/wm" XDG_CONFIG_HOME="$work/wm/.config" openbox >/dev/null 2>&1 &
pids+=("$!")
check "when a window manager starts, the bar reserves its strip" wait_until 10 has_strut "$window"
check "and the work area shrinks by it" \
  wait_until 5 eval '[ "$(workarea)" = "0 0 1024 $((768 - h + 1))" ]'
check "SIGTERM ends it" stop_process "$pid"
finish
