#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs the GIF benchmark: flipreel-cli side by side with ImageMagick, ffmpeg,
# gifski, ImageMagick + gifsicle and ImageMagick + gifski on each workload,
# scale-long last (it is the long one). Tables go to $OUT/NAME.txt, numbers
# to $OUT/NAME.json. Installs the peers (Debian packages, gifski from npm)
# when they are missing.
#
# Usage: bench/run-gifbench.sh [WORKLOAD ...]   (default: all seven; sprites-sky on request)
# Environment: BUILD (build folder, default ./build), WORKLOADS (default
#   /tmp/workloads, made when missing), BENCH (the gifbench folder, default
#   ../shared/bench beside the repository), RUNS (counted runs per tool,
#   default 1), OUT (default /tmp/gifbench), GIFSKI (the gifski binary),
#   FLIPREEL_ARGS (extra options), CLI (another flipreel-cli to measure),
#   PEERS (the peers to run, comma separated; none runs flipreel alone).
set -euo pipefail

ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${BUILD:-$ROOT/build}
WORKLOADS=${WORKLOADS:-/tmp/workloads}
BENCH=${BENCH:-$ROOT/../shared/bench}
RUNS=${RUNS:-1}
OUT=${OUT:-/tmp/gifbench}
FLIPREEL_ARGS=${FLIPREEL_ARGS:-}
PEERS=${PEERS:-imagemagick,ffmpeg,gifski,im+gifsicle,im+gifski}
export GIFSKI=${GIFSKI:-$HOME/.cache/gifski/node_modules/gifski/bin/debian/gifski}

need=()
for tool in convert:imagemagick gifsicle:gifsicle ffmpeg:ffmpeg; do
  command -v "${tool%%:*}" >/dev/null || need+=("${tool#*:}")
done
/usr/bin/python3 -c 'import skimage, PIL, numpy' 2>/dev/null || need+=(python3-skimage python3-pil python3-numpy)
if [ "${#need[@]}" -gt 0 ]; then apt-get install -y -qq "${need[@]}" >/dev/null; fi
[ -x "$GIFSKI" ] || npm install --prefix "$HOME/.cache/gifski" gifski@1.7.1 >/dev/null

CLI=${CLI:-$BUILD/flipreel-cli}
[ -x "$CLI" ] || { echo "no $CLI: build first (cmake --build build -j2)" >&2; exit 1; }
[ -x "$GIFSKI" ] || { echo "no gifski at $GIFSKI" >&2; exit 1; }

if [ $# -gt 0 ]; then NAMES=("$@"); else
  NAMES=(pixel-sprite photo-slideshow anim-testsrc anim-life anim-mandelbrot slideshow-mixed scale-long)
fi
mkdir -p "$OUT"
for name in "${NAMES[@]}"; do
  if [ ! -f "$WORKLOADS/$name/workload.json" ]; then
    case $name in
      pixel-sprite | photo-slideshow | sprites-sky) "$ROOT/bench/make-workloads.sh" "$WORKLOADS" "$name" ;;
      *) "$BENCH/make-workloads.sh" "$WORKLOADS" "$name" ;;
    esac
  fi
  echo "== $name"
  /usr/bin/python3 "$BENCH/gifbench.py" --workload "$WORKLOADS/$name" \
    --tool "flipreel=$CLI -q $FLIPREEL_ARGS -o {out} -s {w}x{h} -t {delay_ms} -l {loop} {inputs}" \
    --peers "$PEERS" --runs "$RUNS" --json "$OUT/$name.json" \
    | tee "$OUT/$name.txt"
done
