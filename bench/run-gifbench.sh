#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs the GIF benchmark: flipreel-cli side by side with ImageMagick, ffmpeg,
# gifski and ImageMagick + gifsicle on each workload, scale-long last (it is
# the long one). Tables go to $OUT/NAME.txt, numbers to $OUT/NAME.json.
#
# Usage: bench/run-gifbench.sh [WORKLOAD ...]   (default: all five)
# Environment: BUILD (build folder, default ./build), WORKLOADS (default
#   /tmp/workloads, made when missing), BENCH (the gifbench folder, default
#   /work/shared/bench), RUNS (counted runs per tool, default 1), OUT (default
#   /tmp/gifbench), GIFSKI (the gifski binary), FLIPREEL_ARGS (extra options).
set -euo pipefail

ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${BUILD:-$ROOT/build}
WORKLOADS=${WORKLOADS:-/tmp/workloads}
BENCH=${BENCH:-/work/shared/bench}
RUNS=${RUNS:-1}
OUT=${OUT:-/tmp/gifbench}
FLIPREEL_ARGS=${FLIPREEL_ARGS:-}
export GIFSKI=${GIFSKI:-$HOME/.cache/gifski/node_modules/gifski/bin/debian/gifski}

CLI=$BUILD/flipreel-cli
[ -x "$CLI" ] || { echo "no $CLI: build first (cmake --build build -j2)" >&2; exit 1; }
[ -x "$GIFSKI" ] || { echo "no gifski at $GIFSKI: npm install --prefix \"\$HOME/.cache/gifski\" gifski@1.7.1" >&2; exit 1; }

if [ $# -gt 0 ]; then NAMES=("$@"); else
  NAMES=(anim-testsrc anim-life anim-mandelbrot slideshow-mixed scale-long)
fi
mkdir -p "$OUT"
for name in "${NAMES[@]}"; do
  [ -f "$WORKLOADS/$name/workload.json" ] || "$BENCH/make-workloads.sh" "$WORKLOADS" "$name"
  echo "== $name"
  /usr/bin/python3 "$BENCH/gifbench.py" --workload "$WORKLOADS/$name" \
    --tool "flipreel=$CLI -q $FLIPREEL_ARGS -o {out} -s {w}x{h} -t {delay_ms} -l {loop} {inputs}" \
    --peers imagemagick,ffmpeg,gifski,im+gifsicle --runs "$RUNS" --json "$OUT/$name.json" \
    | tee "$OUT/$name.txt"
done
