#!/usr/bin/env bash
# Times the interactive program on a virtual X server (no window manager):
#  - start to open dialog: from starting the program until the GTK open
#    dialog is mapped (wall time, and the program's own processor time);
#  - re-expose: the window unmapped and mapped again, as a window passing over
#    it would uncover it; the program shows its last frame again without
#    painting, and reports the time with VAZESAMPLE_TIMING set.
#
# usage: bench/desktop_timing.sh build/src/vazesample build/tools/sample/vazesample-sample [RUNS]
set -u
program=$(realpath "${1:?usage: desktop_timing.sh VAZESAMPLE SAMPLE_MAKER [RUNS]}")
sampler=$(realpath "${2:?usage: desktop_timing.sh VAZESAMPLE SAMPLE_MAKER [RUNS]}")
runs=${3:-5}
if [ -z "${TIMING_INSIDE_X:-}" ]; then
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  env -u DBUS_SESSION_BUS_ADDRESS TIMING_INSIDE_X=1 TIMING_WORK="$work" \
    xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$program" "$sampler" "$runs"
  exit $?
fi
cd "$TIMING_WORK" || exit 1
"$sampler" sample.bmp >/dev/null
mapped() { xwininfo -root -tree 2>/dev/null | grep -F "$1" | awk '{print $1}' | head -1; }

echo "start to open dialog (ms, wall / processor):"
for _ in $(seq 1 "$runs"); do
  start=$(date +%s%N)
  "$program" >/dev/null 2>&1 &
  pid=$!
  for _ in $(seq 1 1000); do
    id=$(mapped '"BMP File Open')
    [ -n "$id" ] && xwininfo -id "$id" | grep -q IsViewable && break
    sleep 0.01
  done
  wall=$((($(date +%s%N) - start) / 1000000))
  cpu=$(awk '{print ($14 + $15) * 1000 / 100}' "/proc/$pid/stat")
  echo "  $wall / $cpu"
  kill -KILL "$pid"
  wait "$pid" 2>/dev/null
done

echo "re-expose (ms):"
VAZESAMPLE_TIMING=1 "$program" sample.bmp >/dev/null 2>timing.txt &
pid=$!
for _ in $(seq 1 1000); do
  main=$(mapped '"sample.bmp / ')
  [ -n "$main" ] && break
  sleep 0.01
done
sleep 1
: >timing.txt
for _ in $(seq 1 20); do
  xdotool windowunmap --sync "$main"
  xdotool windowmap --sync "$main"
  sleep 0.05
done
sleep 0.5
kill -KILL "$pid"
grep -a "expose shown again" timing.txt | awk '{print $6}' | sort -n |
  awk '{a[NR]=$1} END {if (NR) printf "  %d exposes: median %.3f, slowest %.3f\n", NR, a[int((NR+1)/2)], a[NR]}'
