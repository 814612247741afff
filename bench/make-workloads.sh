#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Makes the workloads that ../shared/bench/make-workloads.sh lacks: real
# photographs and a tiny pixel-art animation. Nothing is shipped: the sprite
# is drawn here, the photographs come from Debian packages.
#
# Usage: bench/make-workloads.sh OUTDIR [WORKLOAD ...]
#   WORKLOAD: pixel-sprite photo-slideshow sprites-sky wood-pan screen-xterm (default: all).
#   Each becomes OUTDIR/NAME/ with its pictures and the workload.json that gifbench.py reads.
# Needs: ImageMagick 6 `convert`; photo-slideshow also the photographs that
#   python3-skimage ships; sprites-sky also pingus-data and python3-pil; wood-pan
#   gnome-backgrounds; screen-xterm xvfb, xterm, x11-apps (xclock) and ffmpeg.
set -euo pipefail

if [ $# -lt 1 ]; then
  sed -n '2,11p' "$0" >&2
  exit 2
fi
OUT=$1
shift
if [ $# -gt 0 ]; then WANT=("$@"); else WANT=(pixel-sprite photo-slideshow sprites-sky wood-pan screen-xterm); fi

# write_json DIR W H PLAY_MS LOOP FILE...
write_json() {
  local dir=$1 w=$2 h=$3 play=$4 loop=$5
  shift 5
  {
    printf '{\n  "frames": ['
    local sep=""
    for f in "$@"; do printf '%s"%s"' "$sep" "$f"; sep=", "; done
    printf '],\n  "width": %d,\n  "height": %d,\n  "play_time_ms": %d,\n  "loop": %d\n}\n' \
      "$w" "$h" "$play" "$loop"
  } >"$dir/workload.json"
}

# 24 frames of a 14 x 25 walker in 7 colours, scaled up to 28 x 50: every frame
# shares the same few colours, most pixels stay put.
sprite() {
  local dir=$1 files=()
  rm -rf "$dir"
  mkdir -p "$dir"
  for ((f = 0; f < 24; f++)); do
    awk -v f="$f" 'BEGIN {
      W = 14; H = 25
      split("96 160 224|40 120 40|250 220 170|200 40 40|30 30 120|20 20 20|255 240 80", C, "|")
      for (y = 0; y < H; y++) for (x = 0; x < W; x++) p[x, y] = (y >= 21) ? 2 : 1
      x0 = (f % 12) - 1; leg = int(f / 2) % 2
      for (y = 8; y <= 10; y++) for (x = x0 + 1; x <= x0 + 3; x++) p[x, y] = 3   # head
      p[x0 + 3, 9] = 6                                                         # eye
      for (y = 11; y <= 16; y++) for (x = x0; x <= x0 + 4; x++) p[x, y] = 4     # coat
      for (y = 17; y <= 20; y++) { p[x0 + 1 - leg, y] = 5; p[x0 + 3 + leg, y] = 5 }
      if (f % 6 < 3) { p[11, 2] = 7; p[10, 3] = 7; p[12, 3] = 7; p[11, 4] = 7 }  # twinkling star
      printf "P3\n%d %d\n255\n", W, H
      for (y = 0; y < H; y++) for (x = 0; x < W; x++) {
        if ((x, y) in p && p[x, y] >= 1) print C[p[x, y]]
      }
    }' >"$dir/tmp.ppm"
    local name
    name=$(printf 'f%02d.png' $((f + 1)))
    convert "$dir/tmp.ppm" "$dir/$name"
    files+=("$name")
  done
  rm -f "$dir/tmp.ppm"
  write_json "$dir" 28 50 100 0 "${files[@]}"
  echo "$dir: ${#files[@]} frames"
}

# photo SOURCE GEOMETRY OUTFILE: a crop of a photograph at a size of its own
photo() {
  convert "$1" -auto-orient -resize "$2^" -gravity center -extent "$2" -strip "${@:4}" "$3"
}

# 12 photographs in 9 formats, from 240 x 180 (scaled up) to 2400 x 1600
# (scaled down), shown at 640 x 480.
photos() {
  local dir=$1
  local sk
  sk=$(/usr/bin/python3 -c 'import skimage, os; print(os.path.join(os.path.dirname(skimage.__file__), "data"))')
  local -a src=(astronaut.png coffee.png chelsea.png rocket.jpg motorcycle_left.png hubble_deep_field.jpg
                ihc.png retina.jpg)
  for ((i = 0; i < ${#src[@]}; i++)); do
    src[$i]=$sk/${src[$i]}
    [ -f "${src[$i]}" ] || { echo "missing photograph ${src[$i]}: apt-get install python3-skimage" >&2; exit 1; }
  done
  rm -rf "$dir"
  mkdir -p "$dir"
  local geo=(2400x1600 800x600 240x180 1024x768 320x240 1920x1080 640x480 480x640 1600x1200 300x225 900x1200 2000x1500)
  local ext=(jpg png bmp tif tga ppm pcx sgi psd jpg png bmp)
  local files=()
  for ((i = 0; i < 12; i++)); do
    local name
    name=$(printf 'p%02d.%s' $((i + 1)) "${ext[$i]}")
    local extra=()
    [ "${ext[$i]}" = tga ] && extra=(-orient TopLeft)
    [ "${ext[$i]}" = tif ] && extra=(-compress lzw)
    photo "${src[$((i % ${#src[@]}))]}" "${geo[$i]}" "$dir/$name" "${extra[@]}"
    files+=("$name")
  done
  write_json "$dir" 640 480 1000 0 "${files[@]}"
  echo "$dir: 12 pictures"
}

# 48 frames of 640 x 400: three walking sprites (pingus-data's walker, scaled
# up) over a photograph with a large sky (python3-skimage's rocket.jpg), still
# but for the sprites: too many pixels for one palette of the whole animation.
sky() {
  local dir=$1
  local walker=/usr/share/games/pingus/data/images/pingus/player0/walker.png
  [ -f "$walker" ] || { echo "missing $walker: apt-get install pingus-data" >&2; exit 1; }
  rm -rf "$dir"
  mkdir -p "$dir"
  (cd "$dir" && /usr/bin/python3 - "$walker" <<'PY'
import json, os, sys
import skimage
from PIL import Image
bg = Image.open(os.path.join(os.path.dirname(skimage.__file__), "data", "rocket.jpg")).convert("RGB").crop((0, 0, 640, 400))
# The photograph's colour profile is left out: gifbench compares with the
# pixels as stored, which only a colour-managed maker would convert.
bg.info.pop("icc_profile", None)
sheet = Image.open(sys.argv[1]).convert("RGBA")
fw = sheet.width // 8
walk = [[sheet.crop((i * fw, r * 32, (i + 1) * fw, (r + 1) * 32)).resize((fw * 2, 64), Image.NEAREST) for i in range(8)]
        for r in range(2)]
names = []
for f in range(48):
    im = bg.copy()
    for x0, y, d in [(20, 320, 1), (560, 300, -1), (200, 250, 1)]:
        sprite = walk[0 if d > 0 else 1][f % 8]
        im.paste(sprite, (x0 + d * 6 * f, y), sprite)
    names.append(f"f{f + 1:04d}.png")
    im.save(names[-1])
json.dump({"frames": names, "width": 640, "height": 400, "play_time_ms": 80, "loop": 0}, open("workload.json", "w"),
          indent=1)
PY
  )
  echo "$dir: 48 frames"
}

# 60 frames of 480 x 320: a camera pan (5 right, 3 down per frame) across a
# wallpaper of gnome-backgrounds scaled to 1024 x 1024: every pixel changes.
pan() {
  local dir=$1
  local src=/usr/share/backgrounds/gnome/wood-d.webp
  [ -f "$src" ] || { echo "missing $src: apt-get install gnome-backgrounds" >&2; exit 1; }
  rm -rf "$dir"
  mkdir -p "$dir"
  (cd "$dir" && /usr/bin/python3 - "$src" <<'PY'
import json, sys
from PIL import Image
bg = Image.open(sys.argv[1]).convert("RGB").resize((1024, 1024), Image.LANCZOS)
names = []
for f in range(60):
    names.append(f"f{f + 1:04d}.png")
    bg.crop((40 + 5 * f, 60 + 3 * f, 520 + 5 * f, 380 + 3 * f)).save(names[-1])
json.dump({"frames": names, "width": 480, "height": 320, "play_time_ms": 50, "loop": 0}, open("workload.json", "w"),
          indent=1)
PY
  )
  echo "$dir: 60 frames"
}

# A screen recording: xterm listing /usr/share/doc line by line beside a
# ticking xclock, on a 640 x 400 Xvfb screen, grabbed by ffmpeg at 10 frames a
# second for 8 seconds (what the programs draw is theirs; timing varies a little
# from run to run).
screen() {
  local dir=$1
  for p in Xvfb xterm xclock ffmpeg; do
    command -v $p >/dev/null || { echo "missing $p: apt-get install xvfb xterm x11-apps ffmpeg" >&2; exit 1; }
  done
  rm -rf "$dir"
  mkdir -p "$dir"
  local d=:$((90 + RANDOM % 100))
  Xvfb "$d" -screen 0 640x400x24 -nolisten tcp >/dev/null 2>&1 &
  local xvfb=$!
  sleep 1
  DISPLAY=$d xclock -update 1 -geometry 150x150+480+10 >/dev/null 2>&1 &
  local clock=$!
  DISPLAY=$d xterm -geometry 76x26+0+0 -fa Monospace -fs 9 -e sh -c \
    'ls -l /usr/share/doc | while read -r l; do echo "$l"; sleep 0.02; done; sleep 30' >/dev/null 2>&1 &
  local term=$!
  sleep 2
  ffmpeg -loglevel error -f x11grab -framerate 10 -video_size 640x400 -i "$d" -t 8 "$dir/f%04d.png"
  kill $term $clock $xvfb 2>/dev/null || true
  wait $term $clock $xvfb 2>/dev/null || true
  local files=()
  for f in "$dir"/f*.png; do files+=("$(basename "$f")"); done
  write_json "$dir" 640 400 100 0 "${files[@]}"
  echo "$dir: ${#files[@]} frames"
}

mkdir -p "$OUT"
for w in "${WANT[@]}"; do
  case $w in
    pixel-sprite) sprite "$OUT/$w" ;;
    photo-slideshow) photos "$OUT/$w" ;;
    sprites-sky) sky "$OUT/$w" ;;
    wood-pan) pan "$OUT/$w" ;;
    screen-xterm) screen "$OUT/$w" ;;
    *) echo "unknown workload: $w" >&2; exit 2 ;;
  esac
done
