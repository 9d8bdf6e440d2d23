#!/usr/bin/env bash
# Real-window checks of the interactive program under a virtual X server,
# driven with xdotool and looked at with ImageMagick: the start from the
# command line and its titles, the window scale, the open dialog, exposes,
# clicks while a dialog is up, the 2 x frame, the close button, signals,
# the start language and the desktop entry's start (one numbered section
# each below).
#
# usage: smoke_interactive.sh VAZESAMPLE SAMPLE_MAKER WM_DELETE
# SMOKE_SHOT=FILE.png keeps the last screenshot. Exits 77 (skipped) when
# xvfb-run, xdotool, xprop or ImageMagick are missing.
#
# There is no window manager under xvfb-run, so there is no close button to
# press: WM_DELETE (vazesample-wm-delete) sends the window the request a
# window manager sends when its close button is pressed.
set -u

usage="usage: smoke_interactive.sh VAZESAMPLE SAMPLE_MAKER WM_DELETE"
program=${1:?$usage}
sampler=${2:?$usage}
wm_delete=${3:?$usage}
entry=$(cd "$(dirname "$0")/.." && pwd)/data/vazesample.desktop

if [ -z "${SMOKE_INSIDE_X:-}" ]; then
  for tool in xvfb-run xdotool xwininfo xprop import identify convert compare perl; do
    if ! command -v "$tool" >/dev/null 2>&1; then
      echo "skipped: $tool is not installed"
      exit 77
    fi
  done
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  # No session bus here: the program itself must keep GTK quiet. A locale
  # that says nothing of a language: the program starts in Japanese. The
  # server does not reset when its last client goes, so a program started
  # right after another ended always finds it.
  env -u DBUS_SESSION_BUS_ADDRESS -u LC_ALL -u LC_MESSAGES LANG=C.UTF-8 SMOKE_INSIDE_X=1 SMOKE_WORK="$work" \
    timeout 180 xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" "$0" "$program" "$sampler" "$wm_delete"
  exit $?
fi

# ---- inside the virtual X server ----
work=$SMOKE_WORK
cd "$work" || exit 1
export XDG_CONFIG_HOME=$work/config
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
  for _ in $(seq 1 "${2:-200}"); do
    xwininfo -root -tree 2>/dev/null | grep -qF "\"$1" || return 0
    sleep 0.05
  done
  return 1
}

