#!/usr/bin/env bash
# Making an icon file of the five usual sizes: pixmint-icons create from one 32 x 32 drawing,
# which scales it to 16, 24, 48 and 256, against icoutils' icotool packing five PNGs made
# beforehand, alternately in the same run; prints the medians and their ratio. Each sample is
# the mean of 20 runs, as one run takes a few milliseconds.
# Usage: [RUNS=15] bench/iconset-ratio.sh [BUILD_DIR]   (default: build)
# Needs ImageMagick 6 (/usr/bin/convert) and icoutils. It reports; it does not judge.
set -euo pipefail

build=${1:-build}
tool=$build/pixmint-icons
runs=${RUNS:-15}
[ -x "$tool" ] || { echo "iconset-ratio: $tool is missing; build first" >&2; exit 2; }
for t in icotool /usr/bin/convert; do
    command -v "$t" >/dev/null || { echo "iconset-ratio: $t is not installed" >&2; exit 2; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
/usr/bin/convert -size 32x32 xc:none -fill '#c02020' -draw 'rectangle 4,4 27,27' \
    -fill '#2040c080' -draw 'circle 16,16 16,8' png32:"$work/32.png"
for size in 16 24 48 256; do
    /usr/bin/convert "$work/32.png" -resize "${size}x$size" png32:"$work/$size.png"
done

# mean_ms COMMAND...: the mean wall time of 20 runs in milliseconds, to the microsecond.
mean_ms() {
    local start end i
    start=${EPOCHREALTIME//[.,]/}
    for ((i = 0; i < 20; i++)); do "$@" >/dev/null; done
    end=${EPOCHREALTIME//[.,]/}
    echo $(((end - start) / 20000)).$(printf '%03d' $(((end - start) / 20 % 1000)))
}
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

ours=()
theirs=()
for ((i = 0; i < runs; i++)); do
    ours+=("$(mean_ms "$tool" create "$work/ours.ico" "$work/32.png" --sizes 16,24,32,48,256)")
    theirs+=("$(mean_ms icotool -c -o "$work/theirs.ico" "$work/16.png" "$work/24.png" \
        "$work/32.png" "$work/48.png" -r "$work/256.png")")
done
a=$(printf '%s\n' "${ours[@]}" | median)
b=$(printf '%s\n' "${theirs[@]}" | median)
echo "icon file of 16, 24, 32, 48 and 256 pixels; $runs samples of 20 runs each"
echo "pixmint-icons create (scales one 32 x 32 PNG): $a ms (median)"
echo "icotool -c (packs five ready PNGs): $b ms (median)"
awk -v a="$a" -v b="$b" 'BEGIN { printf "ratio: %.3f\n", a / b }'
