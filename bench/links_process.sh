#!/usr/bin/env bash
# links_process.sh [BUILD] [SECONDS]: what the number of links costs the
# whole bar process. The bar runs on a private Xvfb in a private network
# namespace with Automatic on, watching the link that carries the default
# route while steady UDP traffic flows in over it. Its CPU time (all threads,
# from /proc's scheduler statistics, in nanoseconds) is measured for SECONDS
# (default 60) with 2 links in the namespace (loopback and the watched veth
# end), then 498 more links (veth pairs) are made under the running bar and
# it is measured again with 500. Needs root (namespaces); skipped otherwise.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-build-bench}
seconds=${2:-60}
bar="$(cd "$root" && realpath "$build")/src/app/vantrel"
[ -x "$bar" ] || { echo "no bar at $bar"; exit 1; }
if [ "$(id -u)" -ne 0 ] || ! ip netns list >/dev/null 2>&1; then
  echo "SKIP: making network namespaces needs root"
  exit 0
fi

if [ -z "${VANTREL_BENCH_DISPLAY:-}" ]; then
  home=$(mktemp -d)
  trap 'rm -rf "$home"' EXIT
  mkdir -p "$home/.config/Brindle Labs"
  printf '[General]\nAutomatic%%20Connection=1\nConnection=\nRun%%20at%%20startup=0\n' \
    >"$home/.config/Brindle Labs/vantrel.conf"
  HOME="$home" XDG_CONFIG_HOME="$home/.config" VANTREL_BENCH_DISPLAY=1 \
    exec "$root/tools/with-xsession" "$0" "$@"
fi

ns=vantrel-bench-links-$$
peer=vantrel-bench-peer-$$
ip netns add "$ns"
ip netns add "$peer"
bar_pid=""
traffic_pid=""
cleanup() {
  [ -n "$traffic_pid" ] && kill "$traffic_pid" 2>/dev/null
  if [ -n "$bar_pid" ]; then kill -TERM "$bar_pid" 2>/dev/null; wait "$bar_pid" 2>/dev/null || true; fi
  ip netns del "$ns" 2>/dev/null || true
  ip netns del "$peer" 2>/dev/null || true
}
trap cleanup EXIT
ip -n "$ns" link set lo up
ip -n "$peer" link set lo up
ip link add vbw netns "$ns" type veth peer name vbp netns "$peer"
ip -n "$ns" addr add 10.232.0.2/30 dev vbw
ip -n "$peer" addr add 10.232.0.1/30 dev vbp
ip -n "$ns" link set vbw up
ip -n "$peer" link set vbp up
ip -n "$ns" route add default via 10.232.0.1 dev vbw

# The bar's CPU time so far, in nanoseconds, over all its threads.
cpu_ns() { cat /proc/"$1"/task/*/schedstat | awk '{n += $1} END {printf "%d\n", n}'; }
links() { ip -n "$ns" -o link show | wc -l; }
measure() {  # measure LABEL: prints and returns (in $cost) s of CPU per minute
  local before after
  before=$(cpu_ns "$bar_pid")
  sleep "$seconds"
  after=$(cpu_ns "$bar_pid")
  cost=$(awk -v d=$((after - before)) -v s="$seconds" 'BEGIN {printf "%.4f", d / 1e9 * 60 / s}')
  echo "$1: $(links) links, bar CPU $cost s per minute"
}

ip netns exec "$ns" "$bar" >/dev/null 2>&1 &
bar_pid=$!
# Steady traffic over the watched link: 16 KiB every 20 ms.
ip netns exec "$peer" bash -c 'while :; do
  dd if=/dev/zero bs=16000 count=1 status=none >/dev/udp/10.232.0.2/9 2>/dev/null; sleep 0.02; done' &
traffic_pid=$!
sleep 5  # start-up, font loading and the first frames are not measured

measure "few links"
few=$cost
for i in $(seq 249); do echo "link add vbx$i type veth peer name vby$i"; done | ip -n "$ns" -batch -
sleep 5  # the notices of the new links are read and the table read again
measure "many links"
many=$cost
awk -v a="$few" -v b="$many" 'BEGIN {printf "ratio: %.2f   (target <= 1.20)\n", b / a}'
