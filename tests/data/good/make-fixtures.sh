#!/usr/bin/env bash
# Makes the picture fixtures of the reader tests in this folder, all of them sound files (the
# broken ones are in ../damaged/). Run by hand; the output is committed. Needs ImageMagick 6
# (/usr/bin/convert), icoutils (icotool) and xxd; the OpenJDK bitmap is remade only where a JDK
# is installed.
#
# Colours and places the tests check:
#   bitmaps 8 x 4: red (0,0), lime (1,0), blue (2,0), white (3,0), yellow (7,3), black elsewhere;
#     bmp8 also has grey (16 x + 8) at row 1 and (16 x + 136) at row 2 to need 8 bits;
#     bmp1 is white at (0,0) and (7,3) only.
#   icons 32 x 32: blue, a transparent 4 x 4 square at the top left, red (4,0), yellow (31,31);
#     icon1 is white and black instead of blue and red/yellow.
set -euo pipefail

cd "$(dirname "$0")"
. ./fixture-tools.sh

# PNG without the creation dates, so the files are the same on every run.
png() { "$CONVERT" -define png:exclude-chunks=date,time "$@"; }

pattern=(-fill red -draw 'point 0,0' -fill lime -draw 'point 1,0' -fill blue -draw 'point 2,0'
         -fill white -draw 'point 3,0' -fill yellow -draw 'point 7,3')

# --- Bitmaps ---------------------------------------------------------------------------------
"$CONVERT" -size 8x4 xc:black -fill white -draw 'point 0,0' -draw 'point 7,3' -type Bilevel \
    BMP3:bmp1.bmp
"$CONVERT" -size 8x4 xc:black "${pattern[@]}" -type Palette -compress None BMP3:bmp4.bmp
grey=()
for x in 0 1 2 3 4 5 6 7; do
    v=$((16 * x + 8)); w=$((16 * x + 136))
    grey+=(-fill "rgb($v,$v,$v)" -draw "point $x,1" -fill "rgb($w,$w,$w)" -draw "point $x,2")
done
"$CONVERT" -size 8x4 xc:black "${pattern[@]}" "${grey[@]}" -type Palette -compress None \
    BMP3:bmp8.bmp
"$CONVERT" -size 8x4 xc:black "${pattern[@]}" -type Palette -compress RLE BMP3:bmp8-rle.bmp
"$CONVERT" -size 8x4 xc:black "${pattern[@]}" -type TrueColor BMP3:bmp24.bmp
# 32 bits with an alpha channel: (4,0) is fully transparent.
"$CONVERT" -size 8x4 xc:black "${pattern[@]}" -alpha set -fill none -draw 'color 4,0 point' \
    -type TrueColorAlpha BMP:bmp32.bmp

# The 24-bit rows reversed under a negative height make the top-down file.
{
    head -c 22 bmp24.bmp | xxd -p
    le32 -4
    tail -c +27 bmp24.bmp | head -c 28 | xxd -p
    tail -c +55 bmp24.bmp | xxd -p -c 24 | tac
} | unhex >bmp24-topdown.bmp

# bmpHeader WIDTH HEIGHT BITS COMPRESSION PALETTE-ENTRIES DATA-BYTES: file and info headers.
bmpHeader() {
    local offset=$((14 + 40 + 4 * $5))
    printf 424d; le32 $((offset + $6)); le32 0; le32 $offset
    le32 40; le32 "$1"; le32 "$2"; le16 1; le16 "$3"; le32 "$4"; le32 "$6"
    le32 3780; le32 3780; le32 "$5"; le32 0
}
# The same pattern as 5-5-5 pixels, which ImageMagick 6 cannot write.
{
    bmpHeader 8 4 16 0 0 64
    le16 0; le16 0; le16 0; le16 0; le16 0; le16 0; le16 0; le16 0x7FE0
    for _ in 1 2; do for _ in 1 2 3 4 5 6 7 8; do le16 0; done; done
    le16 0x7C00; le16 0x03E0; le16 0x001F; le16 0x7FFF; le16 0; le16 0; le16 0; le16 0
} | unhex >bmp16.bmp
# Run-length 4 bits, which ImageMagick 6 cannot write. Palette: black, red, lime, blue, white,
# yellow. Rows bottom-up; the top row is in absolute mode.
{
    bmpHeader 8 4 4 2 6 24
    echo 00000000 0000ff00 00ff0000 ff000000 ffffff00 00ffff00
    echo 0700 0150 0000   0800 0000   0800 0000   0004 1234 0400 0000 0001
} | unhex >bmp4-rle.bmp

