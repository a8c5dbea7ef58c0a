#!/usr/bin/env bash
# A thumbnail of 128 x 128 for every program and library of the test data (and the 300-group
# library of extract-ratio.sh): `pixmint-icons thumbnail` against the usual pipeline,
# `wrestool -x --type=14 | icotool -x | convert -resize 128x128`, on the same files in the same
# run, alternately; prints the median time per file of each and their ratio.
# Usage: [RUNS=5] bench/thumbnail-ratio.sh [BUILD_DIR]   (default: build)
# Needs icoutils, ImageMagick 6 (/usr/bin/convert) and binutils-mingw-w64-x86-64. It reports;
# it does not judge.
set -euo pipefail

build=${1:-build}
tool=$build/pixmint-icons
runs=${RUNS:-5}
here=$(dirname "$0")
[ -x "$tool" ] || { echo "thumbnail-ratio: $tool is missing; build first" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$here/extract-ratio.sh" --make-library "$work/library.dll"
files=("$here"/../tests/data/good/resources/groups*.dll "$here"/../tests/data/good/resources/*.icl
    "$here"/../tests/data/damaged/*.dll "$work/library.dll")

# The pipeline as the usual thumbnailer runs it: the first group, its largest image, scaled.
pipeline() {
    rm -rf "$work/p" && mkdir "$work/p"
    wrestool -x --type=14 "$1" >"$work/p/icon.ico" 2>/dev/null
    icotool -x -o "$work/p" "$work/p/icon.ico" 2>/dev/null
    /usr/bin/convert "$(ls -S "$work"/p/*.png | head -n1)" -resize 128x128 "$work/p/out.png"
}
# A file manager names a fresh output file each time; replacing one would cost a flush on ext4,
# and removing the old one first would time a second program.
ours() { "$tool" thumbnail -s 128 "$1" "$work/ours-${EPOCHREALTIME/[.,]/}.png"; }

# ms COMMAND...: the wall time of one run in milliseconds, with three decimals.
ms() {
    local start end
    start=${EPOCHREALTIME//[.,]/}
    "$@"
    end=${EPOCHREALTIME//[.,]/}
    echo $(((end - start) / 1000)).$(printf '%03d' $(((end - start) % 1000)))
}

for ((r = 0; r < runs; r++)); do
    for f in "${files[@]}"; do
        echo "pipeline $(ms pipeline "$f")" >>"$work/times"
        echo "pixmint $(ms ours "$f")" >>"$work/times"
    done
done
median() { grep "^$1 " "$work/times" | cut -d' ' -f2 | sort -n | awk '{v[NR] = $1} END {print v[int((NR + 1) / 2)]}'; }
p=$(median pipeline)
o=$(median pixmint)
echo "${#files[@]} files, $runs runs: pipeline median $p ms a file, pixmint-icons thumbnail $o ms"
awk -v p="$p" -v o="$o" 'BEGIN {printf "ratio %.3f\n", o / p}'
