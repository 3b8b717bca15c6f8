#!/usr/bin/env bash
# Installs the Debian packages Kivamo builds, tests and runs with; only what is missing.
# Works as root on a fresh Debian 12 and through sudo on a user's machine.
set -euo pipefail

packages=(
  # build
  cmake ninja-build g++ ccache pkg-config
  # Qt 6 (Core, Gui, Widgets, Network, DBus, PrintSupport; Multimedia; Svg)
  qt6-base-dev qt6-base-dev-tools qt6-multimedia-dev qt6-svg-dev libgl-dev
  # engine libraries
  zlib1g-dev liblzma-dev libjpeg62-turbo-dev libpng-dev libgif-dev libmpg123-dev
  # INI files
  libsimpleini-dev
  # tests and benchmarks
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  # MP3 encoding, for the tests that build MP3 sound tags
  libmp3lame-dev
  # checking the installed desktop entry
  desktop-file-utils
  # Chinese text in the windows
  fonts-wqy-microhei fontconfig
  # the faces movies' device text asks for by Flash's generic names (_sans, _serif)
  fonts-noto-core
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  sudo_cmd=(sudo)
fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update
"${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
