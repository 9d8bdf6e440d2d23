#!/usr/bin/env bash
# Real-window checks of the interactive program under a virtual X server,
# driven with xdotool and looked at with ImageMagick:
#
#  1. a picture named on the command line opens at start, with its title;
#  2. a cancelled first open dialog leaves the open prompt on the window, and
#     Enter asks again; the picture is typed into the GTK open dialog;
#  3. the TOP comment lines survive the window being unmapped and mapped
#     again (an expose shows the last frame; it does not paint);
#  4. a click on the main window while a dialog is up is dropped: the page
#     is unchanged after Cancel;
#  5. a window sized to 2 x shows the frame at 2 x, and a click at the scaled
#     centre of the FILTER tab switches to FILTER;
#  6. the close sequence: Return answers Yes to both questions (the keep
#     files go, the program ends with status 0).
#
# usage: smoke_interactive.sh VAZESAMPLE SAMPLE_MAKER
# SMOKE_SHOT=FILE.png keeps the last screenshot. Exits 77 (skipped) when
# xvfb-run, xdotool or ImageMagick are missing.
#
# There is no window manager under xvfb-run, so there is no close button to
# press: the close request is sent as SIGTERM, which the window turns into the
# same close message as its close button.
set -u

program=${1:?usage: smoke_interactive.sh VAZESAMPLE SAMPLE_MAKER}
sampler=${2:?usage: smoke_interactive.sh VAZESAMPLE SAMPLE_MAKER}

if [ -z "${SMOKE_INSIDE_X:-}" ]; then
  for tool in xvfb-run xdotool xwininfo import identify convert compare; do
    if ! command -v "$tool" >/dev/null 2>&1; then
      echo "skipped: $tool is not installed"
      exit 77
    fi
  done
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  # No session bus here: the program itself must keep GTK quiet.
  env -u DBUS_SESSION_BUS_ADDRESS SMOKE_INSIDE_X=1 SMOKE_WORK="$work" \
    timeout 90 xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$program" "$sampler"
  exit $?
fi

# ---- inside the virtual X server ----
work=$SMOKE_WORK
cd "$work" || exit 1
pid=
fail() {
  echo "FAIL: $*"
  echo "--- program's standard error:"
  cat "$work/err.txt" 2>/dev/null
  [ -n "$pid" ] && kill -KILL "$pid" 2>/dev/null
  exit 1
}

# Waits (up to 15 s) for a mapped window whose title holds $1, other
# than window $2; prints its id. Titles are read with xwininfo, which shows
# UTF-8 titles as they are.
wait_window() {
  local name=$1 other=${2:-} id
  for _ in $(seq 1 300); do
    for id in $(xwininfo -root -tree 2>/dev/null | grep -F "$name" | awk '{print $1}'); do
      if [ "$id" != "$other" ] && xwininfo -id "$id" 2>/dev/null | grep -q "IsViewable"; then
        echo "$id"
        return 0
      fi
    done
    sleep 0.05
  done
  return 1
}

# Waits until no mapped window's title starts with $1.
wait_gone() {
  for _ in $(seq 1 200); do
    xwininfo -root -tree 2>/dev/null | grep -qF "\"$1" || return 0
    sleep 0.05
  done
  return 1
}

# Dark pixels (below half grey) of a screenshot inside W x H + X + Y.
dark_pixels() {
  convert "$1" -crop "$2" +repage -colorspace Gray -threshold 50% -format "%[fx:int(w*h*(1-mean)+0.5)]" info:
}

# The colour of one pixel as "r,g,b".
pixel() {
  convert "$1" -format "%[fx:int(255*p{$2,$3}.r+0.5)],%[fx:int(255*p{$2,$3}.g+0.5)],%[fx:int(255*p{$2,$3}.b+0.5)]" info:
}

shot() {  # shot WINDOW FILE: the window's contents, after the program has caught up
  sleep 0.4
  import -window "$1" "$2" || fail "no screenshot of $1"
}

# Ends the program through its close sequence, Return on both questions.
close_with_return() {
  kill -TERM "$pid"
  local first second
  first=$(wait_window "確認") || fail "the keep-file question did not appear"
  xdotool windowfocus --sync "$first"
  xdotool key Return
  second=$(wait_window "確認" "$first") || fail "Return did not answer the keep-file question"
  xdotool windowfocus --sync "$second"
  xdotool key Return
  for _ in $(seq 1 100); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.05
  done
  kill -0 "$pid" 2>/dev/null && fail "the program did not end after Return on the close question"
  wait "$pid"
  local status=$?
  [ "$status" -eq 0 ] || fail "the program ended with status $status"
  pid=
}

"$sampler" sample.bmp >/dev/null || fail "the sample maker failed"

# 1. A picture on the command line: no dialog, its title at once.
"$program" sample.bmp >out.txt 2>err.txt &
pid=$!
main=$(wait_window "sample.bmp / ") || fail "a picture named on the command line was not opened"
xwininfo -root -tree | grep -qF '"BMP File Open' && fail "the open dialog was shown although a picture was given"
kill -KILL "$pid"
wait "$pid" 2>/dev/null
pid=

