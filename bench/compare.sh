#!/usr/bin/env bash
# bench/compare.sh: times zelmar-convert against ImageMagick, GraphicsMagick
# and libvips decoding and encoding the same 24-megapixel photo, in the same
# run, and checks CMP against PNG. Builds nothing: run
#   scripts/build.sh release zelmar-convert codec_bench
# first. ZELMAR_RUNS sets the runs per command (default 5; the median counts).
#
# Every figure is the wall time of a whole process, start-up included:
#   decode X = read photo.X and discard the pixels (ours: --info; ImageMagick
#              and GraphicsMagick: write to null:; vips: avg, which reads every pixel)
#   encode X = convert the common source photo.bmp to X (so it includes
#              reading that BMP, for every program alike)
# The "in-proc" column is our own --time figure for the load or save alone.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
tool=$root/build/release/src/convert/zelmar-convert
bench=$root/build/release/bench/codec_bench
runs=${ZELMAR_RUNS:-5}
im=/usr/bin/convert-im6.q16   # the convert on PATH may not be ImageMagick
gm=/usr/bin/gm
vips=/usr/bin/vips

for f in "$tool" "$bench"; do
  [ -x "$f" ] || { echo "compare.sh: $f is missing; run scripts/build.sh release zelmar-convert codec_bench" >&2; exit 1; }
done
for f in hyperfine python3 "$im" "$gm" "$vips"; do
  command -v "$f" >/dev/null || { echo "compare.sh: $f is missing; run scripts/install-deps.sh" >&2; exit 1; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Median milliseconds of a command, or "-" when it fails.
median_ms() {
  local json=$work/timing.json
  if hyperfine -N --style none --warmup 1 --runs "$runs" --export-json "$json" -- "$*" \
       >/dev/null 2>&1; then
    python3 -c 'import json,sys; print(round(json.load(open(sys.argv[1]))["results"][0]["median"]*1000))' "$json"
  else
    echo "-"
  fi
}

# Median of our own --time line for STEP (load or save).
inproc_ms() {
  local step=$1; shift
  local times=() t
  for ((i = 0; i < runs; i++)); do
    t=$("$tool" --time "$@" 2>&1 >/dev/null | sed -n "s/^$step: \([0-9.]*\) ms$/\1/p")
    [ -n "$t" ] || { echo "-"; return; }
    times+=("$t")
  done
  printf '%s\n' "${times[@]}" | sort -n | sed -n "$(((runs + 1) / 2))p" | xargs printf '%.0f\n'
}

# ratio OURS PEER...: ours / the fastest peer that succeeded.
ratio() {
  local ours=$1 best=""; shift
  for t in "$@"; do
    [ "$t" = "-" ] && continue
    if [ -z "$best" ] || [ "$t" -lt "$best" ]; then best=$t; fi
  done
  if [ "$ours" = "-" ] || [ -z "$best" ]; then echo "-"; else
    python3 -c "print(f'{$ours/$best:.2f}')"; fi
}

row() { printf '%-14s %8s %8s %8s %8s %8s %8s\n' "$@"; }

echo "Writing the 6000 x 4000 photo in each format with zelmar-convert..."
"$bench" --write-photo "$work/photo.ppm"
"$im" "$work/photo.ppm" -type TrueColor "BMP3:$work/source.bmp"
declare -A ext=([BMP]=bmp [PCX]=pcx [TIFF]=tif [JPEG]=jpg [Targa]=tga [CMP]=cmp)
formats=(BMP PCX TIFF JPEG Targa CMP)
for f in "${formats[@]}"; do
  "$tool" "$work/source.bmp" "$work/photo.${ext[$f]}" || echo "($f: its rows will show -)"
done

# Peer options matching what we write: TIFF LZW with a predictor, JPEG
# quality 75 with 4:2:0 sampling.
peer_encode() {  # TOOL FORMAT OUT
  local t=$1 f=$2 out=$3 src=$work/source.bmp
  case "$t:$f" in
    im:TIFF) echo "$im $src -compress lzw -define tiff:predictor=2 $out" ;;
    im:JPEG) echo "$im $src -quality 75 -sampling-factor 2x2 $out" ;;
    im:*) echo "$im $src $out" ;;
    gm:TIFF) echo "$gm convert $src -compress LZW -define tiff:predictor=2 $out" ;;
    gm:JPEG) echo "$gm convert $src -quality 75 -sampling-factor 2x2 $out" ;;
    gm:*) echo "$gm convert $src $out" ;;
    vips:TIFF) echo "$vips tiffsave $src $out --compression lzw --predictor horizontal" ;;
    vips:JPEG) echo "$vips jpegsave $src $out --Q 75" ;;
    vips:*) echo "$vips copy $src $out" ;;
  esac
}
peer_decode() {  # TOOL FILE
  case "$1" in
    im) echo "$im $2 null:" ;;
    gm) echo "$gm convert $2 null:" ;;
    vips) echo "$vips avg $2" ;;
  esac
}

