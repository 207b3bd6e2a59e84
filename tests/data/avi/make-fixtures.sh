#!/usr/bin/env bash
# Makes the ffmpeg-written AVI files of the video tests and ffmpeg's own
# decode of each (NAME.rgb: the frames as RGB bytes, top row first). Run
# once from this folder; the results are committed.
set -euo pipefail
make() {  # name source codec pixel-format [options]
  local name=$1 source=$2 codec=$3 format=$4
  shift 4
  ffmpeg -v error -y -f lavfi -i "$source" -frames:v 3 -c:v "$codec" -pix_fmt "$format" "$@" "$name.avi"
  ffmpeg -v error -y -i "$name.avi" -f rawvideo -pix_fmt rgb24 "$name.rgb"
}
pattern=testsrc=size=33x21:rate=25
smooth=gradients=size=32x20:rate=25:seed=7
make bgr24 $pattern rawvideo bgr24
make pal8 $pattern rawvideo pal8
make bgra $pattern rawvideo bgra
make rgb555 $pattern rawvideo rgb555le
make i420 $smooth rawvideo yuv420p
make mjpeg $smooth mjpeg yuvj420p -q:v 2
make mjpeg-odd "gradients=size=33x21:rate=25:seed=7" mjpeg yuvj420p -q:v 2
