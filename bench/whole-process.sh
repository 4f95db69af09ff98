#!/usr/bin/env bash
# Whole process: read a 24-megapixel JPEG, tone it, write a JPEG. monx in its
# default mode (colour to grey by luminance, then toned), with --fast-jpeg, and
# with --per-channel (one curve per colour channel); then, when they are
# installed, general image tools applying the same per-channel curves: vips,
# OpenCV, GraphicsMagick, ImageMagick (not project dependencies; for measuring
# only: libvips-tools python3-opencv graphicsmagick imagemagick hyperfine).
# Usage: bench/whole-process.sh [workdir]   (RUNS=10 rounds by default)
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
monx="$root/build/release/tools/monx/monx"
work="${1:-/tmp/monx-bench}"
runs="${RUNS:-10}"
mkdir -p "$work"
cd "$work"
have() { command -v "$1" >/dev/null 2>&1; }

# The photographs, 6000 x 4000, JPEG quality 90, 4:2:0, written by monx itself
# (--per-channel with the neutral preset leaves every byte as it is): the coffee
# sample with each pixel repeated 10 x 10 times (smooth at a distance), and the
# sample repeated 10 x 10 times (full detail everywhere, like a camera's file).
if [ ! -f photo-24mp.jpg ] || [ ! -f detail-24mp.jpg ]; then
  python3 "$root/bench/make-photos.py" "$root/examples/photos/coffee.png" big.png tiled.png
  "$monx" --per-channel -q 90 big.png photo-24mp.jpg
  "$monx" --per-channel -q 90 tiled.png detail-24mp.jpg
  rm -f big.png tiled.png
fi

# monx's sepia curves as a 256-entry table (the ramp toned per channel), for the other tools.
python3 - <<'PY'
import struct, zlib
row = b"\0" + bytes(v for v in range(256) for _ in range(3))
chunk = lambda k, b: struct.pack(">I", len(b)) + k + b + struct.pack(">I", zlib.crc32(k + b))
open("ramp.png", "wb").write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", 256, 1, 8, 2, 0, 0, 0))
                             + chunk(b"IDAT", zlib.compress(row)) + chunk(b"IEND", b""))
PY
"$monx" --per-channel --preset sepia ramp.png lut.png

for photo in ${PHOTOS:-photo-24mp.jpg detail-24mp.jpg}; do
  echo "== $photo ($(du -h "$photo" | cut -f1)), load average: $(cut -d' ' -f1-3 /proc/loadavg)"
  commands=(
    "monx=$monx --preset sepia -q 90 $photo out-monx.jpg"
    "monx --fast-jpeg=$monx --fast-jpeg --preset sepia -q 90 $photo out-monx-fast.jpg"
    "monx --per-channel=$monx --per-channel --preset sepia -q 90 $photo out-monx-channels.jpg"
  )
  if have vips; then
    vips copy lut.png lut.v
    commands+=("vips maplut=vips maplut $photo 'out-vips.jpg[Q=90,subsample-mode=on]' lut.v")
  fi
  if python3 -c "import cv2" 2>/dev/null; then
    cat > opencv-lut.py <<'PY'
import sys, cv2
image = cv2.imread(sys.argv[1])
lut = cv2.imread("lut.png").reshape(1, 256, 3)
cv2.imwrite(sys.argv[2], cv2.LUT(image, lut), [cv2.IMWRITE_JPEG_QUALITY, 90])
PY
    commands+=("OpenCV LUT=python3 opencv-lut.py $photo out-opencv.jpg")
  fi
  have gm && commands+=("gm -gamma=gm convert $photo -gamma 1.2 -quality 90 -sampling-factor 2x2 out-gm.jpg")
  [ -x /usr/bin/convert ] && commands+=("convert -clut=/usr/bin/convert $photo lut.png -clut -quality 90 -sampling-factor 2x2 out-im.jpg")

  if have hyperfine; then
    args=()
    for c in "${commands[@]}"; do args+=(-n "${c%%=*}" "${c#*=}"); done
    hyperfine --warmup 2 --runs "$runs" --export-markdown "results-${photo%.jpg}.md" "${args[@]}"
  fi
  # The commands taken in turn, round by round, with processor time.
  "$root/bench/interleaved.py" "$runs" "${commands[@]}" | tee "interleaved-${photo%.jpg}.md"
done
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