# 2. No picture: the open dialog first. Cancel it: the prompt stays.
touch KEEP5.bmp  # to see the close sequence delete it
start=$(date +%s%N)
"$program" >out.txt 2>err.txt &
pid=$!
dialog=$(wait_window "BMP File Open") || fail "the open dialog did not appear"
dialog_ms=$((($(date +%s%N) - start) / 1000000))
xdotool windowfocus --sync "$dialog"
xdotool key Escape
wait_gone "BMP File Open" || fail "Escape did not cancel the open dialog"
main=$(wait_window "ヴァントルゼフリンサンプル") || fail "the main window is not there"
shot "$main" cancelled.png
prompt=$(dark_pixels cancelled.png 300x12+100+470)
[ "$prompt" -ge 100 ] || fail "after Cancel the open prompt is gone ($prompt dark pixels)"
xdotool windowfocus --sync "$main"
xdotool key Return
dialog=$(wait_window "BMP File Open") || fail "Enter did not show the open dialog again"
xdotool windowfocus --sync "$dialog"
xdotool key --clearmodifiers ctrl+l
sleep 0.3
xdotool type --delay 5 "$work/sample.bmp"
xdotool key Return
main=$(wait_window "sample.bmp / ") || fail "the window title does not name the opened picture"

# 3. The comment lines survive an unmap and map.
shot "$main" opened.png
size=$(identify -format "%wx%h" opened.png)
[ "$size" = "1100x840" ] || fail "the window is $size, not 1100x840, on a 1280x1024 screen"
comment=$(dark_pixels opened.png 600x56+120+708)
[ "$comment" -ge 300 ] || fail "no TOP comment lines after opening ($comment dark pixels)"
xdotool windowunmap --sync "$main"
sleep 0.2
xdotool windowmap --sync "$main"
shot "$main" uncovered.png
again=$(dark_pixels uncovered.png 600x56+120+708)
[ "$again" -eq "$comment" ] || fail "the comment lines changed when the window was uncovered ($comment -> $again)"

# 4. A click on the FILTER tab while the open dialog is up is not replayed.
top_mark=$(pixel opened.png 11 100)
[ "$top_mark" = "16,32,96" ] || fail "the TOP reset mark is not at (11, 100): $top_mark"
xdotool windowfocus --sync "$main"
xdotool key Return
dialog=$(wait_window "BMP File Open") || fail "Enter did not show the open dialog"
# The dialog covers nearly all of the window: the click goes to the strip of
# the tab bar above it (client y 4), where the dialog leaves the window bare.
dialog_top=$(xwininfo -id "$dialog" | awk '/Absolute upper-left Y/ {print $4}')
main_top=$(xwininfo -id "$main" | awk '/Absolute upper-left Y/ {print $4}')
[ "$dialog_top" -gt $((main_top + 4)) ] || fail "the open dialog covers the tab bar; nowhere to click"
xdotool mousemove --window "$main" 184 4 click 1
sleep 0.3
xdotool windowfocus --sync "$dialog"
xdotool key Escape
wait_gone "BMP File Open" || fail "Escape did not cancel the open dialog"
shot "$main" after_cancel.png
[ "$(pixel after_cancel.png 11 100)" = "16,32,96" ] || fail "a click made while the dialog was up switched the page"

# 5. At 2 x: the frame doubled, and a click at the scaled centre of a tab.
xdotool windowmove --sync "$main" 0 0
xdotool windowsize --sync "$main" 2200 1680
sleep 0.5
import -window root -crop 1280x1024+0+0 +repage double.png || fail "no screenshot at 2 x"
convert double.png -sample 50% half.png
convert opened.png -crop 640x512+0+0 +repage quarter.png
differ=$(compare -metric AE half.png quarter.png null: 2>&1)
[ "$differ" = "0" ] || fail "the frame at 2 x is not the 1 x frame doubled ($differ pixels differ)"
[ "$(pixel double.png 1 1)" = "$(pixel double.png 0 0)" ] || fail "pixels at 2 x are not 2 x 2 blocks"
xdotool mousemove --window "$main" 368 32 click 1
sleep 0.6
import -window root -crop 1280x1024+0+0 +repage filter2x.png || fail "no screenshot at 2 x"
[ "$(pixel filter2x.png 6 60)" = "192,16,32" ] || fail "a click at the FILTER tab's centre at 2 x did not show FILTER"
xdotool windowsize --sync "$main" 1100 840
shot "$main" filter.png
[ -n "${SMOKE_SHOT:-}" ] && cp filter.png "$SMOKE_SHOT"
[ "$(pixel filter.png 3 30)" = "192,16,32" ] || fail "back at 1 x the FILTER page is not shown"

# 6. Close: Return is Yes to both questions.
close_with_return
[ -e KEEP5.bmp ] && fail "Yes to the keep-file question did not delete the keep files"
grep -q "dconf\|GLib-GIO-WARNING" err.txt && fail "GTK complained about the missing session bus"
echo "ok: command-line picture; prompt kept after Cancel; comment kept after map; click during dialog dropped;"
echo "    2 x frame and click; Return answers Yes; start to open dialog ${dialog_ms} ms"
exit 0
