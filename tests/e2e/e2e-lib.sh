# Helpers for the end-to-end checks: assertions, and starting and finding
# the bar on the private X display that tools/with-xsession made, or beside
# the headless sway that tools/with-sway made.

e2e_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)

passed=0
failed=0

# run_inside MARK TOOL [TOOL's options] -- SCRIPT ARGS...: the first time a
# check script runs, it starts itself again through tools/TOOL; the
# variable MARK tells it that it has.
run_inside() {
  local mark=$1 tool=$2
  shift 2
  [ -n "${!mark:-}" ] && return 0
  local options=()
  while [ "$1" != "--" ]; do options+=("$1"); shift; done
  shift
  export "$mark=1"
  exec "$e2e_root/tools/$tool" "${options[@]}" "$@"
}
# On a private X display with openbox.
run_in_xsession() { run_inside VANTREL_E2E_DISPLAY with-xsession "$@"; }
# Beside a private headless sway.
run_in_sway() { run_inside VANTREL_E2E_SWAY with-sway "$@"; }

# e2e_workspace: a temporary folder $work and a list $pids of processes
# that end, as the folder goes, when the script exits.
e2e_workspace() {
  work=$(mktemp -d)
  pids=()
  trap e2e_workspace_cleanup EXIT
}
e2e_workspace_cleanup() {
  for pid in "${pids[@]}"; do stop_process "$pid"; done
  rm -rf "$work"
}

# require_netns: exits 77 (skipped) where this process cannot make network
# namespaces.
require_netns() {
  if [ "$(id -u)" -ne 0 ] || ! ip netns list >/dev/null 2>&1; then
    echo "SKIP: making network namespaces needs root"
    exit 77
  fi
}

check() {  # check DESCRIPTION COMMAND...
  local what=$1
  shift
  if "$@"; then
    passed=$((passed + 1))
    echo "ok: $what"
  else
    failed=$((failed + 1))
    echo "FAILED: $what"
  fi
}

equal() {  # equal ACTUAL EXPECTED
  [ "$1" = "$2" ] && return 0
  echo "  expected '$2', got '$1'"
  return 1
}

finish() {
  echo "$passed passed, $failed failed"
  [ "$failed" -eq 0 ]
}

# wait_until SECONDS COMMAND...: polls COMMAND every 0.1 s.
wait_until() {
  local tenths=$(($1 * 10))
  shift
  for _ in $(seq "$tenths"); do
    "$@" && return 0
    sleep 0.1
  done
  return 1
}

# The bar's window of process $1: the window with that _NET_WM_PID that
# carries a strut (the dock itself, not a helper window).
bar_window() {
  local id
  for id in $(xdotool search --pid "$1" 2>/dev/null); do
    if xprop -id "$id" _NET_WM_WINDOW_TYPE 2>/dev/null | grep -q DOCK; then
      echo "$id"
      return 0
    fi
  done
  return 1
}

strut_of() { xprop -id "$1" _NET_WM_STRUT_PARTIAL 2>/dev/null | sed -n 's/.*= //p'; }
has_strut() { [ -n "$(strut_of "$1")" ]; }

# "x y width height" of a window, in root coordinates.
geometry_of() {
  xwininfo -id "$1" | awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4}
                          /Width:/ {w=$2} /Height:/ {h=$2} END {print x, y, w, h}'
}

workarea() { xprop -root _NET_WORKAREA | sed -n 's/.*= //p' | cut -d, -f1-4 | tr -d ' ' | tr ',' ' '; }

screen_size() { xdpyinfo | awk '/dimensions:/ {print $2}' | tr 'x' ' '; }

# start_bar HOMEDIR [COMMAND PREFIX...]: starts the bar with HOMEDIR as its
# home; sets bar_pid and bar_id.
start_bar() {
  local home=$1
  shift
  mkdir -p "$home/.config"
  HOME="$home" XDG_CONFIG_HOME="$home/.config" "$@" "$VANTREL" >>"$home/bar.log" 2>&1 &
  bar_pid=$!
  bar_id=""
  wait_until 15 eval 'bar_id=$(bar_window "$bar_pid") && has_strut "$bar_id"' || {
    echo "the bar did not dock; its output:"
    cat "$home/bar.log"
    return 1
  }
}

