#!/usr/bin/env bash
# Configures (once) and builds the Release tree in build/release; incremental and cached by ccache.
set -euo pipefail
cd "$(dirname "$0")/.."
export CCACHE_DIR="${CCACHE_DIR:-$HOME/.cache/ccache}"
# Precompiled headers and ccache work together only with these sloppiness settings.
export CCACHE_SLOPPINESS="pch_defines,time_macros,include_file_mtime,include_file_ctime"
build=build/release
if [ ! -f "$build/build.ninja" ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release
fi
# Sources are collected by globbing; when files come or go, Qt's meta-object step must scan again,
# which it does not notice by itself in an existing build folder.
sources=$(find src tests tools bench -name '*.h' -o -name '*.cpp' -o -name '*.ui' 2>/dev/null | sort | md5sum)
if [ "$sources" != "$(cat "$build/.source-list" 2>/dev/null)" ]; then
  find "$build" -path '*_autogen/timestamp' -delete
fi
cmake --build "$build" -j "$(nproc)"
echo "$sources" > "$build/.source-list"
