#!/usr/bin/env bash
# Makes the icon resource fixtures in this folder. Run by hand; the output is committed. Needs
# ImageMagick 6 (/usr/bin/convert), icoutils (icotool), xxd and binutils-mingw-w64 (x86_64 and
# i686 windres and ld).
#
# Every image is one solid colour, so a test tells which image was chosen:
#   groups.rc, as written (the linker stores ALPHA, BETA, ZETA, 3, 7):
#     zeta   16x16x4 #800000, 32x32x4 #ff0000
#     7      16x16x8 #008000, 32x32x8 #00ff00, 32x32x32 #00c000
#     Alpha  256x256 PNG #0000ff, 32x32x32 #000080
#     3      48x48x8 #ffff00
#     beta   32x32x4 #800080, 32x32x32 #ff00ff, 16x16x32 #ff80ff, 32x32x8 #c000c0
#   library.icl (16-bit NE), in table order:
#     20     32x32x4 #00ffff, 16x16x4 #008080
#     SMILE  32x32x8 #ff8000
#     10     32x32x1 white, 32x32x32 #404040
#   beta.ico is the group beta as a plain icon file.
set -euo pipefail

cd "$(dirname "$0")"
. ../fixture-tools.sh

# solid NAME SIZE COLOUR: a PNG without creation dates, so every run makes the same files.
solid() {
    "$CONVERT" -define png:exclude-chunks=date,time -size "$2x$2" "xc:$3" png32:"$work/$1.png"
}

# --- Icon groups of the PE libraries ---------------------------------------------------------
solid z16 16 '#800000'
solid z32 32 '#ff0000'
icotool -c -o "$work/zeta.ico" -b 4 "$work/z16.png" -b 4 "$work/z32.png"
solid s16 16 '#008000'
solid s32a 32 '#00ff00'
solid s32b 32 '#00c000'
icotool -c -o "$work/seven.ico" -b 8 "$work/s16.png" -b 8 "$work/s32a.png" -b 32 "$work/s32b.png"
solid a256 256 '#0000ff'
solid a32 32 '#000080'
icotool -c -o "$work/alpha.ico" -r "$work/a256.png" -b 32 "$work/a32.png"
solid t48 48 '#ffff00'
icotool -c -o "$work/three.ico" -b 8 "$work/t48.png"
solid b32a 32 '#800080'
solid b32b 32 '#ff00ff'
solid b16 16 '#ff80ff'
solid b32c 32 '#c000c0'
icotool -c -o beta.ico -b 4 "$work/b32a.png" -b 32 "$work/b32b.png" -b 32 "$work/b16.png" \
    -b 8 "$work/b32c.png"
cp beta.ico "$work/beta.ico"

# Names unquoted: with cat as the preprocessor windres keeps quotes in names.
cat >"$work/groups.rc" <<'EOF'
zeta ICON zeta.ico
7 ICON seven.ico
Alpha ICON alpha.ico
3 ICON three.ico
beta ICON beta.ico
1 RCDATA { "not an icon" }
EOF
cat >"$work/none.rc" <<'EOF'
1 RCDATA { "no icons here" }
1 VERSIONINFO
FILEVERSION 1,0,0,0
BEGIN
  BLOCK "StringFileInfo"
  BEGIN
    BLOCK "040904b0"
    BEGIN
      VALUE "FileDescription", "Pixmint test library without icons"
    END
  END
END
EOF

# library ARCH RC OUTPUT: a resource-only DLL.
library() {
    (cd "$work" && "$1-w64-mingw32-windres" --preprocessor=cat "$2" -O coff -o "$2.o")
    "$1-w64-mingw32-ld" --dll -e 0 -s --no-insert-timestamp -o "$3" "$work/$2.o"
}
library x86_64 groups.rc groups64.dll
library i686 groups.rc groups32.dll
library x86_64 none.rc noicons.dll

# --- A 16-bit NE icon library ----------------------------------------------------------------
solid n20a 32 '#00ffff'
solid n20b 16 '#008080'
solid nsmile 32 '#ff8000'
solid n10a 32 white
solid n10b 32 '#404040'
# dib NAME BITS: the image bytes of a one-image icon (they start after its 22-byte header).
dib() {
    icotool -c -o "$work/$1.ico" -b "$2" "$work/$1.png"
    tail -c +23 "$work/$1.ico" >"$work/$1.dib"
}
dib n20a 4
dib n20b 4
dib nsmile 8
dib n10a 1
dib n10b 32

# Icons by id, stored out of order on purpose: id, file, width, bits, colours.
icons=("5 n10b 32 32 0" "1 n20a 32 4 16" "4 n10a 32 1 2" "2 n20b 16 4 16" "3 nsmile 32 8 0")
# Groups in table order: id (0 for the named one), icon ids.
groups=("20 1 2" "0 3" "10 4 5")

