#!/usr/bin/env bash
# bar_process.sh [--wayland] [BUILD] [SECONDS]: runs the real bar on a
# private Xvfb with openbox (with --wayland: as a layer surface beside a
# private headless sway) for SECONDS (default 60) at its 200 ms tick,
# watching loopback while steady UDP traffic flows over it, and prints what
# the whole process costs: CPU seconds per minute, wakeups per second
# (voluntary context switches of all its threads), resident memory (RSS and
# PSS, and the anonymous part), and the display server's CPU over the same
# window. On X11 it then right-clicks the bar through XTEST and times the
# menu's appearance (the first one starts the dialogs helper), and reports
# the memory of the bar and of the helper once the menu is closed again.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
session=with-xsession
if [ "${1:-}" = "--wayland" ]; then
  session=with-sway
  shift
fi
build=${1:-build-bench}
seconds=${2:-60}
bar="$(cd "$root" && realpath "$build")/src/app/vantrel"
[ -x "$bar" ] || { echo "no bar at $bar"; exit 1; }

if [ -z "${VANTREL_BENCH_DISPLAY:-}" ]; then
  home=$(mktemp -d)
  trap 'rm -rf "$home"' EXIT
  mkdir -p "$home/.config/Brindle Labs"
  printf '[General]\nConnection=lo\nRun%%20at%%20startup=0\n' >"$home/.config/Brindle Labs/vantrel.conf"
  HOME="$home" XDG_CONFIG_HOME="$home/.config" VANTREL_BENCH_DISPLAY=1 \
    exec "$root/tools/$session" "$0" "$@"
fi

ticks=$(getconf CLK_TCK)
cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
switches() { cat /proc/"$1"/task/*/status | awk '/^voluntary_ctxt_switches/ {n += $2} END {print n}'; }
status_kb() { awk -v key="$2:" '$1 == key {print $2}' "/proc/$1/status"; }
pss_kb() { awk '$1 == "Pss:" {print $2}' "/proc/$1/smaps_rollup"; }

"$bar" >/dev/null 2>&1 &
bar_pid=$!
# Steady traffic on loopback: 16 KiB every 20 ms, ended with the run.
bash -c 'while :; do dd if=/dev/zero bs=16000 count=1 status=none >/dev/udp/127.0.0.1/9 2>/dev/null; sleep 0.02; done' &
traffic_pid=$!
trap 'kill $traffic_pid 2>/dev/null; kill -TERM $bar_pid 2>/dev/null; wait $bar_pid 2>/dev/null' EXIT

server_pid=${SWAY_PID:-${XSERVER_PID:-}}
sleep 5  # start-up, font loading and the first frames are not measured

bar_cpu0=$(cpu_ticks "$bar_pid"); x_cpu0=$(cpu_ticks "$server_pid"); sw0=$(switches "$bar_pid")
sleep "$seconds"
bar_cpu1=$(cpu_ticks "$bar_pid"); x_cpu1=$(cpu_ticks "$server_pid"); sw1=$(switches "$bar_pid")

awk -v b=$((bar_cpu1 - bar_cpu0)) -v x=$((x_cpu1 - x_cpu0)) -v s=$((sw1 - sw0)) -v t="$ticks" -v sec="$seconds" \
    -v rss="$(status_kb "$bar_pid" VmRSS)" -v pss="$(pss_kb "$bar_pid")" \
    -v anon="$(status_kb "$bar_pid" RssAnon)" 'BEGIN {
  printf "bar CPU:          %.3f s per minute   (target <= 0.10)\n", b / t * 60 / sec
  printf "bar wakeups:      %.2f per second     (target <= 5.5)\n", s / sec
  printf "bar RSS:          %.1f MiB            (target <= 12, never right-clicked)\n", rss / 1024
  printf "bar PSS:          %.1f MiB            (target <= 7, never right-clicked)\n", pss / 1024
  printf "bar RssAnon:      %.1f MiB\n", anon / 1024
  printf "display CPU:      %.3f s per minute   (the X server or sway)\n", x / t * 60 / sec
}'

[ "$session" = with-xsession ] || exit 0
# The first menu starts the dialogs helper; the later ones are its warm menus.
mapfile -t menus < <("$(dirname "$bar")/../../bench/bar/menu_latency" 600 795 6)
first=${menus[0]}
later=$(printf '%s\n' "${menus[@]:1}" | sort -n | sed -n 3p)
helper_pid=$(pgrep -P "$bar_pid" -f vantrel-dialogs | head -1)
echo "first menu:       $first ms after the click   (target <= 300)"
echo "later menus:      $later ms, median of 5     (target <= 100)"
echo "bar RSS after the menu was used: $(($(status_kb "$bar_pid" VmRSS) / 1024)) MiB" \
     "(the menu and dialogs live in the helper)"
[ -n "$helper_pid" ] && echo "dialogs helper RSS: $(($(status_kb "$helper_pid" VmRSS) / 1024)) MiB," \
     "PSS $(($(pss_kb "$helper_pid") / 1024)) MiB; it ends with the bar"
true
