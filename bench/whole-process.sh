#!/usr/bin/env bash
# Whole-process comparison: read a 24-megapixel JPEG, apply one toning curve per
# channel, write a JPEG; monx against vips, OpenCV, GraphicsMagick and ImageMagick.
# Needs (installed by hand, for measuring only): libvips-tools python3-opencv
# graphicsmagick imagemagick hyperfine. Usage: bench/whole-process.sh [workdir]
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
monx="$root/build/release/tools/monx/monx"
work="${1:-/tmp/monx-bench}"
mkdir -p "$work"
cd "$work"

# The photographs, 6000 x 4000, JPEG quality 90, 4:2:0: the coffee sample upscaled
# 10 times (smooth, as the comparison asks), and the same sample repeated 10 x 10
# times (full detail everywhere, closer to a camera's file size).
if [ ! -f photo-24mp.jpg ]; then
  vips resize "$root/examples/photos/coffee.png" big.v 10
  vips copy big.v 'photo-24mp.jpg[Q=90,subsample-mode=on]'
  rm -f big.v
fi
if [ ! -f detail-24mp.jpg ]; then
  vips replicate "$root/examples/photos/coffee.png" big.v 10 10
  vips copy big.v 'detail-24mp.jpg[Q=90,subsample-mode=on]'
  rm -f big.v
fi

# The same curves for every program: monx's sepia preset applied to a 256-entry ramp.
/usr/bin/python3 - <<'PY'
import numpy as np, cv2
ramp = np.repeat(np.arange(256, dtype=np.uint8).reshape(1, 256, 1), 3, axis=2)
cv2.imwrite("ramp.png", ramp)
PY
"$monx" --keep-colour --preset sepia ramp.png lut.png
vips copy lut.png lut.v

cat > opencv-lut.py <<'PY'
import sys, cv2
image = cv2.imread(sys.argv[1])
lut = cv2.imread("lut.png").reshape(1, 256, 3)
cv2.imwrite(sys.argv[2], cv2.LUT(image, lut), [cv2.IMWRITE_JPEG_QUALITY, 90])
PY

for photo in ${PHOTOS:-photo-24mp.jpg detail-24mp.jpg}; do
  echo "== $photo ($(du -h "$photo" | cut -f1))"
  hyperfine --warmup 2 --runs "${RUNS:-10}" --export-markdown "results-${photo%.jpg}.md" \
    -n monx "$monx --keep-colour --preset sepia -q 90 $photo out-monx.jpg" \
    -n "monx --fast-jpeg" "$monx --keep-colour --fast-jpeg --preset sepia -q 90 $photo out-monx-fast.jpg" \
    -n "vips maplut" "vips maplut $photo 'out-vips.jpg[Q=90,subsample-mode=on]' lut.v" \
    -n "OpenCV LUT" "/usr/bin/python3 opencv-lut.py $photo out-opencv.jpg" \
    -n "gm -gamma" "gm convert $photo -gamma 1.2 -quality 90 -sampling-factor 2x2 out-gm.jpg" \
    -n "convert -clut" "/usr/bin/convert $photo lut.png -clut -quality 90 -sampling-factor 2x2 out-im.jpg"

  # The same commands again, taken in turn round by round, with processor time.
  "$root/bench/interleaved.py" "${RUNS:-10}" \
    "monx=$monx --keep-colour --preset sepia -q 90 $photo out-monx.jpg" \
    "monx --fast-jpeg=$monx --keep-colour --fast-jpeg --preset sepia -q 90 $photo out-monx-fast.jpg" \
    "vips maplut=vips maplut $photo 'out-vips.jpg[Q=90,subsample-mode=on]' lut.v" \
    "OpenCV LUT=/usr/bin/python3 opencv-lut.py $photo out-opencv.jpg" \
    "gm -gamma=gm convert $photo -gamma 1.2 -quality 90 -sampling-factor 2x2 out-gm.jpg" \
    "convert -clut=/usr/bin/convert $photo lut.png -clut -quality 90 -sampling-factor 2x2 out-im.jpg" \
    | tee "interleaved-${photo%.jpg}.md"

  # Same curves, same quality: the outputs should agree to within JPEG rounding.
  /usr/bin/python3 - <<'PY'
import os, cv2, numpy as np
ref = cv2.imread("out-vips.jpg").astype(int)
for name in ["out-monx.jpg", "out-monx-fast.jpg", "out-opencv.jpg", "out-im.jpg"]:
    img = cv2.imread(name).astype(int)
    print(f"{name:18} {os.path.getsize(name) / 1e6:5.2f} MB, mean |difference| from vips {np.abs(img - ref).mean():.3f}")
PY
done
