#!/usr/bin/env bash
# Automatic follows the route: the bar runs in a private network namespace
# with two veth links that each can carry the default route, UDP flowing in
# on both at different rates. It starts on the link of the lower metric (the
# slower one), and when that route goes it moves to the other link: its graph
# rises to the faster rate with no spike (the newest columns stand as tall as
# any, though the faster link's counter was far ahead), and on SIGTERM it
# saves the link it watches with Automatic still on.
#   automatic_test.sh PATH_TO_VANTREL SCREENSHOT-PREFIX
set -u
source "$(dirname "$0")/e2e-lib.sh"
require_netns
run_in_xsession --size 1280x800 -- "$0" "$@"
VANTREL=$1 shots=$2

watched_link_setup "$(mktemp -d)"
conf="$work/home/.config/Brindle Labs/vantrel.conf"
# Automatic on, with a link that is not there as the one last watched.
printf '[General]\nAutomatic%%20Connection=1\nConnection=vrz\nRun%%20at%%20startup=0\n\n[GUI]\nDownload%%20Color=255\n' \
  >"$conf"
make_link || { echo "FAILED: could not make the veth pairs"; exit 1; }
ip link add vty netns "$sender" type veth peer name vry netns "$watched" &&
  ip -n "$sender" addr add 10.231.1.1/30 dev vty &&
  ip -n "$watched" addr add 10.231.1.2/30 dev vry &&
  ip -n "$watched" link set vry up && ip -n "$sender" link set vty up &&
  ip -n "$watched" route add default via 10.231.0.1 dev vrx metric 20 &&
  ip -n "$watched" route add default via 10.231.1.1 dev vry metric 10 ||
  { echo "FAILED: could not make the second link and the routes"; exit 1; }

# 64 KiB every 50 ms to vrx, 16 KiB every 50 ms to vry.
ip netns exec "$sender" bash -c '
  end=$((SECONDS + 60))
  while [ $SECONDS -lt $end ]; do
    dd if=/dev/zero bs=65000 count=1 status=none >/dev/udp/10.231.0.2/9 2>/dev/null
    dd if=/dev/zero bs=16000 count=1 status=none >/dev/udp/10.231.1.2/9 2>/dev/null
    sleep 0.05
  done' &
traffic_pid=$!

# The download graph's columns, left of the meters: "newest tallest low",
# in pixels of the download colour (pure red), where `low` counts the pixel
# columns that show traffic at less than half the tallest one's height.
columns() {
  local shot=$1 x y w h graph
  read -r x y w h <<<"$(geometry_of "$bar_id")"
  import -window root -crop "${w}x${h}+${x}+${y}" +repage "$shot"
  graph=$((w / 2 - 20))
  convert "$shot" -crop "${graph}x${h}+0+0" +repage -fx 'r>0.99 && g<0.01 && b<0.01 ? 1 : 0' \
    -scale "${graph}x1!" -depth 16 txt:- |
    awk -F'[,:() ]+' -v h="$h" 'NR > 1 { v = int($4 / 65535 * h + 0.5); heights[n++] = v
        if (v > 0) newest = v; if (v > tallest) tallest = v }
      END { for (i = 0; i < n; i++) if (heights[i] > 0 && heights[i] * 2 < tallest) low++
            print newest + 0, tallest + 0, low + 0 }'
}

start_bar "$work/home" ip netns exec "$watched" || { finish; exit 1; }
sleep 8
read -r newest tallest low <<<"$(columns "$shots-before.png")"
check "the graph shows traffic ($tallest pixels tall)" test "$tallest" -ge 2

# The slower link's route goes: the faster link carries the default route.
ip -n "$watched" route del default via 10.231.1.1 dev vry
sleep 5
read -r newest tallest low <<<"$(columns "$shots-after.png")"
check "the graph follows to the faster link and shows no spike ($newest of $tallest pixels)" \
  eval "[ $tallest -ge 10 ] && [ $((newest * 10)) -ge $((tallest * 6)) ]"
check "the slower link was the one watched before ($low pixel columns below half)" test "$low" -ge 4

kill -TERM "$bar_pid"
stop_process "$bar_pid" && bar_pid=""
check "the bar saved the link it follows" grep -q '^Connection=vrx$' "$conf"
check "Automatic is still on" grep -q '^Automatic%20Connection=1$' "$conf"
check "the bar reported no sanitizer fault" eval '! grep -q -E "runtime error|Sanitizer" "$work/home/bar.log"'
finish
