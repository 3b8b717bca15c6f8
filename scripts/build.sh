#!/usr/bin/env bash
# Configures (once) and builds the Release tree in build/release; incremental and cached by ccache.
set -euo pipefail
cd "$(dirname "$0")/.."
export CCACHE_DIR="${CCACHE_DIR:-$HOME/.cache/ccache}"
# Precompiled headers and ccache work together only with these sloppiness settings.
export CCACHE_SLOPPINESS="pch_defines,time_macros,include_file_mtime,include_file_ctime"
if [ ! -f build/release/build.ninja ]; then
  cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release
fi
cmake --build build/release -j "$(nproc)"
