#!/usr/bin/env bash
# The Windows installer, run silently under Wine in a prefix of its own, as
# a user without elevation: the files land below the user's local
# application data with a Start menu entry and an uninstall entry; the
# program starts from there; an upgrade closes the running bar; the silent
# uninstaller closes it too and removes the files, the entries and the
# program's start-at-log-on entry.
#   windows-installer.sh BUILD_DIR HAS_PROGRAM(0|1)
set -euo pipefail
build=$(cd "$1" && pwd)
has_program=$2
source_dir=$(cd "$(dirname "$0")/../.." && pwd)

work="$build/tests/home/installer"
rm -rf "$work"
mkdir -p "$work"
export WINEPREFIX="$work/wine" WINEDEBUG=-all
unset DISPLAY WAYLAND_DISPLAY
wine() { "$source_dir/tools/wine-run" "$@"; }
server() { "$source_dir/tools/wine-run" --server "$@"; }
# Only this test's own prefix: its server and what runs in it.
trap 'server -k 2>/dev/null || true' EXIT

fail() { echo "FAIL: $*" >&2; exit 1; }
unix_path() { wine winepath -u "$1" | tr -d '\r'; }
windows_var() { wine cmd /c "echo %$1%" | tr -d '\r'; }
run_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\VantRel'

(cd "$work" && cpack -G NSIS --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log") ||
  fail "cpack, see $work/cpack.log"
installer=$(ls "$work"/out/VantRel-*-win64.exe)

wine "$installer" /S
server -w
install_dir="$(windows_var LOCALAPPDATA)\\Programs\\VantRel"
dir=$(unix_path "$install_dir")
shortcut=$(unix_path "$(windows_var APPDATA)\\Microsoft\\Windows\\Start Menu\\Programs\\VantRel.lnk")
expected=(vantrel.html LICENSE.txt Uninstall.exe)
[ "$has_program" = 1 ] && expected+=(vantrel.exe)
for file in "${expected[@]}"; do
  [ -f "$dir/$file" ] || fail "not installed: $dir/$file"
done
wine reg query "$uninstall_key" /v UninstallString >/dev/null || fail "no uninstall entry"
grep -q "HKEY_CURRENT_USER" "$dir/vantrel.html" && ! grep -q "autostart\|<!--" "$dir/vantrel.html" ||
  fail "the installed manual is not the Windows one"

# ended PID: true once the process has ended (within 15 s).
ended() {
  for _ in $(seq 150); do
    kill -0 "$1" 2>/dev/null || { wait "$1" 2>/dev/null; return 0; }
    sleep 0.1
  done
  return 1
}
settings_key='HKCU\Software\Brindle Labs\vantrel'
program=""
if [ "$has_program" = 1 ]; then
  [ -f "$shortcut" ] || fail "no Start menu entry: $shortcut"
  "$source_dir/tools/wine-run" "$dir/vantrel.exe" &
  program=$!
  sleep 3
  kill -0 "$program" 2>/dev/null || fail "the installed program did not keep running"
  # An upgrade over the running bar closes it, as on any close, first.
  wine "$installer" /S
  ended "$program" || fail "the upgrade left the running bar"
  wine reg query "$settings_key" >/dev/null 2>&1 || fail "the bar closed by the upgrade saved no settings"
  [ -f "$dir/vantrel.exe" ] || fail "the upgrade did not install the program again"
  "$source_dir/tools/wine-run" "$dir/vantrel.exe" &
  program=$!
  sleep 3
  kill -0 "$program" 2>/dev/null || fail "the upgraded program did not keep running"
else
  echo "no Windows program in this build: its start and Start menu entry are not checked"
fi

# The program's own start-at-log-on entry goes with it; a running bar is
# closed first, so that its folder can go too.
wine reg add "$run_key" /v Vantrel /d "\"$install_dir\\vantrel.exe\"" /f >/dev/null
wine "$dir/Uninstall.exe" /S
if [ -n "$program" ]; then
  ended "$program" || { kill "$program"; fail "the uninstaller left the running bar"; }
fi
server -w
[ ! -e "$dir" ] || fail "left behind: $(ls -A "$dir")"
[ ! -e "$shortcut" ] || fail "the Start menu entry is left"
! wine reg query "$run_key" /v Vantrel >/dev/null 2>&1 || fail "the Run entry is left"
! wine reg query "$uninstall_key" >/dev/null 2>&1 || fail "the uninstall entry is left"
echo "installed, started and removed: $(stat -c %s "$installer") bytes"
