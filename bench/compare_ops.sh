#!/usr/bin/env bash
# bench/compare_ops.sh [RUNS]: our pixel operations against ImageMagick,
# GraphicsMagick, libvips and Pillow on the same 6000 × 4000 photo-like
# picture, in the same run. Prints, per operation, the median milliseconds of
# each program, and ours / the fastest peer's. Then the PSNR of our 256, 16 and
# 2 colour reductions against ImageMagick's.
#
# How each is timed (medians of RUNS runs, default 5):
#   ours      build/release/bench/ops_bench, the operation alone in-process.
#   Pillow    a Python script timing the call alone, picture already loaded.
#   ImageMagick, GraphicsMagick, vips: their command-line tools cannot time an
#             operation alone, so each run is timed whole and the median of a
#             run that only loads the picture (and, for vips, writes it back)
#             is subtracted. Their figures include any per-call setup. vips
#             streams, so its baseline copies the picture in its own format to
#             memory-backed files; an operation cheaper than that noise shows as
#             ~0 and is left out of "fastest".
# Needs: scripts/build.sh release ops_bench; convert-im6.q16, compare-im6.q16,
# gm, vips, /usr/bin/python3 with PIL.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
runs=${1:-5}
bench="$root/build/release/bench/ops_bench"
[ -x "$bench" ] || { echo "build it first: scripts/build.sh release ops_bench" >&2; exit 1; }
IM=/usr/bin/convert-im6.q16
COMPARE=/usr/bin/compare-im6.q16
PY=/usr/bin/python3
work=$(mktemp -d -p "$([ -d /dev/shm ] && echo /dev/shm || echo /tmp)")
trap 'rm -rf "$work"' EXIT

"$bench" --write-photo "$work/photo.ppm"
$IM "$work/photo.ppm" "$work/photo.mpc"          # ImageMagick's own format loads at once
vips copy "$work/photo.ppm" "$work/photo.v"      # so does vips's
printf 'P2\n2 1\n255\n0 255\n' > "$work/bw.pgm"  # the two colours of black and white

# median_ms CMD...: the median wall time of RUNS runs of a command, in ms.
median_ms() {
  local t=()
  for ((i = 0; i < runs; i++)); do
    local s e
    s=$(date +%s%N)
    "$@" > /dev/null 2>&1
    e=$(date +%s%N)
    t+=($(((e - s) / 1000)))
  done
  printf '%s\n' "${t[@]}" | sort -n | awk '{a[NR]=$1} END {printf "%.1f", a[int((NR+1)/2)]/1000}'
}
# net CMD...: median of CMD less the load-only baseline $base.
net() { awk -v a="$(median_ms "$@")" -v b="$base" 'BEGIN {v=a-b; if (v<0.5) print "~0"; else printf "%.1f", v}'; }

ops=(invert mirror flip gray rotate3333 resizeHalf resizeFit colors256 colors16 colors2 emboss edges enhance saturation)
declare -A ours im gm vi pil

# Ours: Google Benchmark's median over RUNS repetitions.
json=$("$bench" --benchmark_repetitions="$runs" --benchmark_format=json \
  --benchmark_filter="^($(IFS='|'; echo "${ops[*]}"))/")
