#!/usr/bin/env bash
# Runs every orvane-cli command over the sample DEM with a spread of options and prints one
# line per command: its exit status, the SHA-256 of its stdout and of every file it wrote.
#   output_fingerprints.sh CLI                 print the fingerprints
#   output_fingerprints.sh CLI EXPECTED_FILE   compare with a stored list (exit 1 on a change)
# After an intended change of outputs, store the new list:
#   tests/cli/output_fingerprints.sh build/src/cli/orvane-cli > tests/cli/output_fingerprints.txt
set -euo pipefail
cli=$(realpath "$1")
expected=${2:+$(realpath "$2")}
src=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$src/data/jacksboro_m2.raw" "$src/data/jacksboro_m2.txt" "$work/"
cd "$work"
dem=(--dem jacksboro_m2.raw --pixel 90 --quiet)

run() {  # run NAME ARGS... : one fingerprint line
  local name=$1; shift
  mkdir -p "o_$name"
  local status=0
  (cd "o_$name" && "$cli" "$@" > ../stdout 2> /dev/null) || status=$?
  local line="$name status=$status stdout=$(sha256sum < stdout | cut -c1-16)"
  local f
  for f in $(cd "o_$name" && ls | sort); do
    line+=" $f=$(sha256sum < "o_$name/$f" | cut -c1-16)"
  done
  echo "$line"
  rm -rf "o_$name" stdout
}

D="../jacksboro_m2.raw"
dd=(--dem "$D" --pixel 90 --quiet)
# The network the drainage treatments read, and a parameter image for the picture commands.
"$cli" extract-drainage "${dem[@]}" --upper 5 --out net.bmp > /dev/null
"$cli" slope "${dem[@]}" --table gray --norm 255 --out param.raw > /dev/null
N=../net.bmp
P=../param.raw
{
run info info "${dd[@]}"
run slope1 slope "${dd[@]}" --table 1 --out o.bmp
run slope2s slope "${dd[@]}" --table 2 --smooth --out o.bmp
run slope3sh slope "${dd[@]}" --table 3 --shade --out o.bmp
run slopeg slope "${dd[@]}" --table gray --norm 180 --out o.raw
run aspect aspect "${dd[@]}" --smooth --out o.bmp --histogram h.txt
run aspectsh aspect "${dd[@]}" --shade --out o.bmp
run aspectg aspect "${dd[@]}" --palette gray --norm 36 --out o.raw
run shade shade "${dd[@]}" --azimuth 300 --elevation 40 --out o.raw
run slices slices "${dd[@]}" --table 2 --smooth --shadow --out o.bmp
run slicesg slices "${dd[@]}" --table gray --scale --out o.bmp
run slicesc slices "${dd[@]}" --table 1 --cast-shadows 20 --out o.bmp
run convex convexity "${dd[@]}" --range 5 --out o.raw
run concave concavity "${dd[@]}" --range 4 --dynamism 255 --out o.raw
run horiz horizontal "${dd[@]}" --range 3 --out o.raw
run horizb horizontal "${dd[@]}" --range 3 --binarize --out o.raw
run cdens contour-density "${dd[@]}" --window 10 --interval 20 --tiling moving --out o.raw
run cdensg contour-density "${dd[@]}" --window 12 --interval 30 --tiling grid --dynamism 255 --out o.raw
run contours contours "${dd[@]}" --first 200 --last 400 --interval 20 --out o.raw
run gfractal global-fractal "${dd[@]}"
run circ1 circular "${dd[@]}" --stat 1 --radius 5 --out o.raw
run circ2 circular "${dd[@]}" --stat 2 --radius 3 --out o.raw
run circ3 circular "${dd[@]}" --stat 3 --radius 5 --out o.raw
run circ4 circular "${dd[@]}" --stat 4 --radius 7 --out o.raw
run circ5 circular "${dd[@]}" --stat 5 --radius 4 --out o.raw
run circ6 circular "${dd[@]}" --stat 6 --radius 6 --out o.raw
run extract extract-drainage "${dd[@]}" --upper 6 --lower 2 --colour blue --out o.bmp
run dissl dissection "${dd[@]}" --drainage "$N" --tiling moving --measure length --window 20 --smooth --out o.bmp --histogram h.txt
run dissp dissection "${dd[@]}" --drainage "$N" --tiling grid --measure pixels --window 16 --palette gray --out o.bmp
run diss3 dissection3d "${dd[@]}" --drainage "$N" --window 20 --out o.bmp
run headw headwaters "${dd[@]}" --drainage "$N" --hws 10 --out o.bmp
run dfrac drainage-fractal --drainage "$N" --mode segments --window 24 --out o.bmp --quiet
run dfracg drainage-fractal --drainage "$N" --mode global --window 12 --scale 100 --out o.bmp --quiet
run ratio ratio-depth "${dd[@]}" --drainage "$N" --window 15 --out o.bmp
run incrust incrust --drainage "$N" --param "$P" --out o.bmp --quiet
run ghist gray-histogram --param "$P" --margin 1 --histogram h.txt --quiet
run palette palette --param "$P" --table classical --smooth --out o.bmp --quiet
run paletteb palette --param "$P" --table bluebase --min 10 --max 200 --out o.bmp --quiet
run r3dw render3d "${dd[@]}" --mode wire --exaggeration 3 --out o.bmp
run r3ds render3d "${dd[@]}" --mode surface --stereo --width 320 --height 240 --out o.bmp
run lfrac local-fractal "${dd[@]}" --h 0.5 --out o.bmp --histogram h.txt
run lfrac24 local-fractal "${dd[@]}" --window 24 --h 1 --out o.bmp
run tdepth total-depth "${dd[@]}" --window 11 --smooth --out o.bmp
run tdepthg total-depth "${dd[@]}" --window 7 --palette gray255 --out o.bmp
run surf3d surface3d "${dd[@]}" --window 5 --out o.bmp
run ilwis export-ilwis "${dd[@]}" --name j --dir . --zone 14
run geotiff export-geotiff "${dd[@]}" --zone 17 --xmin 747000 --xmax 783270 --ymin 4013000 --ymax 4043960 --out o.tif
} > "$work/fingerprints"
if [ -z "$expected" ]; then
  cat "$work/fingerprints"
elif ! diff -u "$expected" "$work/fingerprints"; then
  echo "orvane-cli outputs differ from $expected" >&2
  exit 1
fi