shift=4
units() { echo $((($1 + 15) >> shift)); }
size() { stat -c %s "$1"; }
# info ID: the file, width, bits and colours of an icon.
info() {
    local icon i f w b c
    for icon in "${icons[@]}"; do
        read -r i f w b c <<<"$icon"
        if [ "$i" = "$1" ]; then echo "$f $w $b $c"; fi
    done
}
for i in "${!groups[@]}"; do
    read -r -a ids <<<"${groups[$i]}"
    {
        echo 0000 0100; le16 $((${#ids[@]} - 1))
        for id in "${ids[@]:1}"; do
            read -r file width bits colours <<<"$(info "$id")"
            printf '%02x%02x%02x00' "$width" "$width" "$colours"; le16 1; le16 "$bits"
            le32 "$(size "$work/$file.dib")"; le16 "$id"
        done
    } | unhex >"$work/group$i.bin"
done

# Layout: MZ header, NE header, resource table, resident names, an empty module reference and
# import table, the entry table, non-resident names, then the data aligned to 16.
name=SMILE
# Offsets in the NE header count from its start, at 0x40; the resource table follows it.
names=$((2 + 2 * 8 + (${#icons[@]} + ${#groups[@]}) * 12 + 2))
resident=$((0x40 + names + 1 + ${#name} + 1))
module=LIBRARY
imports=$((resident + 1 + ${#module} + 2 + 1))
entries=$((imports + 1))
nonres=$((0x40 + entries + 2))
description="Pixmint test icons"
data=$(((nonres + 1 + ${#description} + 3 + 15) / 16 * 16))

# Resources in the order they are laid down: icons, then groups.
files=()
for icon in "${icons[@]}"; do
    read -r _ file _ <<<"$icon"
    files+=("$work/$file.dib")
done
for i in "${!groups[@]}"; do files+=("$work/group$i.bin"); done
offsets=()
at=$data
for f in "${files[@]}"; do
    offsets+=("$at")
    at=$((at + $(units "$(size "$f")") * 16))
done

{
    # MZ header: e_lfarlc 0x40 marks a new-style executable, e_lfanew at 0x3C.
    echo 4d5a; le16 0; le16 1; le16 0; le16 4; le16 0; le16 0xFFFF; le16 0; le16 0xB8
    le16 0; le16 0; le16 0; le16 0x40; le16 0
    for _ in $(seq 16); do le16 0; done
    le32 0x40
    # NE header.
    echo 4e45 0501; le16 "$entries"; le16 2; le32 0; le16 0x8000; le16 0; le16 0; le16 0
    le32 0; le32 0; le16 0; le16 0; le16 $((${#description} + 3))
    le16 0x40; le16 0x40; le16 "$resident"; le16 "$imports"; le16 "$imports"; le32 "$nonres"
    le16 0; le16 "$shift"
    le16 $((${#icons[@]} + ${#groups[@]})); echo 02 00; le16 0; le16 0; le16 0; le16 0x030A
    # Resource table.
    le16 "$shift"
    le16 0x8003; le16 ${#icons[@]}; le32 0
    for i in "${!icons[@]}"; do
        read -r id file _ <<<"${icons[$i]}"
        le16 $((offsets[i] >> shift)); le16 "$(units "$(size "$work/$file.dib")")"
        le16 0x1C10; le16 $((0x8000 | id)); le32 0
    done
    le16 0x800E; le16 ${#groups[@]}; le32 0
    for i in "${!groups[@]}"; do
        read -r id _ <<<"${groups[$i]}"
        [ "$id" = 0 ] && id=$names || id=$((0x8000 | id))
        j=$((${#icons[@]} + i))
        le16 $((offsets[j] >> shift)); le16 "$(units "$(size "$work/group$i.bin")")"
        le16 0x1C10; le16 "$id"; le32 0
    done
    le16 0
    printf '%02x' ${#name}; printf '%s' "$name" | xxd -p; echo 00
    # Resident names, module references and imports, entry table, non-resident names.
    printf '%02x' ${#module}; printf '%s' "$module" | xxd -p; le16 0; echo 00
    echo 00
    le16 0
    printf '%02x' ${#description}; printf '%s' "$description" | xxd -p; le16 0; echo 00
} | unhex >"$work/head.bin"
cp "$work/head.bin" library.icl
for i in "${!files[@]}"; do
    truncate -s "${offsets[$i]}" library.icl
    cat "${files[$i]}" >>library.icl
done
truncate -s "$at" library.icl

ls -l