while read -r name ms; do ours[$name]=$ms; done < <(
  $PY -c 'import json,sys
runs = json.load(sys.stdin)["benchmarks"]
medians = [b for b in runs if b.get("aggregate_name") == "median"] or runs
for b in medians:
    print(b["run_name"].split("/")[0], "%.1f" % b["real_time"])' <<< "$json")

# ImageMagick, reading its own format and writing nothing.
P="$work/photo.mpc"
base=$(median_ms $IM "$P" null:)
im[invert]=$(net $IM "$P" -negate null:)
im[mirror]=$(net $IM "$P" -flop null:)
im[flip]=$(net $IM "$P" -flip null:)
im[gray]=$(net $IM "$P" -colorspace Gray null:)
im[rotate3333]=$(net $IM "$P" -interpolate bilinear -background '#404040' -rotate 33.33 null:)
im[resizeHalf]=$(net $IM "$P" -resize 3000x2000 null:)
im[resizeFit]=$(net $IM "$P" -resize 1280x800 null:)
im[colors256]=$(net $IM "$P" -dither FloydSteinberg -colors 256 null:)
im[colors16]=$(net $IM "$P" -dither FloydSteinberg -colors 16 null:)
im[colors2]=$(net $IM "$P" -colorspace Gray -dither FloydSteinberg -remap "$work/bw.pgm" null:)
im[emboss]=$(net $IM "$P" -emboss 1 null:)
im[edges]=$(net $IM "$P" -edge 1 null:)
im[enhance]=$(net $IM "$P" -sharpen 0x1 null:)
im[saturation]=$(net $IM "$P" -modulate 100,150 null:)

# GraphicsMagick, reading the PPM and writing nothing.
P="$work/photo.ppm"
base=$(median_ms gm convert "$P" null:)
gm[invert]=$(net gm convert "$P" -negate null:)
gm[mirror]=$(net gm convert "$P" -flop null:)
gm[flip]=$(net gm convert "$P" -flip null:)
gm[gray]=$(net gm convert "$P" -colorspace Gray null:)
gm[rotate3333]=$(net gm convert "$P" -background '#404040' -rotate 33.33 null:)
gm[resizeHalf]=$(net gm convert "$P" -resize 3000x2000 null:)
gm[resizeFit]=$(net gm convert "$P" -resize 1280x800 null:)
gm[colors256]=$(net gm convert "$P" -dither -colors 256 null:)
gm[colors16]=$(net gm convert "$P" -dither -colors 16 null:)
gm[colors2]=$(net gm convert "$P" -dither -monochrome null:)
gm[emboss]=$(net gm convert "$P" -emboss 1 null:)
gm[edges]=$(net gm convert "$P" -edge 1 null:)
gm[enhance]=$(net gm convert "$P" -sharpen 0x1 null:)
gm[saturation]=$(net gm convert "$P" -modulate 100,150 null:)

# vips streams, so load, operation and save cannot be parted: the baseline
# copies its own format to its own format.
P="$work/photo.v"; O="$work/out.v"
base=$(median_ms vips copy "$P" "$O")
printf '3 3 1 128\n-1 -1 0\n-1 0 1\n0 1 1\n' > "$work/emboss.mat"
printf '3 3 1 0\n-1 -1 -1\n-1 8 -1\n-1 -1 -1\n' > "$work/edges.mat"
vi[invert]=$(net vips invert "$P" "$O")
vi[mirror]=$(net vips flip "$P" "$O" horizontal)
vi[flip]=$(net vips flip "$P" "$O" vertical)
vi[gray]=$(net vips colourspace "$P" "$O" b-w)
vi[rotate3333]=$(net vips rotate "$P" "$O" 33.33 --interpolate bilinear --background "64 64 64")
vi[resizeHalf]=$(net vips resize "$P" "$O" 0.5)
vi[resizeFit]=$(net vips resize "$P" "$O" 0.2)
vi[emboss]=$(net vips conv "$P" "$O" "$work/emboss.mat" --precision integer)
vi[edges]=$(net vips conv "$P" "$O" "$work/edges.mat" --precision integer)
vi[enhance]=$(net vips sharpen "$P" "$O")
for op in colors256 colors16 colors2 saturation; do vi[$op]=-; done

# Pillow, timing the call alone inside the process.
while read -r name ms; do pil[$name]=$ms; done < <($PY - "$work/photo.ppm" "$runs" <<'PY'
import statistics, sys, time
from PIL import Image, ImageEnhance, ImageFilter, ImageOps
img = Image.open(sys.argv[1]); img.load()
runs = int(sys.argv[2])
T = Image.Transpose
ops = {
    "invert": lambda: ImageOps.invert(img),
    "mirror": lambda: img.transpose(T.FLIP_LEFT_RIGHT),
    "flip": lambda: img.transpose(T.FLIP_TOP_BOTTOM),
    "gray": lambda: img.convert("L"),
    "rotate3333": lambda: img.rotate(-33.33, Image.Resampling.BILINEAR, expand=True, fillcolor=(64, 64, 64)),
    "resizeHalf": lambda: img.resize((3000, 2000), Image.Resampling.BOX),
    "resizeFit": lambda: img.resize((1200, 800), Image.Resampling.BOX),
    "colors256": lambda: img.quantize(256, Image.Quantize.FASTOCTREE, dither=Image.Dither.FLOYDSTEINBERG),
    "colors16": lambda: img.quantize(16, Image.Quantize.FASTOCTREE, dither=Image.Dither.FLOYDSTEINBERG),
    "colors2": lambda: img.convert("1", dither=Image.Dither.FLOYDSTEINBERG),
    "emboss": lambda: img.filter(ImageFilter.EMBOSS),
    "edges": lambda: img.filter(ImageFilter.FIND_EDGES),
    "enhance": lambda: img.filter(ImageFilter.EDGE_ENHANCE),
    "saturation": lambda: ImageEnhance.Color(img).enhance(1.5),
}
for name, op in ops.items():
    t = []
    for _ in range(runs):
        s = time.perf_counter(); op(); t.append((time.perf_counter() - s) * 1000)
    print(name, "%.1f" % statistics.median(t))
PY
)

printf '%-12s %9s %9s %9s %9s %9s %12s\n' operation ours IM GM vips Pillow ours/fastest
for op in "${ops[@]}"; do
  best=$(printf '%s\n' "${im[$op]}" "${gm[$op]}" "${vi[$op]}" "${pil[$op]}" | grep -v -e '^-$' -e '^~0$' |
    awk 'NR==1 || $1<m {m=$1} END {print m}')
  ratio=$(awk -v a="${ours[$op]:-nan}" -v b="$best" 'BEGIN {if (b>0) printf "%.2f", a/b; else print "-"}')
  printf '%-12s %9s %9s %9s %9s %9s %12s\n' "$op" "${ours[$op]:--}" "${im[$op]}" "${gm[$op]}" \
    "${vi[$op]}" "${pil[$op]}" "$ratio"
done

# Quality of the colour reductions: PSNR against the photo (its greys for
# black and white), ours and ImageMagick's.
# compare exits 1 when the pictures differ, which they do.
psnr() { { $COMPARE -metric PSNR "$1" "$2" null: 2>&1 || true; } | awk '{print $1}'; }
$IM "$work/photo.ppm" -colorspace Gray "$work/gray.pgm"
echo
printf '%-8s %10s %10s %10s\n' colours ours_dB IM_dB ours-IM
for n in 256 16 2; do
  "$bench" --write-colors "$n" "$work/ours.pnm"
  if [ "$n" = 2 ]; then
    ref="$work/gray.pgm"
    $IM "$work/photo.ppm" -colorspace Gray -dither FloydSteinberg -remap "$work/bw.pgm" "$work/im.pgm"
    theirs="$work/im.pgm"
  else
    ref="$work/photo.ppm"
    $IM "$ref" -dither FloydSteinberg -colors "$n" "$work/im.ppm"
    theirs="$work/im.ppm"
  fi
  a=$(psnr "$work/ours.pnm" "$ref"); b=$(psnr "$theirs" "$ref")
  printf '%-8s %10s %10s %10s\n' "$n" "$a" "$b" "$(awk -v a="$a" -v b="$b" 'BEGIN {printf "%+.2f", a-b}')"
done
