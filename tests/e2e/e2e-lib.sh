# Helpers for the end-to-end checks: assertions, and starting and finding
# the bar on the private X display that tools/with-xsession made.

passed=0
failed=0

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