# Run-length 4 bits as OpenJDK 17's ImageIO writes them (openjdk-17-jdk-headless, needed only
# here): a colour wheel whose stream loses step with its rows.
if command -v javac >/dev/null; then
    javac -d "$work" RunLength4Bitmap.java
    java -cp "$work" RunLength4Bitmap bmp4-rle-java.bmp
fi

# A picture wider and taller than the canvas, and one smaller than it.
png -size 40x36 xc:black -fill red -draw 'point 0,0' -fill lime -draw 'point 31,31' \
    -fill blue -draw 'point 32,0' -fill white -draw 'point 39,35' png24:big-40x36.png
"$CONVERT" -size 20x10 xc:black -fill red -draw 'point 0,0' -fill blue -draw 'point 19,9' \
    -type TrueColor BMP3:small-20x10.bmp

# GIF with a transparent colour: red (0,0), lime (1,0), white (7,3), transparent elsewhere.
"$CONVERT" -size 8x4 xc:none -fill red -draw 'point 0,0' -fill lime -draw 'point 1,0' \
    -fill white -draw 'point 7,3' gif-transparent.gif

# --- Icons -----------------------------------------------------------------------------------
corner=(-alpha set \( -size 4x4 xc:none \) -geometry +0+0 -compose copy -composite)
png -size 32x32 xc:blue "${corner[@]}" -fill red -draw 'point 4,0' -fill yellow \
    -draw 'point 31,31' png32:"$work/icon.png"
png -size 32x32 xc:white "${corner[@]}" -fill black -draw 'point 4,0' -draw 'point 31,31' \
    png32:"$work/icon1.png"
icotool -c -b 1 -o icon1.ico "$work/icon1.png"
for bits in 4 8 24 32; do
    icotool -c -b "$bits" -o "icon$bits.ico" "$work/icon.png"
done
# A PNG entry: the pattern plus a half-transparent red at (1,5).
png "$work/icon.png" \( -size 1x1 xc:'rgba(255,0,0,0.5)' \) -geometry +1+5 -compose copy \
    -composite png32:"$work/icon-png.png"
icotool -c -o icon-png.ico -r "$work/icon-png.png"

# Several sizes and depths; 32 x 32 at 32 bits is the one to show. Fills: 16 px lime (32 bits),
# 32 px at 4 bits maroon, at 32 bits blue (the pattern), 256 px white.
png -size 16x16 xc:lime png32:"$work/m16.png"
png -size 32x32 xc:maroon png32:"$work/m32-4.png"
png -size 256x256 xc:white png32:"$work/m256.png"
icotool -c -o multi.ico -b 4 "$work/m32-4.png" -b 32 "$work/m16.png" \
    -b 32 "$work/icon.png" -r "$work/m256.png"

# iconFile WIDTH HEIGHT BITS IMAGE-BYTES: the directory and info header of a one-image icon.
iconFile() {
    echo 0000 0100 0100
    printf '%02x%02x0000' "$1" "$2"; le16 1; le16 "$3"; le32 "$4"; le32 22
    le32 40; le32 "$1"; le32 $((2 * $2)); le16 1; le16 "$3"; le32 0; le32 $(($4 - 40))
    le32 0; le32 0; le32 0; le32 0
}
# 24 bits, 2 x 2, bottom row first. Top: red (opaque), black with mask (transparent).
# Bottom: white and lime with mask, which invert the background.
{
    iconFile 2 2 24 $((40 + 2 * 8 + 2 * 4))
    echo ffffff 00ff00 0000   0000ff 000000 0000
    echo c0000000 40000000
} | unhex >icon-invert.ico
# 32 bits whose alpha bytes are all 0, so the mask applies. Top: red, black with mask.
# Bottom: blue, white with mask.
{
    iconFile 2 2 32 $((40 + 2 * 8 + 2 * 4))
    echo ff000000 ffffff00   0000ff00 00000000
    echo 40000000 40000000
} | unhex >icon-zeroalpha.ico
# 16 bits 5-5-5, no transparency. Top: red, lime. Bottom: blue, white.
{
    iconFile 2 2 16 $((40 + 2 * 4 + 2 * 4))
    le16 0x001F; le16 0x7FFF; le16 0x7C00; le16 0x03E0
    echo 00000000 00000000
} | unhex >icon16.ico

