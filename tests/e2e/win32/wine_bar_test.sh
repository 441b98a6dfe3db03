#!/usr/bin/env bash
# The Windows bar under Wine on a private X display without a window manager
# (a window manager would keep the window's last row on the screen): it
# docks along the edge its settings in the registry choose, across the whole
# screen, one pixel wider and taller than its strip; a screenshot shows its
# rows and the traffic of the interface it watches (one end of a veth pair
# between two private network namespaces, the only Ethernet interface it can
# see); its ticks run; WM_CLOSE, Enter and Esc each end it with its window
# gone, and the interface it chose is saved.
#   wine_bar_test.sh VANTREL.EXE BAR_PROBE.EXE SCREENSHOT.png
# WINEPREFIX names a prefix of this test's own (made on first use).
set -u
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../e2e-lib.sh"
: "${WINEPREFIX:?WINEPREFIX must name the Wine prefix of this test}"
require_netns
run_in_xsession --size 1024x768 --no-wm -- "$0" "$@"
VANTREL=$1
probe_exe=$2
shot=$3
wine_run="$e2e_root/tools/wine-run"

# A Wine session of this prefix left from an earlier run still holds the
# network of that run's namespace: it ends (with its display) first.
"$wine_run" --server -w 2>/dev/null

watched_link_setup "$(mktemp -d)"
make_link || { echo "FAILED: could not make the veth pair"; exit 1; }
udp_traffic 60
# Every Wine process of this prefix, its server and its network driver
# included, lives in the watched namespace.
in_watched() { ip netns exec "$watched" "$@"; }
# probe COMMAND...: bar_probe's answer, without the carriage returns of
# Windows text output.
probe() {
  local out
  out=$(in_watched "$wine_run" "$probe_exe" "$@" 2>/dev/null) || return 1
  printf '%s\n' "${out//$'\r'/}"
}
# A new prefix is made without a display; that session ends before the
# bar's starts on the display.
in_watched "$wine_run" wineboot --init >/dev/null 2>&1
"$wine_run" --server -w 2>/dev/null

# start_wine_bar: sets bar_pid once the bar's window is there.
start_wine_bar() {
  in_watched "$wine_run" "$VANTREL" >>"$work/bar.log" 2>&1 &
  bar_pid=$!
  wait_until 40 probe rect >/dev/null || { echo "the bar did not start:"; cat "$work/bar.log"; return 1; }
}
# ends_with_window_gone HOW: the bar ends by itself within 5 s, exit code 0.
ends_with_window_gone() {
  local status
  wait_until 5 eval '! kill -0 "$bar_pid" 2>/dev/null' || { echo "  still running"; return 1; }
  wait "$bar_pid"
  status=$?
  bar_pid=""
  [ "$status" -eq 0 ] || { echo "  exit code $status"; return 1; }
  ! probe rect >/dev/null
}

# set_position VALUE: the bar's "Position" setting (1 bottom, else top).
settings_key='HKCU\Software\Brindle Labs\vantrel'
set_position() {
  in_watched "$wine_run" reg add "$settings_key\GUI" /v Position /t REG_DWORD /d "$1" /f >/dev/null 2>&1
}

set_position 0
start_wine_bar || { finish; exit 1; }
read -r sw sh <<<"$(screen_size)"
read -r left top right bottom <<<"$(probe rect)"
thickness=$((bottom - top - 1))
check "the bar is as thick as 20 dialog units of the dialog font ($thickness pixels)" \
  test "$thickness" -ge 20 -a "$thickness" -le 60
check "the bar lies along the top edge across the screen, one pixel wider and taller" \
  equal "$left $top $right $bottom" "0 0 $((sw + 1)) $((thickness + 1))"

sleep 6  # several sample ticks under traffic
import -window root -crop "${sw}x${thickness}+0+0" +repage "$shot"
sleep 1.2
import -window root -crop "${sw}x${thickness}+0+0" +repage "$work/later.png"
check "a screenshot of the bar was taken" test -s "$shot"
# The top rows of the background: the bar colour (16, 112, 48), then +70,
# +100, +50 and +20 on each channel.
rows=""
for y in 0 1 2 3 4; do rows+="$(convert "$shot" -format "%[pixel:p{2,$y}]" info:) "; done
check "the screenshot shows the bar's top rows" equal "$rows" \
  "srgb(16,112,48) srgb(86,182,118) srgb(116,212,148) srgb(66,162,98) srgb(36,132,68) "
downloads=$(convert "$shot" -fx 'r==192/255 && g==48/255 && b==16/255 ? 1 : 0' -format '%[fx:round(mean*w*h)]' info:)
check "the download graph shows the traffic in the download colour ($downloads pixels)" test "${downloads:-0}" -gt 20
changed=$(compare -metric AE "$shot" "$work/later.png" null: 2>&1)
check "the ticks go on: a second later the bar looks different ($changed pixels)" test "${changed%% *}" -gt 0

probe close
check "WM_CLOSE ends the bar and its window" ends_with_window_gone
check "the interface the bar chose is saved" \
  eval 'in_watched "$wine_run" reg query "$settings_key" /v Connection 2>/dev/null | grep -q vrx'

# Automatic: a second link carries the default route, and the bar watches it
# from its start, whatever the saved connection says.
ip link add vty netns "$sender" type veth peer name vry netns "$watched" &&
  ip -n "$watched" addr add 10.231.1.2/30 dev vry && ip -n "$watched" link set vry up &&
  ip -n "$sender" link set vty up && ip -n "$watched" route add default via 10.231.1.1 dev vry
in_watched "$wine_run" reg add "$settings_key" /v "Automatic Connection" /t REG_DWORD /d 1 /f >/dev/null 2>&1
start_wine_bar || { finish; exit 1; }
sleep 2
probe close
check "with Automatic on, WM_CLOSE ends the bar" ends_with_window_gone
check "the link of the default route was watched and saved" \
  eval 'in_watched "$wine_run" reg query "$settings_key" /v Connection 2>/dev/null | grep -q vry'
in_watched "$wine_run" reg add "$settings_key" /v "Automatic Connection" /t REG_DWORD /d 0 /f >/dev/null 2>&1

set_position 1
for key in enter escape; do
  start_wine_bar || { finish; exit 1; }
  check "the bar lies along the bottom edge" equal "$(probe rect)" \
    "0 $((sh - thickness)) $((sw + 1)) $((sh + 1))"
  probe key "$key"
  check "$key ends the bar and its window" ends_with_window_gone
done
finish