# Presses KEY until the window named NAME is gone: on a loaded machine a key
# sent while a dialog is still taking the focus can be lost. False when the
# window stays through three presses (9 s in all).
press_until_gone() {
  for _ in 1 2 3; do
    xdotool key "$1"
    wait_gone "$2" 60 && return 0
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

# Starts the program (its command line in "$@") in the background.
launch() {
  "$@" >out.txt 2>err.txt &
  pid=$!
}

# Waits (up to $1 x 50 ms) for the program to end, then for its status:
# wants status $2, fails with $3 (what came before) otherwise.
ended_with() {
  local tries=$1 want=$2 what=$3 status
  for _ in $(seq 1 "$tries"); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.05
  done
  kill -0 "$pid" 2>/dev/null && fail "the program was still running $((tries / 20)) s after $what"
  wait "$pid"
  status=$?
  [ "$status" -eq "$want" ] || fail "after $what the program ended with status $status, not $want"
  pid=
}
# Waits (up to 1 s) for the program to end by signal $1 (its number) after $2.
ended_by_signal() { ended_with 20 $((128 + $1)) "$2"; }
# SIGTERM, and the program ends by it at once.
terminate() {
  kill -TERM "$pid"
  ended_by_signal 15 "${1:-SIGTERM}"
}

# Types a file name into the GTK open dialog $1 and opens it.
type_into_dialog() {
  xdotool windowfocus --sync "$1"
  xdotool key --clearmodifiers ctrl+l
  sleep 0.3
  xdotool type --delay 5 "$2"
  xdotool key Return
}

# The keep and work files that a signal must leave as they are.
kept="KEEP3.bmp KEEP5.bmp 0000tar.bmp 0000back.bmp"
kept_files() {
  local f
  for f in $kept; do cp sample.bmp "$f"; done
}
files_as_kept() {  # files_as_kept WHEN
  local f
  for f in $kept; do
    cmp -s sample.bmp "$f" || fail "$f was changed or deleted $1"
  done
  [ -z "$(find . -name '*.tmp' -print -quit)" ] || fail "a temporary file was left $1"
}

# A property of a window as xprop prints it, e.g. 'WM_NAME(STRING) = "..."'.
property() {
  xprop -id "$1" "$2"
}

# Ends the program through the close button, Return on both questions.
close_with_return() {
  "$wm_delete" "$main" || fail "the close request could not be sent"
  local first second
  first=$(wait_window "確認") || fail "the keep-file question did not appear"
  xdotool windowfocus --sync "$first"
  xdotool key Return
  second=$(wait_window "確認" "$first") || fail "Return did not answer the keep-file question"
  xdotool windowfocus --sync "$second"
  xdotool key Return
  ended_with 100 0 "Return on the close question"
}

"$sampler" sample.bmp >/dev/null || fail "the sample maker failed"

# 1. A picture on the command line: no dialog, its title at once, in both
#    title properties; the window at 1.1 x, the largest step that fits the
#    screen; - makes it 1 x, remembered. SIGTERM ends it at once.
kept_files
launch "$program" sample.bmp
main=$(wait_window "sample.bmp / ") || fail "a picture named on the command line was not opened"
xwininfo -root -tree | grep -qF '"画像ファイルを開く' && fail "the open dialog was shown although a picture was given"
title="sample.bmp / ヴァントルゼフリンサンプル vazesample"
got=$(property "$main" _NET_WM_NAME)
[ "$got" = "_NET_WM_NAME(UTF8_STRING) = \"$title\"" ] || fail "the UTF-8 title reads: $got"
got=$(property "$main" WM_NAME)
[ "$got" = "WM_NAME(COMPOUND_TEXT) = \"$title\"" ] || fail "the legacy title reads: $got"
geometry() { xdotool getwindowgeometry "$main" | sed -n 's/ *Geometry: //p'; }
size=$(geometry)
[ "$size" = "1210x924" ] || fail "the window starts at $size, not 1210x924 (1.1 x), on a 1280x1024 screen"
xdotool windowfocus --sync "$main"
xdotool key --window "$main" minus
for _ in $(seq 1 50); do
  size=$(geometry)
  [ "$size" = "1100x840" ] && break
  sleep 0.05
done
[ "$size" = "1100x840" ] || fail "- left the window at $size, not 1100x840"
[ "$(cat "$XDG_CONFIG_HOME/vazesample/window.conf" 2>/dev/null)" = "scale = 1.0" ] ||
  fail "the scale chosen was not remembered in $XDG_CONFIG_HOME/vazesample/window.conf"
terminate
files_as_kept "by SIGTERM"

# 2. No picture: the open dialog first. Cancel it: the prompt stays.
touch KEEP5.bmp  # to see the close sequence delete it
start=$(date +%s%N)
launch "$program"
dialog=$(wait_window "画像ファイルを開く") || fail "the open dialog did not appear"
dialog_ms=$((($(date +%s%N) - start) / 1000000))
xdotool windowfocus --sync "$dialog"
press_until_gone Escape "画像ファイルを開く" || fail "Escape did not cancel the open dialog"
main=$(wait_window "ヴァントルゼフリンサンプル") || fail "the main window is not there"
shot "$main" cancelled.png
prompt=$(dark_pixels cancelled.png 300x12+100+470)
[ "$prompt" -ge 100 ] || fail "after Cancel the open prompt is gone ($prompt dark pixels)"
xdotool windowfocus --sync "$main"
xdotool key Return
dialog=$(wait_window "画像ファイルを開く") || fail "Enter did not show the open dialog again"
type_into_dialog "$dialog" "$work/sample.bmp"
main=$(wait_window "sample.bmp / ") || fail "the window title does not name the opened picture"

# 3. The comment lines survive an unmap and map: an expose shows the last frame.
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
dialog=$(wait_window "画像ファイルを開く") || fail "Enter did not show the open dialog"
# The dialog covers nearly all of the window: the click goes to the strip of
# the tab bar above it (client y 4), where the dialog leaves the window bare.
dialog_top=$(xwininfo -id "$dialog" | awk '/Absolute upper-left Y/ {print $4}')
main_top=$(xwininfo -id "$main" | awk '/Absolute upper-left Y/ {print $4}')
[ "$dialog_top" -gt $((main_top + 4)) ] || fail "the open dialog covers the tab bar; nowhere to click"
xdotool mousemove --window "$main" 184 4 click 1
sleep 0.3
xdotool windowfocus --sync "$dialog"
press_until_gone Escape "画像ファイルを開く" || fail "Escape did not cancel the open dialog"
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

# 6. The close button: Return is Yes to both questions.
close_with_return
[ -e KEEP5.bmp ] && fail "Yes to the keep-file question did not delete the keep files"
grep -q "dconf\|GLib-GIO-WARNING" err.txt && fail "GTK complained about the missing session bus"

# 7. Signals end the program without questions, wherever it waits.
kept_files
launch "$program" sample.bmp
main=$(wait_window "sample.bmp / ") || fail "the program did not start"
"$wm_delete" "$main" || fail "the close request could not be sent"
wait_window "確認" >/dev/null || fail "the close button did not ask the keep-file question"
terminate "SIGTERM with the keep-file question up"
files_as_kept "by SIGTERM with the keep-file question up"
grep -qF "終了してもよろしいですか" err.txt && fail "after SIGTERM the close question was still put (to standard error)"

launch "$program"
wait_window "画像ファイルを開く" >/dev/null || fail "the open dialog did not appear"
kill -HUP "$pid"
ended_by_signal 1 "SIGHUP with the open dialog up"
files_as_kept "by SIGHUP"

# A program started in the background of a script ignores SIGINT unless
# told otherwise; a terminal's Ctrl+C reaches it with the default action.
launch perl -e '$SIG{INT} = "DEFAULT"; exec @ARGV or die' "$program" sample.bmp
wait_window "sample.bmp / " >/dev/null || fail "the program did not start"
kill -INT "$pid"
ended_by_signal 2 "SIGINT"
files_as_kept "by SIGINT"

# 8. The start language: the locale, or --language.
start_in() {  # start_in TITLE ENV... -- ARGS...: the window shows TITLE; then SIGTERM
  local want=$1
  shift
  local envs=()
  while [ "$1" != "--" ]; do envs+=("$1"); shift; done
  shift
  launch env "${envs[@]}" "$program" "$@" sample.bmp
  main=$(wait_window "sample.bmp / ") || fail "the program did not start with ${envs[*]} $*"
  local got
  got=$(property "$main" _NET_WM_NAME)
  [ "$got" = "_NET_WM_NAME(UTF8_STRING) = \"sample.bmp / $want\"" ] || fail "with ${envs[*]} $* the title reads: $got"
  terminate
}
start_in "VANTOR ZEPHRIN SAMPLE vazesample" LANG=en_US.UTF-8 --
start_in "ヴァントルゼフリンサンプル vazesample" LANG=ja_JP.UTF-8 --
start_in "ヴァントルゼフリンサンプル vazesample" LANG=C --
start_in "VANTOR ZEPHRIN SAMPLE vazesample" LANG=de_DE.UTF-8 LC_ALL=fr_FR.UTF-8 --
start_in "ヴァントルゼフリンサンプル vazesample" LANG=en_US.UTF-8 -- --language ja
start_in "VANTOR ZEPHRIN SAMPLE vazesample" LANG=C -- --language en
# A Latin-1 title is a plain STRING.
launch "$program" --language en sample.bmp
main=$(wait_window "sample.bmp / ") || fail "the program did not start in English"
got=$(property "$main" WM_NAME)
[ "$got" = 'WM_NAME(STRING) = "sample.bmp / VANTOR ZEPHRIN SAMPLE vazesample"' ] || fail "the English legacy title reads: $got"
terminate

# 9. The desktop entry's command: the working folder under the state home,
#    the open dialog in Pictures (named in user-dirs.dirs, as xdg-user-dir
#    reads it). A picture found there by its bare name proves where the
#    dialog started.
command=$(sed -n 's/^Exec=//p' "$entry")
[ -n "$command" ] || fail "no Exec line in $entry"
case "$command" in
  "vazesample "*) ;;
  *) fail "the desktop entry does not start vazesample: $command" ;;