# --- Metafiles -------------------------------------------------------------------------------
# record FUNCTION PARAMS...: one record, its size in words first.
record() {
    local fn=$1
    shift
    le32 $((3 + $#)); le16 "$fn"
    for p in "$@"; do le16 "$p"; done
}
# records EXTENT MIDDLE END, in logical units: red square (0,0)-(MIDDLE,MIDDLE), white square
# (MIDDLE,0)-(END,MIDDLE), blue square (MIDDLE,MIDDLE)-(END,END), no outline, nothing elsewhere.
records() {
    record 0x020B 0 0                      # SetWindowOrg y x
    record 0x020C "$1" "$1"                # SetWindowExt y x
    record 0x02FA 5 0 0 0 0                # CreatePenIndirect: null pen
    record 0x012D 0                        # SelectObject
    record 0x02FC 0 0x00FF 0 0             # CreateBrushIndirect: solid red
    record 0x012D 1
    record 0x041B "$2" "$2" 0 0            # Rectangle bottom right top left
    record 0x02FC 0 0 0x00FF 0             # CreateBrushIndirect: solid blue
    record 0x012D 2
    record 0x041B "$3" "$3" "$2" "$2"
    record 0x02FC 0 0xFFFF 0x00FF 0        # CreateBrushIndirect: solid white
    record 0x012D 3
    record 0x041B "$2" "$3" 0 "$2"
}
# pictureAndText: a 2 x 2 bitmap stretched over (720,0)-(960,240), lime and yellow over magenta
# and black, then "<&>" in black from (960,0), in units of 1/1440 inch.
pictureAndText() {
    # StretchDIB: raster operation, colour use, source h w y x, destination h w y x, the DIB
    le32 $((3 + 11 + 28)); le16 0x0F43
    for p in 0x0020 0x00CC 0 2 2 0 0 240 240 0 720; do le16 $p; done
    le32 40; le32 2; le32 2; le16 1; le16 24; le32 0; le32 16; le32 0; le32 0; le32 0; le32 0
    echo ff00ff 000000 0000   00ff00 00ffff 0000
    # CreateFontIndirect: height, width, escapement, orientation, weight, flags, "Arial"
    record 0x02FB 240 0 0 0 400 0 0 0 0 0x7241 0x6169 0x006C 0 0 0 0 0 0 0 0 0 0 0 0 0
    record 0x012D 4
    record 0x0209 0 0                      # SetTextColor black
    record 0x0102 1                        # SetBkMode transparent
    record 0x0521 3 0x263C 0x003E 0 960    # TextOut count "<&>" y x
}
# metaHeader WORDS BIGGEST: the 18-byte header; 5 objects, BIGGEST words the largest record.
metaHeader() {
    le16 1; le16 9; le16 0x0300; le32 "$1"; le16 5; le32 "$2"; le16 0
}
# words RECORDS...: the file's size in words, header included.
words() { echo $(($("$@" | unhex | wc -c) / 2 + 9)); }
placeableRecords() {
    records 1440 240 720
    pictureAndText
    record 0x0000                          # end of file
}
plainRecords() {
    records 24 12 24
    record 0x0000
}

# Placeable: frame 1440 x 960 at 1440 units per inch, 96 x 64 pixels at 96 dots per inch; the
# squares cover pixels 0-15 and 16-47, the bitmap 48-63 across the top, the text from 64.
{
    key=(0xCDD7 0x9AC6 0 0 0 1440 960 1440 0 0)
    sum=0
    for w in "${key[@]}"; do le16 "$w"; sum=$((sum ^ w)); done
    le16 $sum
    metaHeader "$(words placeableRecords)" 42
    placeableRecords
} | unhex >placeable.wmf
# Plain: no frame, so libwmf sizes it from the drawn extent, taking these units as points:
# 24 of them (plus its half-unit margins) make 33 x 33 pixels, the squares about 16 each.
{
    metaHeader "$(words plainRecords)" 8
    plainRecords
} | unhex >plain.wmf

ls -l
