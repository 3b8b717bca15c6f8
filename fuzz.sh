#!/usr/bin/env bash
# Fuzzes the engine's decoding and rendering with libFuzzer under AddressSanitizer and
# UndefinedBehaviorSanitizer, seeded with the corpus movies.
#   ./fuzz.sh [seconds]      (default 60)
# Installs clang and its runtime (Debian's clang and libclang-rt-14-dev) when they are missing.
set -euo pipefail
cd "$(dirname "$0")"
seconds="${1:-60}"

need=()
for p in clang libclang-rt-14-dev; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || need+=("$p")
done
if [ ${#need[@]} -gt 0 ]; then
  sudo_cmd=()
  [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update
  "${sudo_cmd[@]}" apt-get install -y --no-install-recommends "${need[@]}"
fi

out=build/fuzz
mkdir -p "$out/objects" "$out/work"
flags=(-std=c++17 -O1 -g -fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer -fPIC
       -Isrc $(pkg-config --cflags Qt6Gui zlib liblzma libjpeg libpng libgif libmpg123))
sources=(src/swf/*.cpp src/swf/io/*.cpp src/swf/format/*.cpp src/swf/movie/*.cpp src/swf/render/*.cpp
         src/swf/avm1/*.cpp src/swf/audio/*.cpp src/swf/qt/painterbackend.cpp src/swf/qt/qtgeometry.cpp
         src/swf/qt/framerenderer.cpp src/swf/qt/fontprovider.cpp src/swf/qt/layers.cpp src/swf/qt/filters.cpp
         src/swf/qt/gradientfill.cpp src/swf/qt/aliasedfill.cpp src/swf/qt/flattening.cpp
         src/swf/qt/strokeoutline.cpp src/swf/qt/multisample.cpp)
# An object is rebuilt when its source or any engine header is newer than it.
newest_header=$(ls -t src/swf/*.h src/swf/*/*.h | head -1)
objects=()
for s in "${sources[@]}"; do
  [ -f "$s" ] || continue
  o="$out/objects/$(echo "$s" | tr '/' '_').o"
  if [ ! -f "$o" ] || [ "$s" -nt "$o" ] || [ "$newest_header" -nt "$o" ]; then
    clang++ "${flags[@]}" -c "$s" -o "$o"
  fi
  objects+=("$o")
done
clang++ "${flags[@]}" -fsanitize=fuzzer fuzz/renderfuzz.cpp "${objects[@]}" -o "$out/renderfuzz" \
  $(pkg-config --libs Qt6Gui zlib liblzma libjpeg libpng libgif libmpg123)

seeds="$out/seeds"
mkdir -p "$seeds"
# Seeds are copied into the build folder under names made from their paths (every case is test.swf).
find ../shared/corpus -name '*.swf' | while read -r movie; do
  cp -n "$movie" "$seeds/$(echo "${movie#../shared/corpus/}" | tr '/' '_')"
done
export QT_QPA_PLATFORM=offscreen
"$out/renderfuzz" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10 -max_len=262144 \
  -artifact_prefix="$out/work/" "$out/work" "$seeds"
