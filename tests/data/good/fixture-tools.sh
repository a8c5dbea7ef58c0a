# Sourced by the fixture scripts: a scratch folder and the hex writers for files made by hand.
CONVERT=/usr/bin/convert
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

le16() { printf '%02x%02x' $(($1 & 0xFF)) $((($1 >> 8) & 0xFF)); }
le32() { le16 $(($1 & 0xFFFF)); le16 $((($1 >> 16) & 0xFFFF)); }
unhex() { tr -d ' \n' | xxd -r -p; }
