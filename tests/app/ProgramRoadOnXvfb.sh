#!/usr/bin/env bash
# The main road through the program as a user starts it, on Xvfb: its own executable beside the camera
# library in a folder of its own, driven with synthesised clicks and keys from the first menu to File >
# Exit. The road: open and start the camera, Ctrl+D, subtract the dark frame, accumulate 10 scans with
# average, quick save, stop the camera, a new chart, Load x3, Find Peaks, Std. Dev., Integral, Relative on
# and off, a text box, Save Chart as XML, Load Chart, import a frame, copy to a new chart, then start the
# camera again until the simulated camera is unplugged, and exit. What it leaves is checked: the quick
# save, the chart documents, lumcam.Ini, exit code 0 and an empty error log; screenshots of the steps are
# main-road-x11-*.png in the output folder.
# Usage: ProgramRoadOnXvfb.sh <lumetra> <lumetra_xinput> <output folder>
# Without xvfb-run it skips (code 77), except under LUMETRA_CI=1.
set -euo pipefail
if [ "${1:-}" = --on-display ]; then
    shift
    inner=1
fi
program="$1" xinput="$2" out="$3"
folder="$out/road-x11"
shots="$out/main-road-x11"
source "$(dirname "$0")/ProgramOnXvfbCommon.sh"

# Positions are client points of the main window (1100x720, centred), from the layouts: the menu bar's
# File button; the live window's tool buttons (EnumDevices, Start), its pager tabs (Signal, Export) and
# the controls of those pages; the chart window's tool buttons (Load, Load Sample from File, Find Peaks,
# Integral, Std. Dev., Relative) and its plot; the tab of the live window in the MDI tab set. Menus and
# dialogs go by keys: Down/Right/Return in menus, Enter (Submit) and Escape in the parameter dialogs, a
# typed path and Enter in the file dialogs. The text box dialog keeps Enter for its lines: its Submit is
# clicked at its place in that dialog's layout, as is the check box of the third frame in the import list.
file_menu=click:27,14
live=(click:57,70 'wait:Lumetra - [Zevi Zezaru (*' click:197,70 sleep:500 key:ctrl+d
      click:90,101 sleep:150 click:20,217 click:166,295 key:ctrl+a type:10 key:Tab click:20,321 click:20,342
      sleep:500 "shot:$shots-live.png"
      click:199,101 sleep:150 click:124,165 "type:$folder/quicksave" click:26,289 key:ctrl+s sleep:300
      click:90,101 sleep:150 click:20,217 key:ctrl+m)
load=(click:33,86 wait:Options key:Return gone:Options 'wait:Lumetra*')
new_chart=("$file_menu" sleep:200 key:Down key:Down key:Return 'wait:Lumetra - [Chart 1]' sleep:300)
analyses=("${load[@]}" "${load[@]}" click:33,86 wait:Options type:Lamp key:Return gone:Options 'wait:Lumetra*'
          click:148,130 'wait:Peak Settings' key:Return 'gone:Peak Settings' 'wait:Lumetra*'
          click:885,130 sleep:200
          click:831,130 'wait:Integral Options' key:Return 'gone:Integral Options' 'wait:Lumetra*'
          click:972,130 sleep:500 "shot:$shots-relative.png" click:972,130 sleep:300
          rclick:300,250 key:Down key:Down key:Right key:Return wait:TextBox type:Road click:156,149 gone:TextBox
          'wait:Lumetra*' sleep:500 "shot:$shots-chart.png")
save_as=("$file_menu" sleep:200 key:Down key:Down key:Down key:Down key:Return 'wait:Save As')
documents=("${save_as[@]}" "type:$folder/chart.xml" key:Return 'gone:Save As' 'wait:Lumetra*'
           "$file_menu" sleep:200 key:Down key:Down key:Down key:Return wait:Open "type:$folder/chart.xml"
           key:Return gone:Open 'wait:Lumetra - [chart]' sleep:300
           click:161,86 'wait:Import Frame' "type:$folder/chart.xml" sleep:300 click:17,113 key:Return
           'gone:Import Frame' 'wait:Lumetra*' sleep:500 "shot:$shots-imported.png"
           "${save_as[@]}" "type:$folder/chart-imported.xml" key:Return 'gone:Save As' 'wait:Lumetra*'
           rclick:300,250 key:Down key:Down key:Down key:Down key:Right key:Down key:Down key:Down key:Return
           'wait:Lumetra - [Chart 3]' sleep:300 "shot:$shots-copy.png"
           "${save_as[@]}" "type:$folder/chart-copy.xml" key:Return 'gone:Save As' 'wait:Lumetra*')
