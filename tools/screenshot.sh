#!/usr/bin/env bash
# Starts the program from build/Quenmar/ on a virtual screen, logs on (creating the first
# account "admin" / "admin" on a new database) and saves a picture of the main window.
#   bash tools/screenshot.sh [OUTPUT.png]
set -euo pipefail
cd "$(dirname "$0")/.."
out=$(realpath -m "${1:-quenmar.png}")
folder=${QUENMAR_FOLDER:-build/Quenmar}
export DISPLAY=:97
Xvfb "$DISPLAY" -screen 0 1280x800x24 >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true' EXIT
sleep 1
"$folder/quenmar" &
program=$!
trap 'kill $program $xvfb 2>/dev/null || true' EXIT
sleep 3
focus() { xdotool windowfocus --sync "$(xdotool search --onlyvisible --name "$1" | head -1)" || true; }
focus '^Login$'
xdotool type --delay 50 admin; xdotool key Tab; xdotool type --delay 50 admin; xdotool key Return
sleep 2
# First start: the password is asked a second time.
if xdotool search --onlyvisible --name "^MyInputBox$" >/dev/null 2>&1; then
  focus '^MyInputBox$'
  xdotool type --delay 50 admin; xdotool key Return; sleep 2
fi
# Close the encoder message if one is shown, then take the picture.
for title in "Connecting warning" "Orvane V16.0"; do
  if xdotool search --onlyvisible --name "^$title\$" >/dev/null 2>&1; then
    focus "^$title\$"; xdotool key Return; sleep 1
  fi
done
sleep 2
import -window root "$out"
echo "saved $out"
