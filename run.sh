#!/usr/bin/env bash
# Installs what is missing, builds Kivamo (Release) and starts it on the given movie or list; without
# one it opens the demo list (demo movies and demo.kvl written into build/release/demo/).
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh
./scripts/build.sh
if [ $# -eq 0 ]; then
  demo=build/release/demo
  mkdir -p "$demo"
  build/release/bin/kivamo-demos "$demo" >/dev/null
  set -- "$(build/release/bin/kivamo --write-demo-list "$demo")"
fi
# A running Kivamo takes the arguments over and comes to the front instead of opening a second window.
exec build/release/bin/kivamo "$@"