esac
read -r -a words <<<"${command#vazesample }"
args=()
for w in "${words[@]}"; do
  case "$w" in %f | %F | %u | %U) ;; *) args+=("$w") ;; esac
done
home=$work/home
mkdir -p "$home/.config" "$home/Bilder"
echo 'XDG_PICTURES_DIR="$HOME/Bilder"' >"$home/.config/user-dirs.dirs"
cp sample.bmp "$home/Bilder/bilder.bmp"
launch env -u XDG_CONFIG_HOME HOME="$home" XDG_STATE_HOME="$work/state" "$program" "${args[@]}"
dialog=$(wait_window "画像ファイルを開く") || fail "started as the desktop entry, the open dialog did not appear"
[ "$(readlink "/proc/$pid/cwd")" = "$work/state/vazesample" ] ||
  fail "started as the desktop entry, the program works in $(readlink "/proc/$pid/cwd")"
[ "$(stat -c %a "$work/state/vazesample")" = 700 ] || fail "the state folder is not the user's own"
type_into_dialog "$dialog" "bilder.bmp"
main=$(wait_window "bilder.bmp / ") || fail "the open dialog did not start in the Pictures folder"
terminate
# Without XDG_STATE_HOME: ~/.local/state/vazesample.
launch env -u XDG_STATE_HOME -u XDG_CONFIG_HOME HOME="$home" "$program" "${args[@]}" sample.bmp
wait_window "sample.bmp / " >/dev/null || fail "started as the desktop entry with a picture, the program did not open it"
[ "$(readlink "/proc/$pid/cwd")" = "$home/.local/state/vazesample" ] ||
  fail "without XDG_STATE_HOME the program works in $(readlink "/proc/$pid/cwd")"
terminate

echo "ok: command-line picture and its titles; SIGTERM, SIGHUP, SIGINT end at once; prompt kept after Cancel;"
echo "    comment kept after map; click during dialog dropped; 2 x frame and click; the close button asks and"
echo "    Return answers Yes; language from LANG and --language; desktop entry works in the state folder and"
echo "    opens from Pictures; start to open dialog ${dialog_ms} ms"
exit 0
