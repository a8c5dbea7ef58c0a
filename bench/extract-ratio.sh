#!/usr/bin/env bash
# Extracting every icon of a library with 300 icon groups: pixmint-icons against icoutils'
# wrestool on the same file, alternately in the same run; prints the medians and their ratio.
# Usage: [RUNS=9] bench/extract-ratio.sh [BUILD_DIR]   (default: build)
#        bench/extract-ratio.sh --make-library FILE   only builds the library (for the benchmarks)
# Needs ImageMagick 6 (/usr/bin/convert), icoutils and binutils-mingw-w64-x86-64. It reports;
# it does not judge.
set -euo pipefail

groups=300

# makeLibrary FILE: 300 groups, every tenth named, each with 16x16 at 4 and 32 bits and 32x32
# at 8 and 32 bits, in a few colours.
makeLibrary() {
    local out=$1 dir colour i size name
    dir=$(mktemp -d)
    for i in 0 1 2 3 4 5; do
        colour=$(printf '#%02x%02x%02x' $((40 * i)) $((255 - 40 * i)) $((20 + 30 * i)))
        for size in 16 32; do
            /usr/bin/convert -size "${size}x$size" "xc:$colour" -fill white \
                -draw "point $i,$i" png32:"$dir/$size.png"
        done
        icotool -c -o "$dir/g$i.ico" -b 4 "$dir/16.png" -b 32 "$dir/16.png" \
            -b 8 "$dir/32.png" -b 32 "$dir/32.png"
    done
    for ((i = 0; i < groups; i++)); do
        if ((i % 10 == 0)); then name=ICON_$i; else name=$((i + 1)); fi
        echo "$name ICON g$((i % 6)).ico"
    done >"$dir/library.rc"
    (cd "$dir" && x86_64-w64-mingw32-windres --preprocessor=cat library.rc -O coff -o library.o)
    x86_64-w64-mingw32-ld --dll -e 0 -s -o "$out" "$dir/library.o"
    rm -rf "$dir"
}

if [ "${1:-}" = --make-library ]; then
    makeLibrary "$2"
    exit 0
fi

build=${1:-build}
tool=$build/pixmint-icons
runs=${RUNS:-9}
[ -x "$tool" ] || { echo "extract-ratio: $tool is missing; build first" >&2; exit 2; }
for t in wrestool icotool x86_64-w64-mingw32-windres /usr/bin/convert; do
    command -v "$t" >/dev/null || { echo "extract-ratio: $t is not installed" >&2; exit 2; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
makeLibrary "$work/library.dll"

# time_ms COMMAND...: the wall time of one run in milliseconds, into a fresh output folder.
# The disk is synced first, so that no run pays for flushing what the one before wrote.
time_ms() {
    local start end
    rm -rf "$work/out"
    mkdir "$work/out"
    sync
    start=${EPOCHREALTIME//[.,]/}
    "$@" >/dev/null
    end=${EPOCHREALTIME//[.,]/}
    echo $(((end - start) / 1000)).$(((end - start) % 1000 / 100))
}
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

ours=()
theirs=()
for ((i = 0; i < runs; i++)); do
    ours+=("$(time_ms "$tool" extract "$work/library.dll" "$work/out")")
    theirs+=("$(time_ms wrestool -x --type=14 -o "$work/out" "$work/library.dll")")
done
a=$(printf '%s\n' "${ours[@]}" | median)
b=$(printf '%s\n' "${theirs[@]}" | median)
echo "library: $groups icon groups, $(stat -c %s "$work/library.dll") bytes; $runs runs each"
echo "pixmint-icons extract: $a ms (median)"
echo "wrestool -x --type=14: $b ms (median)"
awk -v a="$a" -v b="$b" 'BEGIN { printf "ratio: %.3f\n", a / b }'
