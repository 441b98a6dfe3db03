#!/usr/bin/env bash
# Figures in scaled units, read off the screen: a bar set to "Units" 1 shows
# the speed of a fast stream of datagrams on the loopback link in MB/s.
#   units_test.sh PATH_TO_VANTREL [SCREENSHOT]
set -u
here=$(cd "$(dirname "$0")" && pwd)
source "$here/e2e-lib.sh"
command -v tesseract >/dev/null || { echo "SKIP: no tesseract to read the screen with"; exit 77; }
run_in_xsession --size 1280x800 -- "$0" "$@"
VANTREL=$1
e2e_workspace
mkdir -p "$work/home/.config/Brindle Labs"
printf '[General]\nConnection=lo\nRun%%20at%%20startup=0\n\n[GUI]\nUnits=1\n' \
  >"$work/home/.config/Brindle Labs/vantrel.conf"
start_bar "$work/home" || { finish; exit 1; }
pids+=("$bar_pid")

# Two senders of 64 KB datagrams to a closed port on this machine, each as
# fast as the shell starts dd, for six seconds.
for _ in 1 2; do
  bash -c 'end=$((SECONDS + 6))
    while [ $SECONDS -lt $end ]; do
      dd if=/dev/zero bs=65000 count=1 status=none >/dev/udp/127.0.0.1/9 2>/dev/null
    done' &
  pids+=("$!")
done
sleep 4
read -r x y w h <<<"$(geometry_of "$bar_id")"
import -window root -crop "${w}x${h}+${x}+${y}" +repage "$work/bar.png"
[ -n "${2:-}" ] && cp "$work/bar.png" "$2"
convert "$work/bar.png" -filter Lanczos -resize 400% -colorspace Gray -negate -threshold 40% "$work/read.png"
text=$(tesseract "$work/read.png" - --psm 6 -c tessedit_char_whitelist='0123456789.KMGBbitsSpeedMaxDownloadU/ ' \
  2>/dev/null | tr '\n' ' ')
echo "  the bar reads: $text"
speed=$(sed -n 's/.*Download Speed \([0-9.]*\) MB\/s.*/\1/p' <<<"$text")
check "the download speed reads in MB/s" [ -n "$speed" ]
check "and is the stream's, between 1 and 1000 MB/s" awk -v s="${speed:-0}" 'BEGIN { exit !(s >= 1 && s < 1000) }'
check "SIGTERM ends it" stop_process "$bar_pid"
finish
