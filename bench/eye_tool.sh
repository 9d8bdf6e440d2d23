#!/usr/bin/env bash
# Times the batch tool as whole processes (start-up, reading and writing the
# BMP included), side by side with its literal form and ImageMagick's local
# contrast on the same picture, and the full-size pass on a 6000 x 4000 one.
#   bench/eye_tool.sh [BUILD]     (needs hyperfine and imagemagick)
set -euo pipefail
build=${1:-build}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$build"/tools/sample/vazesample-sample "$work/in.bmp"
"$build"/tools/sample/vazesample-sample --size 6000x4000 "$work/big.bmp"
hyperfine -N --warmup 3 --runs 15 \
  "$build/tools/eye/vazesample-eye --key F $work/in.bmp $work/f.bmp" \
  "$build/bench/vazesample-eye-literal $work/in.bmp $work/fl.bmp F" \
  "convert $work/in.bmp -local-contrast 8,50 $work/im.bmp" \
  "$build/tools/eye/vazesample-eye --key L $work/in.bmp $work/l.bmp"
hyperfine -N --warmup 1 --runs 3 "$build/bench/vazesample-eye-literal $work/in.bmp $work/ll.bmp L"
cmp "$work/f.bmp" "$work/fl.bmp" && cmp "$work/l.bmp" "$work/ll.bmp" && echo "fast and literal outputs are identical"
hyperfine -N --warmup 1 --runs 5 "$build/tools/eye/vazesample-eye --full-size --key F $work/big.bmp $work/bigf.bmp"
