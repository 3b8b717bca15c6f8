#!/usr/bin/env bash
# Installs what is missing, builds Kivamo and runs every test; the exit status is ctest's.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh
./scripts/build.sh
cd build/release
ctest --output-on-failure -j "$(nproc)" "$@"
