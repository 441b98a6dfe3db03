#!/usr/bin/env bash
# The bar shows real traffic: it watches one end of a veth pair between two
# private network namespaces while UDP flows across it, and a screenshot of
# the bar shows graph columns in the download colour.
#   traffic_test.sh PATH_TO_VANTREL SCREENSHOT.png
set -u
here=$(cd "$(dirname "$0")" && pwd)
if [ "$(id -u)" -ne 0 ] || ! ip netns list >/dev/null 2>&1; then
  echo "SKIP: making network namespaces needs root"
  exit 77
fi
if [ -z "${VANTREL_E2E_DISPLAY:-}" ]; then
  VANTREL_E2E_DISPLAY=1 exec "$here/../../tools/with-xsession" --size 1280x800 "$0" "$@"
fi
VANTREL=$1
shot=$2
source "$here/e2e-lib.sh"

work=$(mktemp -d)
sender=vantrel-e2e-tx-$$
watched=vantrel-e2e-rx-$$
traffic_pid=""
cleanup() {
  [ -n "$traffic_pid" ] && kill "$traffic_pid" 2>/dev/null && wait "$traffic_pid" 2>/dev/null
  [ -n "${bar_pid:-}" ] && stop_process "$bar_pid"
  ip netns del "$sender" 2>/dev/null
  ip netns del "$watched" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# Two namespaces joined by a veth pair; nothing leaves them.
ip netns add "$sender" && ip netns add "$watched" || { echo "SKIP: namespaces not permitted"; exit 77; }
ip link add vtx netns "$sender" type veth peer name vrx netns "$watched"
ip -n "$sender" addr add 10.231.0.1/30 dev vtx
ip -n "$watched" addr add 10.231.0.2/30 dev vrx
ip -n "$sender" link set vtx up
ip -n "$watched" link set vrx up
ip -n "$sender" link set lo up
ip -n "$watched" link set lo up

# Download colour pure red, so that the columns can be told from the rest.
mkdir -p "$work/home/.config/Brindle Labs"
printf '[General]\nConnection=vrx\nRun%%20at%%20startup=0\n\n[GUI]\nDownload%%20Color=255\n' \
  >"$work/home/.config/Brindle Labs/vantrel.conf"

# Steady traffic: 64 KiB every 50 ms from the sender to the watched end, for
# at most 30 s.
ip netns exec "$sender" bash -c '
  end=$((SECONDS + 30))
  while [ $SECONDS -lt $end ]; do
    dd if=/dev/zero bs=65000 count=1 status=none >/dev/udp/10.231.0.2/9 2>/dev/null
    sleep 0.05
  done' &
traffic_pid=$!

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
