#!/usr/bin/env bash
# Video fixtures: frame-indexed clips in the common containers, plus odd files (audio only,
# audio stream first, two video streams, not a video at all, cut short).
#
# Frame-indexed clips paint each frame's own index N (0-based) into the top third of the picture:
# ten cells of equal width, cell i (0 = leftmost) white when bit (9-i) of N is set, else black.
# Below the band moves a test pattern, so the encoder has real work and motion is visible.
# tests/support/FrameIndex.h reads the index back from a decoded picture.
#
# Usage: video.sh <output folder>. Files that exist are kept.
set -euo pipefail
out=${1:?output folder}
mkdir -p "$out"

ff() { ffmpeg -hide_banner -loglevel error -nostdin -y "$@"; }

# Runs "$@" with the last argument replaced by a temp name in the same folder, then renames it
# into place, so a killed run never leaves half a file under the real name.
make_file() {
  local name=$1; shift
  local target="$out/$name"
  [[ -e "$target" ]] && return 0
  local partial="$out/.partial-$name"  # keeps the extension: ffmpeg picks the muxer from it
  rm -f "$partial"
  "$@" "$partial"
  sync "$partial"
  mv -f "$partial" "$target"
}

# Filter graph source for a frame-indexed picture: size WxH, rate R, duration D seconds.
indexed_source() {
  local w=$1 h=$2 rate=$3 dur=$4
  local band=$((h / 3))
  local graph="testsrc2=size=${w}x${h}:rate=${rate}:duration=${dur},format=yuv420p"
  graph+=",drawbox=x=0:y=0:w=${w}:h=${band}:color=black:t=fill"
  local i x next
  for i in 0 1 2 3 4 5 6 7 8 9; do
    x=$((i * w / 10))
    next=$(((i + 1) * w / 10))
    graph+=",drawbox=x=${x}:y=0:w=$((next - x)):h=${band}:color=white:t=fill"
    graph+=":enable='bitand(n\,$((1 << (9 - i))))'"
  done
  printf '%s' "$graph"
}

sine() {  # stereo sine for D seconds
  printf 'sine=frequency=440:sample_rate=44100:duration=%s,aformat=channel_layouts=stereo' "$1"
}

# --- frame-indexed clips
make_file frames25.avi ff -f lavfi -i "$(indexed_source 320 240 25 10)" -f lavfi -i "$(sine 10)" \
  -map 0:v -map 1:a -c:v mjpeg -q:v 3 -pix_fmt yuvj420p -c:a pcm_s16le
make_file frames25_silent.avi ff -f lavfi -i "$(indexed_source 320 240 25 4)" \
  -c:v mjpeg -q:v 3 -pix_fmt yuvj420p -an

h264=(-c:v libx264 -preset veryfast -pix_fmt yuv420p -g 250 -bf 2 -x264-params scenecut=0)
make_file frames25.mp4 ff -f lavfi -i "$(indexed_source 320 240 25 10)" -f lavfi -i "$(sine 10)" \
  -map 0:v -map 1:a "${h264[@]}" -c:a aac -b:a 96k
make_file frames30.mp4 ff -f lavfi -i "$(indexed_source 320 240 30 10)" -f lavfi -i "$(sine 10)" \
  -map 0:v -map 1:a "${h264[@]}" -c:a aac -b:a 96k

# --- disc formats and other containers (the index band is there too, scaled to the picture)
make_file vcd.mpg ff -f lavfi -i "$(indexed_source 352 288 25 5)" -f lavfi -i "$(sine 5)" \
  -map 0:v -map 1:a -target pal-vcd
make_file svcd.mpg ff -f lavfi -i "$(indexed_source 480 576 25 5)" -f lavfi -i "$(sine 5)" \
  -map 0:v -map 1:a -target pal-svcd
make_file clip.wmv ff -f lavfi -i "$(indexed_source 320 240 25 5)" -f lavfi -i "$(sine 5)" \
  -map 0:v -map 1:a -c:v wmv2 -q:v 3 -c:a wmav2 -b:a 128k
make_file sound_only.mp3 ff -f lavfi -i "$(sine 3)" -c:a libmp3lame -b:a 128k

# --- unusual stream layouts
make_file audio_first.avi ff -f lavfi -i "$(indexed_source 320 240 25 2)" -f lavfi -i "$(sine 2)" \
  -map 1:a -map 0:v -c:v mjpeg -q:v 3 -pix_fmt yuvj420p -c:a pcm_s16le
# Stream 0 is the frame-indexed MPEG-4 picture; stream 1 a smaller MJPEG test pattern without band.
make_file two_video.avi ff -f lavfi -i "$(indexed_source 320 240 25 2)" \
  -f lavfi -i "testsrc=size=160x120:rate=25:duration=2" \
  -map 0:v -map 1:v -c:v:0 mpeg4 -q:v:0 3 -c:v:1 mjpeg -q:v:1 3 -pix_fmt:v:1 yuvj420p
make_file two_video.mkv ff -f lavfi -i "$(indexed_source 320 240 25 2)" \
  -f lavfi -i "testsrc=size=160x120:rate=25:duration=2" \
  -map 0:v -map 1:v -c:v:0 libx264 -preset veryfast -pix_fmt:v:0 yuv420p \
  -c:v:1 mjpeg -q:v:1 3 -pix_fmt:v:1 yuvj420p

# --- broken files
write_not_video() {
  local i
  for ((i = 0; i < 200; i++)); do printf 'this is not a video\n'; done >"$1"
}
make_file not_video.avi write_not_video

cut_short() {
  local size
  size=$(stat -c %s "$out/frames25.avi")
  head -c $((size * 40 / 100)) "$out/frames25.avi" >"$1"
}
make_file truncated.avi cut_short