# stop_process PID: SIGTERM, then wait for it to end (at most 10 s).
stop_process() {
  kill -TERM "$1" 2>/dev/null || return 0
  for _ in $(seq 100); do
    kill -0 "$1" 2>/dev/null || { wait "$1" 2>/dev/null; return 0; }
    sleep 0.1
  done
  kill -KILL "$1" 2>/dev/null
  wait "$1" 2>/dev/null
  return 1
}

# --- A watched link between two private network namespaces.
# watched_link_setup WORK: makes the namespaces $sender and $watched (names
# unique to this process), a cleanup trap that also ends $traffic_pid and
# $bar_pid, and a settings file in WORK/home that watches "vrx" and draws
# download traffic in pure red. Exits 77 where namespaces are not permitted.
watched_link_setup() {
  work=$1
  sender=vantrel-e2e-tx-$$
  watched=vantrel-e2e-rx-$$
  traffic_pid=""
  trap watched_link_cleanup EXIT
  ip netns add "$sender" && ip netns add "$watched" || { echo "SKIP: namespaces not permitted"; exit 77; }
  ip -n "$sender" link set lo up
  ip -n "$watched" link set lo up
  mkdir -p "$work/home/.config/Brindle Labs"
  printf '[General]\nConnection=vrx\nRun%%20at%%20startup=0\n\n[GUI]\nDownload%%20Color=255\n' \
    >"$work/home/.config/Brindle Labs/vantrel.conf"
}

watched_link_cleanup() {
  [ -n "$traffic_pid" ] && kill "$traffic_pid" 2>/dev/null && wait "$traffic_pid" 2>/dev/null
  [ -n "${bar_pid:-}" ] && stop_process "$bar_pid"
  ip netns del "$sender" 2>/dev/null
  ip netns del "$watched" 2>/dev/null
  rm -rf "$work"
}

# make_link: the veth pair vtx (10.231.0.1, sender) - vrx (10.231.0.2,
# watched). The watched end comes up first, so that the sender's first
# frames are not dropped while its peer is still down.
make_link() {
  ip link add vtx netns "$sender" type veth peer name vrx netns "$watched" &&
    ip -n "$sender" addr add 10.231.0.1/30 dev vtx &&
    ip -n "$watched" addr add 10.231.0.2/30 dev vrx &&
    ip -n "$watched" link set vrx up &&
    ip -n "$sender" link set vtx up
}

# udp_traffic SECONDS: 64 KiB every 50 ms from the sender to the watched end,
# whenever the link stands, for at most SECONDS; sets traffic_pid.
udp_traffic() {
  ip netns exec "$sender" bash -c '
    end=$((SECONDS + $1))
    while [ $SECONDS -lt $end ]; do
      dd if=/dev/zero bs=65000 count=1 status=none >/dev/udp/10.231.0.2/9 2>/dev/null
      sleep 0.05
    done' traffic "$1" &
  traffic_pid=$!
}

# --- On sway: what the compositor says about its layout, "x y width height".
# The focused output's workspace: the output less the bars' strips.
sway_workspace() { swaymsg -t get_workspaces | jq -r '.[] | select(.focused) | .rect | "\(.x) \(.y) \(.width) \(.height)"'; }
# The window of the client with app_id $1.
sway_window() {
  swaymsg -t get_tree | jq -r --arg id "$1" \
    '.. | objects | select(.app_id? == $id) | .rect | "\(.x) \(.y) \(.width) \(.height)"' | head -1
}
# pixel_at PNG X Y: the pixel's colour as RRGGBB.
pixel_at() { convert "$1" -format "%[hex:p{$2,$3}]" info: 2>/dev/null | cut -c1-6; }
