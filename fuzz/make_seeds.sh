#!/usr/bin/env bash
# Makes the fuzz target's seed corpus with the real 7zz: one small archive
# for each method, plain and with the password "fuzz" (with and without
# encrypted headers), solid and not, over a tree with empty files, empty
# folders and long non-ASCII names; plus an archive behind some leading
# bytes, as a self-extracting file carries it.
#   make_seeds.sh <7zz> <dest>
set -euo pipefail

sevenzip=$1
dest=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

tree=$work/tree
long_dir=$(printf 'd%.0s' {1..90})_$(printf 'é%.0s' {1..20})_ß
long_file=$(printf 'n%.0s' {1..150})_$(printf '名%.0s' {1..20})_ü.txt
mkdir -p "$tree/empty folder" "$tree/nested/deeper/empty" "$tree/$long_dir"
printf 'hello\n' >"$tree/hello.txt"
: >"$tree/empty.txt"
: >"$tree/nested/zero"
printf 'line %d of a text that repeats\n' {1..40} >"$tree/nested/deeper/text.txt"
head -c 200 /dev/urandom >"$tree/nested/random.bin"
printf 'long\n' >"$tree/$long_dir/$long_file"

rm -rf "$dest"
mkdir -p "$dest"
# Small dictionaries and model sizes keep each run of the target quick.
declare -A methods=(
  [lzma2]=LZMA2:d=64k [lzma]=LZMA:d=64k [ppmd]=PPMd:mem=1m:o=4
  [bzip2]=BZip2 [deflate]=Deflate [copy]=Copy
)
make() {
  (cd "$tree" && "$sevenzip" a -bd -bso0 -bsp0 -y "$dest/$1.7z" "${@:2}" -- *)
}
for name in "${!methods[@]}"; do
  m=-m0=${methods[$name]}
  # Plain headers unpacked in the solid case, so that mutations reach the
  # header structure itself rather than its compressed form.
  make "$name-plain-solid" "$m" -ms=on -mhc=off
  make "$name-plain-files" "$m" -ms=off
  make "$name-enc-solid" "$m" -ms=on -pfuzz
  make "$name-enc-files" "$m" -ms=off -pfuzz
  make "$name-enchdr-solid" "$m" -ms=on -pfuzz -mhe=on
  make "$name-enchdr-files" "$m" -ms=off -pfuzz -mhe=on
done
(cd "$tree" && "$sevenzip" a -bd -bso0 -bsp0 -y "$dest/empties.7z" -- empty.txt "empty folder" nested/zero)
{ head -c 1500 /dev/zero; cat "$dest/lzma2-enc-solid.7z"; } >"$dest/behind-leading-bytes.7z"
: >"$dest/.stamp"
