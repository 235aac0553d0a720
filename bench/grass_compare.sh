#!/usr/bin/env bash
# Circular-window statistics of orvane-cli against GRASS r.neighbors -c on the same 2000 x 2000
# DEM and radius: average, stddev, range, and orvane's percentile against GRASS's median
# quantile. Prints the wall times and the ratio GRASS / orvane (above 1: orvane is faster);
# orvane's time includes opening the DEM and writing the result. GRASS is installed with
# apt-get when missing.
#
# usage: bench/grass_compare.sh [orvane-cli path] [radius ...]     (default radii: 10 25)
set -euo pipefail

cli=${1:-build/src/cli/orvane-cli}
shift || true
radii=("$@")
[ ${#radii[@]} -eq 0 ] && radii=(10 25)
[ -x "$cli" ] || { echo "orvane-cli not found at $cli (build it first)" >&2; exit 1; }

if ! command -v grass >/dev/null 2>&1; then
  echo "GRASS not found: installing grass-core with apt-get" >&2
  apt-get install -y --no-install-recommends grass-core >&2
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Rolling hills with a little noise, unsigned 16-bit, as in bench/surface_bench.cpp.
python3 - "$work/hills_m2.raw" <<'PY'
import math, random, struct, sys
side = 2000
random.seed(11)
with open(sys.argv[1], "wb") as f:
    for l in range(side):
        row = [int(600 + 250 * math.sin(c * 0.006) * math.cos(l * 0.009)) + random.randint(-4, 4)
               for c in range(side)]
        f.write(struct.pack("<%dH" % side, *row))
PY
echo "2000 2000" > "$work/hills_m2.txt"

seconds() {  # wall time of a command, in seconds
  local start end
  start=$(date +%s.%N)
  "$@" >/dev/null 2>&1
  end=$(date +%s.%N)
  echo "$end - $start" | bc -l
}

cat > "$work/grass_run.sh" <<EOF2
set -e
r.in.bin input=$work/hills_m2.raw output=hills bytes=2 order=little rows=2000 cols=2000 \
  north=2000 south=0 east=2000 west=0 --quiet
g.region raster=hills --quiet
EOF2

# GRASS has no rank of the centre: its quantile (the median) is the nearest sort-based method.
methods=(average stddev range quantile)
stats=(1 3 4 6)
printf '%-11s %6s %10s %10s %8s\n' method radius grass_s orvane_s ratio
for radius in "${radii[@]}"; do
  size=$((2 * radius + 1))
  for k in 0 1 2 3; do
    method=${methods[$k]}
    extra=""
    [ "$method" = quantile ] && extra="quantile=0.5"
    cat > "$work/grass_one.sh" <<EOF2
set -e
bash $work/grass_run.sh
start=\$(date +%s.%N)
r.neighbors -c input=hills output=out method=$method size=$size $extra --quiet --overwrite
end=\$(date +%s.%N)
echo "\$end - \$start" | bc -l > $work/grass_time
EOF2
    grass --tmp-location XY --exec bash "$work/grass_one.sh" >/dev/null 2>&1
    grass_s=$(cat "$work/grass_time")
    orvane_s=$(seconds "$cli" circular --dem "$work/hills_m2.raw" --pixel 30 --stat "${stats[$k]}" \
      --radius "$radius" --quiet --out "$work/out.raw")
    ratio=$(echo "$grass_s / $orvane_s" | bc -l)
    printf '%-11s %6d %10.2f %10.2f %8.1f\n' "$method" "$radius" "$grass_s" "$orvane_s" "$ratio"
  done
done
