#!/usr/bin/env bash
# Installs a build into a temporary DESTDIR under the prefix /usr, as the Debian package does,
# and checks what lands there: exactly the expected files, programs that run, a desktop entry
# that opens pictures, icons of the size their folder names, readable manual pages and the
# Debian documents. desktop-file-validate, appstreamcli and man check them when installed.
# Usage: tests/install/install.sh BUILD_DIR APP_ID VERSION
set -uo pipefail

build=$1 app_id=$2 version=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
root=$work/usr
export QT_QPA_PLATFORM=offscreen

. "$(dirname "$0")/../support/checks.sh"

if ! DESTDIR=$work cmake --install "$build" --prefix /usr >"$work/install.log" 2>&1; then
    cat "$work/install.log"
    echo "not ok - cmake --install failed"
    exit 1
fi

sizes=(16 32 48 64 128 256)
expected() {
    echo usr/bin/pixmint
    echo usr/bin/pixmint-icons
    echo usr/libexec/pixmint/pixmint-icons-full
    echo usr/libexec/pixmint/pixmint-reader
    echo "usr/share/applications/$app_id.desktop"
    echo usr/share/doc/pixmint/changelog.gz
    echo usr/share/doc/pixmint/copyright
    for s in "${sizes[@]}"; do echo "usr/share/icons/hicolor/${s}x$s/apps/$app_id.png"; done
    echo usr/share/man/man1/pixmint-icons.1.gz
    echo usr/share/man/man1/pixmint.1.gz
    echo "usr/share/metainfo/$app_id.metainfo.xml"
    echo usr/share/thumbnailers/pixmint.thumbnailer
}
installed() { (cd "$work" && find . -type f ! -name install.log | sed 's|^\./||' | sort); }
same_files() {
    diff <(expected | sort) <(installed) >&2
}
check "exactly the programs, entry, metadata, icons, manual pages and documents" same_files

runs() {
    [ -x "$root/bin/pixmint" ] && [ -x "$root/bin/pixmint-icons" ] &&
        [ "$("$root/bin/pixmint" --version)" = "pixmint $version" ] &&
        "$root/bin/pixmint" --help | grep -q '^Usage: pixmint \[FILE\]' &&
        "$root/bin/pixmint-icons" --help | grep -q '^Usage: pixmint-icons list FILE'
}
check "both programs run and answer --help and --version" runs

# The editor finds its picture reader from its own folder; a metafile comes back as 32 x 32.
reads_pictures() {
    [ "$(readlink -f "$root/bin/../libexec/pixmint/pixmint-reader")" = \
        "$root/libexec/pixmint/pixmint-reader" ] &&
        "$root/libexec/pixmint/pixmint-reader" metafile 32 32 ffffff \
            <"$(dirname "$0")/../data/good/placeable.wmf" | head -c 8 | od -An -tx1 |
        grep -q '20 00 00 00 20 00 00 00'
}
check "the picture reader is installed where the programs look and reads a metafile" \
    reads_pictures

# A file manager runs the thumbnailer's Exec line with %s, %i and %o put in; every type it names
# must be one this machine's MIME database knows.
thumbnailer=$root/share/thumbnailers/pixmint.thumbnailer
thumbnails() {
    grep -qx 'TryExec=pixmint-icons' "$thumbnailer" || return 1
    local types command
    types=$(sed -n 's/^MimeType=//p' "$thumbnailer" | tr ';' ' ')
    [ -n "$types" ] || return 1
    for type in $types; do [ -f "/usr/share/mime/$type.xml" ] || return 1; done
    command=$(sed -n 's/^Exec=//p' "$thumbnailer")
    command=${command//%s/48}
    command=${command//%i/$(dirname "$0")/../data/good/resources/groups64.dll}
    command=${command//%o/$work/thumbnail.png}
    PATH=$root/bin:$PATH eval "$command" &&
        [ "$(head -c 26 "$work/thumbnail.png" | od -An -tx1 | tr -d ' \n')" = \
            89504e470d0a1a0a0000000d494844520000003000000030080$((6)) ] &&
        rm "$work/thumbnail.png"
}
check "the thumbnailer entry names known types and its Exec line writes a PNG" thumbnails
# Every other command is the full tool's, which the small one finds in libexec.
hands_on() {
    local out status
    out=$("$root/bin/pixmint-icons" frobnicate 2>&1)
    status=$?
    [ "$status" -eq 2 ] && grep -q '^Usage: pixmint-icons list FILE' <<<"$out"
}
check "the small pixmint-icons hands other commands to the full tool" hands_on

wrong_command_lines() {
    local status
    "$root/bin/pixmint" --frobnicate 2>/dev/null
    status=$?
    [ "$status" -eq 2 ] || return 1
    "$root/bin/pixmint" one.ico two.ico 2>/dev/null
    [ $? -eq 2 ]
}
check "a wrong command line ends with status 2 before any window shows" wrong_command_lines

desktop=$root/share/applications/$app_id.desktop
opens_pictures() {
    grep -qx 'Exec=pixmint %f' "$desktop" && grep -qx "Icon=$app_id" "$desktop" &&
        for type in image/vnd.microsoft.icon image/bmp image/gif image/wmf; do
            grep -q "^MimeType=.*$type;" "$desktop" || return 1
        done
}
check "the desktop entry opens a file and offers itself for icons, bitmaps, GIFs, metafiles" \
    opens_pictures
if command -v desktop-file-validate >/dev/null; then
    check "desktop-file-validate accepts the entry" desktop-file-validate "$desktop"
fi
if command -v appstreamcli >/dev/null; then
    check "appstreamcli accepts the metadata" \
        appstreamcli validate --no-net "$root/share/metainfo/$app_id.metainfo.xml"
fi

# A PNG's width and height are the big-endian words at bytes 16 and 20.
png_size() { od -An -tu1 -j16 -N8 "$1" | awk '{ print $3 * 256 + $4 "x" $7 * 256 + $8 }'; }
icon_sizes() {
    local s
    for s in "${sizes[@]}"; do
        [ "$(png_size "$root/share/icons/hicolor/${s}x$s/apps/$app_id.png")" = "${s}x$s" ] ||
            return 1
    done
}
check "each icon is as large as its folder says" icon_sizes

manual_pages() {
    local page out
    for page in pixmint pixmint-icons; do
        gzip -dc "$root/share/man/man1/$page.1.gz" | head -n1 | grep -q '^\.TH ' || return 1
        command -v man >/dev/null || continue
        out=$(MANWIDTH=80 man --warnings -l "$root/share/man/man1/$page.1.gz" 2>&1 >/dev/null)
        [ -z "$out" ] || { echo "$out" >&2; return 1; }
    done
}
check "the manual pages are compressed troff that man reads without a warning" manual_pages

debian_documents() {
    head -n1 "$root/share/doc/pixmint/copyright" |
        grep -qx 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' &&
        grep -q '^License: GPL-3+$' "$root/share/doc/pixmint/copyright" &&
        gzip -dc "$root/share/doc/pixmint/changelog.gz" | head -n1 |
        grep -q "^pixmint ($version) "
}
check "a DEP-5 copyright file and a Debian changelog of this version" debian_documents

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
