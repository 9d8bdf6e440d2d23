#!/usr/bin/env bash
# Whole-picture steps as whole processes on a 6000 x 4000 BMP, side by side
# with the nearest ImageMagick command, with peak memory (GNU time's maximum
# resident size) and a sanity comparison of the outputs.
#   bench/whole_picture.sh [BUILD]     (needs hyperfine, imagemagick and GNU time)
set -euo pipefail
build=${1:-build}
batch="$build/tools/batch/vazesample-batch --quiet --overwrite --jobs 2"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/out"
"$build"/tools/sample/vazesample-sample --size 6000x4000 "$work/big.bmp"

run() {  # name, our command, ImageMagick command
  echo "== $1"
  hyperfine -N --warmup 1 --runs 5 "$2" "$3"
  for cmd in "$2" "$3"; do
    /usr/bin/time -f "   peak resident %M kB: ${cmd%% *}" $cmd > /dev/null
  done
}

run "Vantor Eye, key F (vazesample-eye --full-size streams; vazesample-batch)" \
  "$build/tools/eye/vazesample-eye --full-size --key F $work/big.bmp $work/eye.bmp" \
  "convert $work/big.bmp -local-contrast 8,50 $work/im-eye.bmp"
hyperfine -N --warmup 1 --runs 5 "$batch --step eye:horn_key=F,pivot=levels --out $work/out $work/big.bmp"
/usr/bin/time -f "   peak resident %M kB: vazesample-batch eye" \
  $batch --step eye:horn_key=F,pivot=levels --out "$work/out" "$work/big.bmp"
cmp "$work/eye.bmp" "$work/out/big.bmp" && echo "   batch and eye tool outputs are identical"

run "FILTER colour power 140 (convert -modulate)" \
  "$batch --step filter:colour_power_on=true,colour_power=140 --out $work/out $work/big.bmp" \
  "convert $work/big.bmp -modulate 100,140 $work/im-power.bmp"

run "FILTER strong balance, peach (convert -level)" \
  "$batch --step filter:peach=true --out $work/out $work/big.bmp" \
  "convert $work/big.bmp -channel RGB -contrast-stretch 4%x4% $work/im-level.bmp"

run "CONTOUR, every level (convert -posterize)" \
  "$batch --step contour:operation=all,min=0,max=255,step=32 --out $work/out $work/big.bmp" \
  "convert $work/big.bmp -posterize 8 $work/im-posterize.bmp"

run "swap 5, [B] R<->G (convert -separate -swap 0,1 -combine; IM 6 has no -channel-fx)" \
  "$batch --step swap:mode=5 --out $work/out $work/big.bmp" \
  "convert $work/big.bmp -separate -swap 0,1 -combine $work/im-swap.bmp"

run "outline, fine (convert -edge)" \
  "$batch --step outline:width=fine --out $work/out $work/big.bmp" \
  "convert $work/big.bmp -edge 1 $work/im-edge.bmp"

run "UNI C. conversion of grays 100..160 (convert -fill -opaque)" \
  "$batch --step uni_c:gray_from=100,gray_to=160,colour=[255,0,0] --out $work/out $work/big.bmp" \
  "convert $work/big.bmp -fuzz 12% -fill red -opaque rgb(128,128,128) $work/im-opaque.bmp"

run "ADD, nod colours over grays 0..255 (convert -clut)" \
  "$batch --step add:gray_from=0,gray_to=255 --out $work/out $work/big.bmp" \
  "convert $work/big.bmp -colorspace Gray ( -size 1x256 gradient:black-yellow ) -clut $work/im-clut.bmp"

echo "== A recipe of three steps over a folder of 20 pictures of 12 MP (4240 x 2832), --jobs 1 and 2"
mkdir -p "$work/folder" "$work/folder-out"
"$build"/tools/sample/vazesample-sample --size 4240x2832 "$work/folder/p01.bmp"
for k in $(seq -w 2 20); do cp "$work/folder/p01.bmp" "$work/folder/p$k.bmp"; done
cat > "$work/three.toml" <<'RECIPE'
version = 1

[[step]]
kind = "eye"
horn_key = "F"
pivot = "levels"

[[step]]
kind = "filter"
colour_power_on = true
colour_power = 130
peach = true

[[step]]
kind = "outline"
width = "fine"
RECIPE
for jobs in 1 2; do
  hyperfine -N --warmup 1 --runs 3 \
    "$build/tools/batch/vazesample-batch --quiet --overwrite --jobs $jobs --recipe $work/three.toml --out $work/folder-out $work/folder"
done
echo "   pictures per second: 20 / the mean above"
