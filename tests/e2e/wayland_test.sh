#!/usr/bin/env bash
# The bar on a Wayland compositor with the layer shell: a headless sway. It
# must reserve its strip at the chosen edge (the workspace and a normal
# window shrink by its thickness), show its rows there, stack with a second
# bar, follow a change of the output's mode, and give its strip back when it
# closes.
#   wayland_test.sh PATH_TO_VANTREL
set -u
here=$(cd "$(dirname "$0")" && pwd)
source "$here/e2e-lib.sh"
run_in_sway -- "$0" "$@"
VANTREL=$1
e2e_workspace

# settings HOMEDIR POSITION BG: a settings file with that edge and background.
settings() {
  mkdir -p "$1/.config/Brindle Labs"
  printf '[General]\nConnection=lo\nRun%%20at%%20startup=0\n\n[GUI]\nPosition=%s\nBG%%20Color=%s\n' "$2" "$3" \
    >"$1/.config/Brindle Labs/vantrel.conf"
}
# start_wayland_bar HOMEDIR [ENV...]: starts the bar; sets bar_pid.
start_wayland_bar() {
  HOME="$1" XDG_CONFIG_HOME="$1/.config" env "${@:2}" "$VANTREL" >>"$1/bar.log" 2>&1 &
  bar_pid=$!
  pids+=("$bar_pid")
}
workspace_is() { [ "$(sway_workspace)" = "$1" ]; }
# A screenshot once a sample tick has drawn the whole bar.
drawn_shot() {
  sleep 1.5
  grim "$work/shot.png" && echo "$work/shot.png"
}

check "sway's workspace starts whole" equal "$(sway_workspace)" "0 0 1280 800"

# --- A bar at the bottom (position 1), red (BG Color 255).
# Its requests are logged (WAYLAND_DEBUG), to count its dockings.
settings "$work/a" 1 255
start_wayland_bar "$work/a" WAYLAND_DEBUG=1
first=$bar_pid
wait_until 15 eval '! workspace_is "0 0 1280 800"' || tail -5 "$work/a/bar.log"
read -r _ _ _ height <<<"$(sway_workspace)"
thickness=$((800 - height))
check "the bar is about 32 pixels thick" test "$thickness" -ge 20 -a "$thickness" -le 48
check "the workspace ends above the bar" equal "$(sway_workspace)" "0 0 1280 $((800 - thickness))"

# --- A normal window lies clear of it.
wev >/dev/null 2>&1 &
pids+=("$!")
# Its rectangle lies below its title: it ends where the strip starts.
window_ends_at() { read -r _ wy _ wh <<<"$(sway_window wev)" && [ -n "$wy" ] && [ $((wy + wh)) -eq "$1" ]; }
check "a normal window ends above the bar" wait_until 10 window_ends_at $((800 - thickness))

# --- Its rows: the bevel's first row is the background colour, the last row
# on the screen is one of the darker rows at its bottom edge.
png=$(drawn_shot)
check "the strip's first row is the bar's background" equal "$(pixel_at "$png" 5 $((800 - thickness)))" "FF0000"
check "the row above the strip is not the bar's" test "$(pixel_at "$png" 5 $((799 - thickness)))" != "FF0000"
bottom=$(pixel_at "$png" 5 799)
check "the bottom row is a darker red" eval '[ "${bottom:2:4}" = "0000" ] && [ "$((16#${bottom:0:2}))" -lt 255 ] && [ "$((16#${bottom:0:2}))" -gt 0 ]'
check "the bar spans the output" equal "$(pixel_at "$png" 1275 $((800 - thickness)))" "FF0000"

# --- The output's mode changes: the bar spans the new width, same thickness,
# after docking once more.
dockings() { grep -c 'zwlr_layer_surface_v1@[0-9]*\.set_exclusive_zone([1-9]' "$work/a/bar.log"; }
before=$(dockings)
swaymsg output HEADLESS-1 mode 1600x1000 >/dev/null
check "after the mode change the strip is reserved on the new output" \
  wait_until 10 workspace_is "0 0 1600 $((1000 - thickness))"
png=$(drawn_shot)
check "after the mode change the bar spans the new width" \
  equal "$(pixel_at "$png" 1595 $((1000 - thickness)))" "FF0000"
check "the mode change re-docked the bar once" equal "$(dockings)" "$((before + 1))"

# --- Scale 2: the same strip in logical pixels, drawn at twice the pixels.
swaymsg output HEADLESS-1 scale 2 >/dev/null
check "at scale 2 the strip keeps its logical thickness" \
  wait_until 10 workspace_is "0 0 800 $((500 - thickness))"
png=$(drawn_shot)
check "at scale 2 the bar's picture is twice as thick" \
  eval '[ "$(pixel_at "$png" 5 $((1000 - 2 * thickness)))" = FF0000 ] && [ "$(pixel_at "$png" 5 $((999 - 2 * thickness)))" != FF0000 ]'
check "the scale change re-docked the bar once" equal "$(dockings)" "$((before + 2))"
swaymsg output HEADLESS-1 scale 1 >/dev/null
check "back at scale 1" wait_until 10 workspace_is "0 0 1600 $((1000 - thickness))"

# --- Close: the strip comes back, the settings are saved.
check "SIGTERM closes the first bar" stop_process "$first"
check "the workspace is whole again" wait_until 5 workspace_is "0 0 1600 1000"
check "the first bar saved its settings" eval 'grep -q "^Position=1" "$work/a/.config/Brindle Labs/vantrel.conf"'

finish
