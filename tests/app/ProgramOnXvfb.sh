#!/usr/bin/env bash
# The program as a user starts it, on Xvfb: its own executable beside the camera library in a folder of
# its own (so its lumcam.Ini and error log land there), the live window opened from File > Zevi Zezaru
# with synthesised clicks, a picture of the screen, then File > Exit, which must end the program with
# code 0 after writing the style to lumcam.Ini, with nothing in the error log.
# Usage: ProgramOnXvfb.sh <lumetra> <lumetra_xinput> <output folder>
# Without xvfb-run it skips (code 77), except under LUMETRA_CI=1.
set -euo pipefail
if [ "${1:-}" = --on-display ]; then
    shift
    inner=1
fi
program="$1" xinput="$2" out="$3"
folder="$out/program"
picture="$out/main-xvfb.png"
source "$(dirname "$0")/ProgramOnXvfbCommon.sh"

# Client points of the main window: the File button of the menu bar, its first item, the live window's
# EnumDevices button (which opens the first camera) and Start button, then File > Exit by the keyboard
# (Up from the top of the menu reaches its last item).
run() {
    "$folder/lumetra" >"$folder/stdout.txt" 2>"$folder/stderr.txt" &
    local pid=$!
    local steps=(wait:Lumetra sleep:500 click:27,14 sleep:300 click:60,37 sleep:1000
                 click:57,70 sleep:1000 click:197,70 sleep:2500 "shot:$picture"
                 click:27,14 sleep:300 key:Up key:Return)
    drive_program "$pid" "" "${steps[@]}"
}
if [ -n "${inner:-}" ]; then
    run
    exit
fi

require_xvfb_run
install_program
rm -f "$picture"

unset LUMETRA_BACKEND
xvfb-run -a -s "-screen 0 1920x1080x24" bash "$0" --on-display "$program" "$xinput" "$out"
cat "$folder/stderr.txt" >&2
[ -s "$picture" ] || { echo "no picture of the screen" >&2; exit 1; }
grep -q "^Style=7" "$folder/lumcam.Ini" || { echo "lumcam.Ini lacks the style" >&2; exit 1; }
if [ -e "$folder/lumetra.error.log" ]; then
    echo "exceptions were logged:" >&2
    cat "$folder/lumetra.error.log" >&2
    exit 1
fi
# The settings file as the program leaves it, for people to look at.
cp "$folder/lumcam.Ini" "$out/lumcam.Ini"
echo "screen: $picture"
