#!/usr/bin/env bash
# bench/compare.sh: zelmar-convert on the shared 24-megapixel photo, in the
# same run, against
#   - the floors of ../shared/bench, built here: tjcold (a one-shot TurboJPEG
#     load) and readcold (reading an uncompressed file into fresh memory and
#     copying it once), each on the very file we load;
#   - ImageMagick, GraphicsMagick and libvips decoding and encoding the same files.
# Builds nothing of ours: run
#   scripts/build.sh release zelmar-convert
# first. ZELMAR_RUNS sets the runs per command (default 5; the median counts);
# ZELMAR_SHARED names the folder holding photo-24mp.jpg, tjcold.c and readcold.c
# (default ../shared/bench beside the repository).
#
# Figures:
#   load      our own --time figure for the load alone, in a fresh process,
#             against the floor's own figure; runs alternate between the two.
#   decode X  the wall time of a whole process that reads photo.X and discards
#             the pixels (ours: --info; ImageMagick and GraphicsMagick: write to
#             null:; vips: avg, which reads every pixel). vips runs on one
#             thread (VIPS_CONCURRENCY=1), as we do for PNG.
#   encode X  converting the common source photo.bmp to X, whole processes.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
tool=$root/build/release/src/convert/zelmar-convert
shared=${ZELMAR_SHARED:-$root/../shared/bench}
runs=${ZELMAR_RUNS:-5}
im=/usr/bin/convert-im6.q16   # the convert on PATH may not be ImageMagick
gm=/usr/bin/gm
vips=/usr/bin/vips

[ -x "$tool" ] || { echo "compare.sh: $tool is missing; run scripts/build.sh release zelmar-convert" >&2; exit 1; }
for f in photo-24mp.jpg tjcold.c readcold.c; do
  [ -f "$shared/$f" ] || { echo "compare.sh: $shared/$f is missing (set ZELMAR_SHARED)" >&2; exit 1; }
done
for f in hyperfine python3 cc "$im" "$gm" "$vips"; do
  command -v "$f" >/dev/null || { echo "compare.sh: $f is missing; run scripts/install-deps.sh" >&2; exit 1; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cc -O2 "$shared/tjcold.c" -o "$work/tjcold" -lturbojpeg
cc -O2 "$shared/readcold.c" -o "$work/readcold"

median() { sort -n | sed -n "$(((runs + 1) / 2))p" | xargs printf '%.1f\n'; }

# Median milliseconds of a whole command, or "-" when it fails.
median_ms() {
  local json=$work/timing.json
  if hyperfine -N --style none --warmup 1 --runs "$runs" --export-json "$json" -- "$*" \
       >/dev/null 2>&1; then
    python3 -c 'import json,sys; print(round(json.load(open(sys.argv[1]))["results"][0]["median"]*1000))' "$json"
  else
    echo "-"
  fi
}

# Median of our own --time line for STEP (load or save) over a run of the tool.
inproc_ms() {
  local step=$1; shift
  local t
  for ((i = 0; i < runs; i++)); do
    t=$("$tool" --time "$@" 2>&1 >/dev/null | sed -n "s/^$step: \([0-9.]*\) ms$/\1/p")
    [ -n "$t" ] || { echo "-"; return; }
    echo "$t"
  done | median
}

# floor_and_ours FLOOR FILE: medians of the floor program's figure and of our
# load of FILE, their runs alternating so that both meet the same load.
floor_and_ours() {
  local floor=$1 file=$2 f o fs=() os=()
  "$floor" "$file" >/dev/null || true  # the file in the page cache for both
  for ((i = 0; i < runs; i++)); do
    f=$("$floor" "$file" | sed -n 's/^cold [a-z]*: \([0-9.]*\) ms$/\1/p')
    o=$("$tool" --time "$file" --format 5 "$work/sink.cmp" 2>&1 >/dev/null |
        sed -n 's/^load: \([0-9.]*\) ms$/\1/p')
    fs+=("${f:-0}"); os+=("${o:-0}")
  done
  echo "$(printf '%s\n' "${fs[@]}" | median) $(printf '%s\n' "${os[@]}" | median)"
}

ratio() { python3 -c "import sys; a,b=sys.argv[1:]; print('-' if '-' in (a,b) else f'{float(a)/float(b):.2f}')" "$1" "$2"; }
met() { python3 -c "import sys; r,g=sys.argv[1:]; print('-' if r=='-' else ('yes' if float(r)<=float(g) else 'NO'))" "$1" "$2"; }

# best OURS PEER...: the fastest peer that succeeded, or "-".
best() {
  local b="" t
  for t in "$@"; do
    [ "$t" = "-" ] && continue
    if [ -z "$b" ] || [ "$t" -lt "$b" ]; then b=$t; fi
  done
  echo "${b:--}"
}

echo "Making the files from $shared/photo-24mp.jpg (the slow encoders take a minute)..."
cp "$shared/photo-24mp.jpg" "$work/photo.jpg"
"$tool" "$work/photo.jpg" "$work/source.bmp"
cp "$work/source.bmp" "$work/photo.bmp"
declare -A ext=([BMP]=bmp [PCX]=pcx [TIFF]=tif [JPEG]=jpg [Targa]=tga [CMP]=cmp [PNG]=png
                [GIF]=gif [WebP]=webp [HEIC]=heic [AVIF]=avif)
for f in PCX TIFF Targa CMP PNG; do
  "$tool" "$work/source.bmp" "$work/photo.${ext[$f]}" || echo "($f: its rows will show -)"
done
"$vips" tiffsave "$work/source.bmp" "$work/plain.tif" --compression none  # uncompressed strips
"$im" "$work/source.bmp" "$work/photo.gif"
"$im" "$work/source.bmp" -quality 75 "$work/photo.webp"
"$vips" heifsave "$work/source.bmp" "$work/photo.heic" --Q 50 --compression hevc 2>/dev/null
"$vips" heifsave "$work/source.bmp" "$work/photo.avif" --Q 50 --compression av1 --effort 0 2>/dev/null

echo
echo "Loads in a fresh process against the floors, ms, median of $runs (zelmar-convert --time)."
printf '%-16s %9s %9s %7s %6s %5s\n' load floor ours ratio goal met
load_row() {  # NAME FLOOR FILE GOAL
  read -r fl ours < <(floor_and_ours "$2" "$3")
  r=$(ratio "$ours" "$fl")
  printf '%-16s %9s %9s %7s %6s %5s\n' "$1" "$fl" "$ours" "$r" "$4" "$(met "$r" "$4")"
}
load_row "JPEG / tjcold" "$work/tjcold" "$work/photo.jpg" 1.10
load_row "BMP / readcold" "$work/readcold" "$work/photo.bmp" 2.00
load_row "Targa / readcold" "$work/readcold" "$work/photo.tga" 2.00
load_row "TIFF / readcold" "$work/readcold" "$work/plain.tif" 2.00

peer_decode() {  # TOOL FILE
  case "$1" in
    im) echo "$im $2 null:" ;;
    gm) echo "$gm convert $2 null:" ;;
    vips) echo "env VIPS_CONCURRENCY=1 $vips avg $2" ;;
  esac
}
# The floor beside the peers: the median cold load of the same file by the
# floor program that applies, or "-".
floor_of() {
  local program
  case "$1" in
    JPEG) program=$work/tjcold ;;
    BMP | Targa) program=$work/readcold ;;
    *) echo "-"; return ;;
  esac
  for ((i = 0; i < runs; i++)); do
    "$program" "$2" | sed -n 's/^cold [a-z]*: \([0-9.]*\) ms$/\1/p'
  done | median
}
# The peer each new format must beat (ours / that peer <= 1).
declare -A goal_peer=([PNG]=vips [GIF]=im [WebP]=im [HEIC]=im)