# Back to the live window; the camera runs until the simulator unplugs it (after so many frames, from
# the start of the road), which closes the device and gives the window its caption without the sensor
# back. A machine slow enough to run that many frames before the camera was stopped above sees the
# unplugging there instead, and the road goes on the same.
unplug=(click:57,44 sleep:300 'wait:Lumetra - [Zevi Zezaru*' key:ctrl+m 'wait:Lumetra - [Zevi Zezaru]' sleep:500
        "shot:$shots-unplugged.png")

run() {
    LUMCAM_FAULT_UNPLUG_AFTER=9000 "$folder/lumetra" >"$folder/stdout.txt" 2>"$folder/stderr.txt" &
    local pid=$!
    local steps=(wait:Lumetra sleep:300 "$file_menu" sleep:200 click:60,37 'wait:Lumetra - [Zevi Zezaru]'
                 "${live[@]}" "${new_chart[@]}" "${analyses[@]}" "${documents[@]}" "${unplug[@]}"
                 "$file_menu" sleep:200 key:Up key:Return)
    drive_program "$pid" "$shots-failed.png" "${steps[@]}"
}
if [ -n "${inner:-}" ]; then
    run
    exit
fi

require_xvfb_run
install_program
mkdir -p "$folder/quicksave"
rm -f "$shots"-*.png

unset LUMETRA_BACKEND
status=0
xvfb-run -a -s "-screen 0 1920x1080x24" bash "$0" --on-display "$program" "$xinput" "$out" || status=$?
cat "$folder/stderr.txt" >&2
fail() {
    echo "$1" >&2
    exit 1
}
[ "$status" = 0 ] || fail "the road ended with code $status"
if [ -e "$folder/lumetra.error.log" ]; then
    cat "$folder/lumetra.error.log" >&2
    fail "exceptions were logged"
fi

# The quick save: one XML chart document named by the time, with the dark frame and the live frame.
saved=("$folder"/quicksave/*)
[ "${#saved[@]}" = 1 ] || fail "the quick save left ${#saved[@]} files"
[[ "$(basename "${saved[0]}")" =~ ^[0-9]{6}_[0-9]{6}\.xml$ ]] || fail "quick save name: ${saved[0]}"
grep -q '<Frames Count="2">' "${saved[0]}" && grep -q 'Title="Dark Frame"' "${saved[0]}" ||
    fail "the quick save lacks its frames"
# The settings file keeps the quick-save folder and format chosen on the road.
settings=$(tr -d '\r' <"$folder/lumcam.Ini")
grep -qx "Directory=$folder/quicksave" <<<"$settings" && grep -qx "Format=3" <<<"$settings" ||
    fail "lumcam.Ini lacks the quick-save settings"

# The chart: three loaded frames, the third with the typed title, peaks marked on the first, the text
# box, and relative mode off again.
chart="$folder/chart.xml"
[ "$(grep -c '<points Count="2048">' "$chart")" = 3 ] || fail "chart.xml lacks its three frames"
grep -q '<Frame Title="Lamp"' "$chart" || fail "chart.xml lacks the typed title"
grep -q '<Maxima Count="[1-9]' "$chart" || fail "chart.xml has no peaks"
grep -q 'text="Road' "$chart" || fail "chart.xml lacks the text box"
grep -q 'Relative="0"' "$chart" || fail "relative mode stayed on"
# The loaded chart with the imported frame, and the copy of its selected (first) frame.
[ "$(grep -c '<points Count="2048">' "$folder/chart-imported.xml")" = 4 ] &&
    [ "$(grep -c '<Frame Title="Lamp"' "$folder/chart-imported.xml")" = 2 ] ||
    fail "the import did not add the third frame"
[ "$(grep -c '<points Count="2048">' "$folder/chart-copy.xml")" = 1 ] &&
    grep -q '<Frame Title="FRAME 1"' "$folder/chart-copy.xml" || fail "the copy lacks the first frame"
echo "screens: $shots-*.png"
