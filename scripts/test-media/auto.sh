#!/usr/bin/env bash
# Fixtures of the intervalometer and command-list tests: a one-minute frame-indexed clip, small
# and at 10 frames per second, so that its 600 frames fit the 10-bit index band (see video.sh
# for the band's layout; tests/support/FrameIndex.h reads it back). Frame N is at N/10 s.
#
# Usage: auto.sh <output folder>. Files that exist are kept.
set -euo pipefail
out=${1:?output folder}
mkdir -p "$out"
target="$out/minute10.avi"
[[ -e "$target" ]] && exit 0

w=160 h=120 band=40
graph="testsrc2=size=${w}x${h}:rate=10:duration=60,format=yuv420p"
graph+=",drawbox=x=0:y=0:w=${w}:h=${band}:color=black:t=fill"
for i in 0 1 2 3 4 5 6 7 8 9; do
  x=$((i * w / 10))
  next=$(((i + 1) * w / 10))
  graph+=",drawbox=x=${x}:y=0:w=$((next - x)):h=${band}:color=white:t=fill"
  graph+=":enable='bitand(n\,$((1 << (9 - i))))'"
done

partial="$out/.partial-minute10.avi"
rm -f "$partial"
ffmpeg -hide_banner -loglevel error -nostdin -y -f lavfi -i "$graph" \
  -c:v mjpeg -q:v 5 -pix_fmt yuvj420p -an "$partial"
sync "$partial"
mv -f "$partial" "$target"
