#!/usr/bin/env bash
# Without an EWMH window manager the bar still runs: a frameless window along
# the bottom edge that reserves nothing, after one line on stderr saying so.
#   no_wm_test.sh PATH_TO_VANTREL
set -u
here=$(cd "$(dirname "$0")" && pwd)
source "$here/e2e-lib.sh"
run_in_xsession --size 1024x768 --no-wm -- "$0" "$@"
VANTREL=$1
work=$(mktemp -d)
mkdir -p "$work/.config"
HOME="$work" XDG_CONFIG_HOME="$work/.config" "$VANTREL" >"$work/out.log" 2>"$work/err.log" &
pid=$!
trap 'stop_process "$pid"; rm -rf "$work"' EXIT

window=""
check "the bar shows a window" \
  wait_until 10 eval 'window=$(xdotool search --onlyvisible --pid "$pid" 2>/dev/null | head -1) && [ -n "$window" ]'
read -r x y w h <<<"$(geometry_of "$window")"
check "the window stands along the bottom edge" equal "$x $((y + h - 1)) $w" "0 768 1025"
check "it reserves no strip" equal "$(strut_of "$window")" ""
check "it says once on stderr that it reserves no space" \
  equal "$(grep -c 'reserves no space' "$work/err.log")" "1"
check "SIGTERM ends it" stop_process "$pid"
finish