echo
echo "Milliseconds, median of $runs runs (whole processes; in-proc = our --time)."
row operation ours in-proc magick gm vips "ours/best"
for f in "${formats[@]}"; do
  file=$work/photo.${ext[$f]}
  ours=$(median_ms "$tool --info $file")
  mine=$(inproc_ms load "$file" --format 5 "$work/sink.cmp")
  peers=()
  for t in im gm vips; do
    if [ "$f" = CMP ]; then peers+=("-"); else peers+=("$(median_ms "$(peer_decode $t "$file")")"); fi
  done
  row "decode $f" "$ours" "$mine" "${peers[@]}" "$(ratio "$ours" "${peers[@]}")"
done
for f in "${formats[@]}"; do
  out=$work/out.${ext[$f]}
  ours=$(median_ms "$tool $work/source.bmp $out")
  mine=$(inproc_ms save "$work/source.bmp" "$out")
  peers=()
  for t in im gm vips; do
    if [ "$f" = CMP ]; then peers+=("-"); else
      peers+=("$(median_ms "$(peer_encode $t "$f" "$work/peer.${ext[$f]}")")"); fi
  done
  row "encode $f" "$ours" "$mine" "${peers[@]}" "$(ratio "$ours" "${peers[@]}")"
done

echo
echo "CMP against PNG at default settings, written from the same BMP:"
cmp_size=$(stat -c %s "$work/photo.cmp")
cmp_ms=$(median_ms "$tool $work/source.bmp $work/out.cmp")
cmp_inproc=$(inproc_ms save "$work/source.bmp" "$work/out.cmp")
printf '%-22s %10s bytes %8s ms (in-proc %s ms)\n' "zelmar-convert CMP" "$cmp_size" "$cmp_ms" "$cmp_inproc"
best_png=""
for t in im gm vips; do
  png=$work/$t.png
  case $t in
    im) cmd="$im $work/source.bmp $png" ;;
    gm) cmd="$gm convert $work/source.bmp $png" ;;
    vips) cmd="$vips copy $work/source.bmp $png" ;;
  esac
  ms=$(median_ms "$cmd")
  size=$(stat -c %s "$png" 2>/dev/null || echo "-")
  printf '%-22s %10s bytes %8s ms  CMP/PNG size %s\n' "$t PNG" "$size" "$ms" \
    "$([ "$size" = "-" ] && echo - || python3 -c "print(f'{$cmp_size/$size:.2f}')")"
  if [ "$ms" != "-" ] && { [ -z "$best_png" ] || [ "$ms" -lt "$best_png" ]; }; then best_png=$ms; fi
done
if [ -n "$best_png" ] && [ "$cmp_ms" != "-" ]; then
  echo "fastest PNG writer / CMP writer: $(python3 -c "print(f'{$best_png/$cmp_ms:.1f}')") x (whole processes)"
fi

if [ -f "$here/compare_ops.sh" ]; then
  echo
  bash "$here/compare_ops.sh"
fi
