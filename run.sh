#!/usr/bin/env bash
# Installs what is missing, builds Kivamo (Release) and starts it on the given movie or list.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh
./scripts/build.sh
# The player window is not part of the build yet; until it is, show what the engine reads.
if [ $# -eq 0 ]; then
  exec build/release/bin/kivamo-swf --help
fi
exec build/release/bin/kivamo-swf info "$1"
