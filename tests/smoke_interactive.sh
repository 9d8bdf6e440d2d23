#!/usr/bin/env bash
# Smoke test of the interactive program: starts vazesample under a virtual X
# server, opens a picture through the GTK open dialog, clicks a tab, takes a
# screenshot of the window, and closes it through its two questions (keep
# files: No; close: Yes).
#
# usage: smoke_interactive.sh VAZESAMPLE SAMPLE_MAKER
# SMOKE_SHOT=FILE.png keeps the screenshot. Exits 77 (skipped) when xvfb-run, xdotool or ImageMagick are missing.
#
# There is no window manager under xvfb-run, so there is no close button to
# press: the close request is sent as SIGTERM, which the window turns into the
# same close message as its close button.
set -u

program=${1:?usage: smoke_interactive.sh VAZESAMPLE SAMPLE_MAKER}
sampler=${2:?usage: smoke_interactive.sh VAZESAMPLE SAMPLE_MAKER}

if [ -z "${SMOKE_INSIDE_X:-}" ]; then
  for tool in xvfb-run xdotool xwininfo import identify convert; do
    if ! command -v "$tool" >/dev/null 2>&1; then
      echo "skipped: $tool is not installed"
      exit 77
    fi
  done
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  SMOKE_INSIDE_X=1 SMOKE_WORK="$work" GSETTINGS_BACKEND=memory NO_AT_BRIDGE=1 \
    timeout 120 xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$program" "$sampler"
  exit $?
fi

# ---- inside the virtual X server ----
work=$SMOKE_WORK
cd "$work" || exit 1
fail() {
  echo "FAIL: $*"
  echo "--- program's standard error:"
  cat "$work/err.txt" 2>/dev/null
  [ -n "${pid:-}" ] && kill -KILL "$pid" 2>/dev/null
  exit 1
}

# Waits (up to 20 s) for a mapped window whose title starts with $1, other
# than window $2; prints its id. Titles are read with xwininfo, which shows
# UTF-8 titles as they are.
wait_window() {
  local name=$1 other=${2:-} id
  for _ in $(seq 1 80); do
    for id in $(xwininfo -root -tree 2>/dev/null | grep -F "\"$name" | awk '{print $1}'); do
      if [ "$id" != "$other" ] && xwininfo -id "$id" 2>/dev/null | grep -q "IsViewable"; then
        echo "$id"
        return 0
      fi
    done
    sleep 0.25
  done
  return 1
}

"$sampler" sample.bmp >/dev/null || fail "the sample maker failed"
"$program" >out.txt 2>err.txt &
pid=$!

# The first paint asks for a picture.
dialog=$(wait_window "BMP File Open") || fail "the open dialog did not appear"
xdotool windowfocus --sync "$dialog"
xdotool key --clearmodifiers ctrl+l
sleep 0.5
xdotool type --delay 10 "$work/sample.bmp"
xdotool key Return

main=$(wait_window "sample.bmp / ") || fail "the window title does not name the opened picture"
sleep 1
xdotool mousemove --window "$main" 160 15 click 1  # the FILTER tab
sleep 2
import -window "$main" shot.png || fail "no screenshot"
[ -n "${SMOKE_SHOT:-}" ] && cp shot.png "$SMOKE_SHOT"  # to look at it
size=$(identify -format "%wx%h" shot.png)
[ "$size" = "1100x840" ] || fail "the client area is $size, not 1100x840"
# The panel is drawn on white and the picture is not black: the mean is bright.
mean=$(convert shot.png -format "%[fx:int(mean*100)]" info:)
[ "$mean" -ge 30 ] || fail "the screenshot is nearly black (mean $mean%)"

# Close: keep the keep files (No), then close (Yes).
kill -TERM "$pid"
first=$(wait_window "確認") || fail "the keep-file question did not appear"
xdotool windowfocus --sync "$first"
xdotool key Escape
second=$(wait_window "確認" "$first") || fail "the close question did not appear"
xdotool windowfocus --sync "$second"
xdotool key alt+y
for _ in $(seq 1 80); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.25
done
kill -0 "$pid" 2>/dev/null && fail "the program did not end after Yes to close"
wait "$pid"
status=$?
[ "$status" -eq 0 ] || fail "the program ended with status $status"
echo "ok: opened, clicked, shot $size (mean $mean%), closed through both questions"
exit 0
