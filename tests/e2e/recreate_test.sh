#!/usr/bin/env bash
# The bar outlives its interface: it watches one end of a veth pair between
# two private network namespaces while UDP flows across it, and the pair is
# deleted and made again with the same names 100 times. The bar stays up and
# docked, still draws the traffic of the link's latest life at full height
# (a phantom peak would flatten every column), and closes with status 0 and
# its settings saved on SIGTERM.
#   recreate_test.sh PATH_TO_VANTREL SCREENSHOT.png
set -u
here=$(cd "$(dirname "$0")" && pwd)
source "$here/e2e-lib.sh"
require_netns
run_in_xsession --size 1280x800 -- "$0" "$@"
VANTREL=$1
shot=$2
cycles=100

watched_link_setup "$(mktemp -d)"
make_link || { echo "FAILED: could not make the veth pair"; exit 1; }
udp_traffic 240

start_bar "$work/home" ip netns exec "$watched" || { finish; exit 1; }
sleep 3

# Each cycle: away for a tick or two, then up for five ticks.
done_cycles=0
for _ in $(seq "$cycles"); do
  ip -n "$watched" link del vrx || break
  sleep 0.25
  make_link || break
  sleep 1
  kill -0 "$bar_pid" 2>/dev/null || break
  done_cycles=$((done_cycles + 1))
done
check "the link was made again $cycles times with the bar running" equal "$done_cycles" "$cycles"
check "the bar is still running" kill -0 "$bar_pid"
check "the bar is still docked" eval 'id=$(bar_window "$bar_pid") && has_strut "$id"'

# A few sample intervals of steady traffic on the latest life of the link.
# Graph columns are scaled to the peak difference, so the newest columns
# stand about as tall as the tallest one; a peak larger than the traffic
# could carry would leave them flat beside its own column.
sleep 6
read -r x y w h <<<"$(geometry_of "$bar_id")"
import -window root -crop "${w}x${h}+${x}+${y}" +repage "$shot"
# Pixels in the download colour (pure red) per column of the download block,
# left of the meters: the newest column's height and the tallest.
graph=$((w / 2 - 20))
read -r newest tallest <<<"$(convert "$shot" -crop "${graph}x${h}+0+0" +repage \
  -fx 'r>0.99 && g<0.01 && b<0.01 ? 1 : 0' -scale "${graph}x1!" -depth 16 txt:- |
  awk -F'[,:() ]+' -v h="$h" 'NR > 1 { v = int($4 / 65535 * h + 0.5)
    if (v > 0) { newest = v; if (v > tallest) tallest = v } }
    END { print newest + 0, tallest + 0 }')"
check "the download graph shows columns ($tallest pixels tall at most)" test "$tallest" -ge 10
check "the newest column ($newest pixels) stands at least 60% as tall as the tallest" \
  test $((newest * 10)) -ge $((tallest * 6))

# SIGTERM closes the bar like its Close command.
kill -TERM "$bar_pid"
status=timeout
for _ in $(seq 100); do
  if ! kill -0 "$bar_pid" 2>/dev/null; then
    wait "$bar_pid"
    status=$?
    break
  fi
  sleep 0.1
done
[ "$status" = timeout ] || bar_pid=""
check "the bar ended with status 0 on SIGTERM" equal "$status" 0
check "the watched interface was saved as the connection" \
  grep -q '^Connection=vrx' "$work/home/.config/Brindle Labs/vantrel.conf"
check "the bar reported no sanitizer fault" eval '! grep -q -E "runtime error|Sanitizer" "$work/home/bar.log"'
finish
