#!/usr/bin/env bash
# Render time of every visual corpus movie at its native size and at 1920 x 1080 through
# `kivamo-swf bench`, one line per movie: frames as the player shows them (median and 95th percentile),
# painted whole, as four-sample snapshot pictures, and peak memory.
#   bench/corpus-bench.sh [BUILD_DIR] [FRAMES]     (defaults: build/release, 20)
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build/release}"
frames="${2:-20}"
corpus=../shared/corpus
export QT_QPA_PLATFORM=offscreen
printf 'case\tnative median ms\tnative p95 ms\tnative whole ms\tnative picture ms\t1920x1080 median ms\t1920x1080 whole ms\tpeak KiB\n'
tail -n +2 "$corpus/MANIFEST_visual.tsv" | cut -f3 | while read -r dir; do
  movie="$corpus/$dir/test.swf"
  [ -f "$movie" ] || continue
  native=$("$build/bin/kivamo-swf" bench "$movie" --frames "$frames" 2>/dev/null || true)
  full=$("$build/bin/kivamo-swf" bench "$movie" --frames "$frames" --size 1920x1080 2>/dev/null || true)
  median=$(sed -n 's/^render: median \([0-9.]*\) ms, p95 \([0-9.]*\) ms.*/\1/p' <<<"$native")
  p95=$(sed -n 's/^render: median \([0-9.]*\) ms, p95 \([0-9.]*\) ms.*/\2/p' <<<"$native")
  whole=$(sed -n 's/^render whole: median \([0-9.]*\) ms.*/\1/p' <<<"$native")
  picture=$(sed -n 's/^picture: median \([0-9.]*\) ms.*/\1/p' <<<"$native")
  fullMedian=$(sed -n 's/^render: median \([0-9.]*\) ms.*/\1/p' <<<"$full")
  fullWhole=$(sed -n 's/^render whole: median \([0-9.]*\) ms.*/\1/p' <<<"$full")
  peak=$(sed -n 's/^peak memory: \([0-9]*\) KiB.*/\1/p' <<<"$full")
  printf '%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\n' "$dir" "${median:--}" "${p95:--}" "${whole:--}" "${picture:--}" \
    "${fullMedian:--}" "${fullWhole:--}" "${peak:--}"
done
