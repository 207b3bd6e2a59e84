#!/usr/bin/env bash
# Installs every Debian package that building, running and testing Cardwright
# needs. Idempotent: packages already installed are skipped, and apt is not
# touched at all when nothing is missing.
set -euo pipefail

PACKAGES=(
  # toolchain
  build-essential cmake ninja-build pkg-config ccache clang libclang-rt-14-dev
  # tests and benchmarks
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  # platform layer
  qt6-base-dev qt6-base-dev-tools libgl-dev
  # picture codecs and other readers
  zlib1g-dev libpng-dev libjpeg62-turbo-dev libturbojpeg0-dev libopenjp2-7-dev libfreexl-dev
  # scanners and cameras
  libsane-dev libv4l-dev
  # the scanner library's test backend, used by the scanner tests
  libsane1 sane-utils
  # fonts: Song/Ming serif and sans CJK faces, a Kai face, Latin faces
  fonts-noto-cjk fonts-arphic-ukai fonts-wqy-zenhei fonts-dejavu-core
  # the end-to-end test: a virtual X display, real X input, screenshots
  xvfb xauth xdotool openbox
  # independent readers used by tests
  python3 python3-pil python3-dbfread python3-numpy poppler-utils zbar-tools
  # independent checkers of the TIFF and GIF page operations
  libtiff-tools gifsicle
  # video files: makes and checks the AVI files of the video tests
  ffmpeg
)

missing=()
for pkg in "${PACKAGES[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$pkg")
done

if ((${#missing[@]} == 0)); then
  exit 0
fi

SUDO=""
if [[ $(id -u) -ne 0 ]]; then SUDO="sudo"; fi

echo "install-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
