#!/bin/sh
# Build step: turns a UTF-8 text file with LF line ends into UTF-16LE with a
# byte-order mark and CR LF line ends, the form the language files ship in.
# iconv refuses input that is not UTF-8.
set -eu
[ $# -eq 2 ] || { echo "usage: $0 INPUT OUTPUT" >&2; exit 2; }
tmp="$2.part"
trap 'rm -f "$tmp"' EXIT
{ printf '\357\273\277'; tr -d '\r' < "$1" | sed 's/$/\r/'; } | iconv -f UTF-8 -t UTF-16LE > "$tmp"
mv "$tmp" "$2"
