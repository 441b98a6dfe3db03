#!/usr/bin/env bash
# The bar shows real traffic: it watches one end of a veth pair between two
# private network namespaces while UDP flows across it, and a screenshot of
# the bar shows graph columns in the download colour.
#   traffic_test.sh PATH_TO_VANTREL SCREENSHOT.png
set -u
here=$(cd "$(dirname "$0")" && pwd)
source "$here/e2e-lib.sh"
require_netns
run_in_xsession --size 1280x800 -- "$0" "$@"
VANTREL=$1
shot=$2

watched_link_setup "$(mktemp -d)"
make_link || { echo "FAILED: could not make the veth pair"; exit 1; }
udp_traffic 30

start_bar "$work/home" ip netns exec "$watched" || { finish; exit 1; }
sleep 6  # several sample ticks
read -r x y w h <<<"$(geometry_of "$bar_id")"
import -window root -crop "${w}x${h}+${x}+${y}" +repage "$shot"
check "a screenshot of the bar was taken" test -s "$shot"

# Columns in the download colour (pure red) in the download graph.
red=$(convert "$shot" -fx 'r>0.99 && g<0.01 && b<0.01 ? 1 : 0' -format '%[fx:round(mean*w*h)]' info:)
check "the download graph shows columns in the download colour ($red pixels)" test "${red:-0}" -gt 20

stop_process "$bar_pid"
check "the watched interface was saved as the connection" \
  grep -q '^Connection=vrx' "$work/home/.config/Brindle Labs/vantrel.conf"
bar_pid=""
finish
