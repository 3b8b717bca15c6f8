#!/usr/bin/env bash
# Installs what is missing, builds Kivamo (Release) and starts it on the given movie or list.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh
./scripts/build.sh
# A running Kivamo takes the arguments over and comes to the front instead of opening a second window.
exec build/release/bin/kivamo "$@"