row() { printf '%-12s %7s %8s %7s %8s %8s %8s %9s %8s\n' "$@"; }
echo
echo "Decoding and encoding, ms, median of $runs (whole processes; in-proc = our --time)."
row operation ours in-proc floor magick gm vips ours/best goal
for f in BMP PCX TIFF JPEG Targa CMP PNG GIF WebP HEIC AVIF; do
  file=$work/photo.${ext[$f]}
  ours=$(median_ms "$tool --info $file")
  mine=$(inproc_ms load "$file" --format 5 "$work/sink.cmp")
  fl=$(floor_of "$f" "$file")
  declare -A p=()
  for t in im gm vips; do
    if [ "$f" = CMP ]; then p[$t]="-"; else p[$t]=$(median_ms "$(peer_decode $t "$file")"); fi
  done
  goal="-"
  if [ -n "${goal_peer[$f]:-}" ]; then
    g=$(ratio "$ours" "${p[${goal_peer[$f]}]}")
    goal="$g/${goal_peer[$f]}:$(met "$g" 1.00)"
  fi
  row "decode $f" "$ours" "$mine" "${fl:--}" "${p[im]}" "${p[gm]}" "${p[vips]}" \
    "$(ratio "$ours" "$(best "${p[im]}" "${p[gm]}" "${p[vips]}")")" "$goal"
  unset p
done

# Peer options matching what we write: TIFF LZW with a predictor, JPEG
# quality 75 with 4:2:0 sampling, PNG at the peer's defaults.
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
for f in BMP PCX TIFF JPEG Targa CMP PNG; do
  out=$work/out.${ext[$f]}
  ours=$(median_ms "$tool $work/source.bmp $out")
  mine=$(inproc_ms save "$work/source.bmp" "$out")
  peers=()
  for t in im gm vips; do
    if [ "$f" = CMP ]; then peers+=("-"); else
      peers+=("$(median_ms "$(peer_encode $t "$f" "$work/peer.${ext[$f]}")")"); fi
  done
  row "encode $f" "$ours" "$mine" "-" "${peers[@]}" "$(ratio "$ours" "$(best "${peers[@]}")")" "-"
done

echo
echo "CMP against PNG, written from the same BMP:"
cmp_size=$(stat -c %s "$work/photo.cmp")
cmp_ms=$(median_ms "$tool $work/source.bmp $work/out.cmp")
printf '%-22s %10s bytes %8s ms\n' "zelmar-convert CMP" "$cmp_size" "$cmp_ms"
for t in ours im gm vips; do
  png=$work/$t.png
  case $t in
    ours) cmd="$tool $work/source.bmp $png" ;;
    im) cmd="$im $work/source.bmp $png" ;;
    gm) cmd="$gm convert $work/source.bmp $png" ;;
    vips) cmd="$vips copy $work/source.bmp $png" ;;
  esac
  ms=$(median_ms "$cmd")
  size=$(stat -c %s "$png" 2>/dev/null || echo "-")
  printf '%-22s %10s bytes %8s ms  CMP/PNG size %s\n' "$t PNG" "$size" "$ms" \
    "$([ "$size" = "-" ] && echo - || python3 -c "print(f'{$cmp_size/$size:.2f}')")"
done

if [ -f "$here/compare_ops.sh" ] && [ -z "${ZELMAR_CODECS_ONLY:-}" ]; then
  echo
  bash "$here/compare_ops.sh"
fi
