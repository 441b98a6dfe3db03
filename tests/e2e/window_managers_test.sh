#!/usr/bin/env bash
# Bars under more than one window manager: ten bars started at the same
# moment under openbox each get a strip of their own, stacked without
# overlap; under the tiling manager i3 the bar is a dock that tiled windows
# keep clear of.
#   window_managers_test.sh PATH_TO_VANTREL
set -u
here=$(cd "$(dirname "$0")" && pwd)
source "$here/e2e-lib.sh"
VANTREL=$1

if [ "${2:-}" != "--i3" ] && [ -z "${VANTREL_E2E_DISPLAY:-}" ]; then
  # Ten bars at once, under openbox.
  VANTREL_E2E_DISPLAY=1 "$e2e_root/tools/with-xsession" --size 1280x800 "$0" "$VANTREL" || exit 1
  command -v i3 >/dev/null || { echo "SKIP: i3 is not installed"; exit 77; }
  exec env VANTREL_E2E_DISPLAY=1 "$e2e_root/tools/with-xsession" --size 1280x800 --no-wm "$0" "$VANTREL" --i3
fi
e2e_workspace

if [ "${2:-}" != "--i3" ]; then
  for i in $(seq 10); do
    mkdir -p "$work/$i/.config"
    HOME="$work/$i" XDG_CONFIG_HOME="$work/$i/.config" "$VANTREL" >"$work/$i.log" 2>&1 &
    pids+=("$!")
  done
  ids=()
  for pid in "${pids[@]}"; do
    id=""
    wait_until 20 eval 'id=$(bar_window "$pid") && has_strut "$id"' || true
    [ -n "$id" ] && ids+=("$id")
  done
  thickness=$(( $(geometry_of "${ids[0]}" | cut -d' ' -f4) - 1 ))
  expected=$(for i in $(seq 10); do echo $((800 - i * thickness)); done | sort -n | tr '\n' ' ')
  tops() { for id in "${ids[@]}"; do geometry_of "$id" | cut -d' ' -f2; done | sort -n | tr '\n' ' '; }
  check "ten bars started at once all dock" equal "${#ids[@]}" 10
  # A bar reserves its strip a moment before the window manager has moved it there.
  wait_until 5 eval '[ "$(tops)" = "$expected" ]'
  check "their strips are stacked without overlap" equal "$(tops)" "$expected"
  check "the work area leaves out all ten strips" \
    wait_until 5 eval '[ "$(workarea)" = "0 0 1280 $((800 - 10 * thickness))" ]'
  for pid in "${pids[@]}"; do stop_process "$pid"; done
  check "closed, they give every strip back" wait_until 5 eval '[ "$(workarea)" = "0 0 1280 800" ]'
  finish
  exit
fi

# --- i3, with no bar of its own.
printf 'font pango:monospace 8\n' >"$work/i3.config"
i3 -c "$work/i3.config" >"$work/i3.log" 2>&1 &
pids+=("$!")
wait_until 10 eval 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"'
mkdir -p "$work/bar/.config"
start_bar "$work/bar" || { finish; exit 1; }
read -r _ y _ h <<<"$(geometry_of "$bar_id")"
thickness=$((h - 1))
check "under i3 the bar docks along the bottom, above i3bar where it runs" test $((y + h)) -ge 700
xmessage -name vantrel-e2e-window "tiled" >/dev/null 2>&1 &
tiled=$!
window=""
wait_until 10 eval 'window=$(xdotool search --classname vantrel-e2e-window 2>/dev/null | head -1) && [ -n "$window" ]'
check "a tiled window ends above the bar" \
  wait_until 5 eval 'read -r _ wy _ wh <<<"$(geometry_of "$window")"; [ $((wy + wh)) -le $((800 - thickness)) ] && [ "$wh" -gt 600 ]'
kill "$tiled" 2>/dev/null
check "SIGTERM ends the bar under i3" stop_process "$bar_pid"
finish
