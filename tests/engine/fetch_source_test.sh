#!/usr/bin/env bash
# The private deb-src entries fetch-source.sh derives from apt sources
# files of both forms, and its refusal when there is no Debian entry.
#   fetch_source_test.sh <path of fetch-source.sh>
set -euo pipefail

script=$1
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
failed=0
key=/usr/share/keyrings/debian-archive-keyring.gpg
other=/usr/share/keyrings/debian-archive-bookworm-stable.gpg

# expect <name> <expected output> <files...>
expect() {
  local name=$1 want=$2 got
  shift 2
  got=$("$script" --print-sources "$@" 2>&1) || got="exit $?: $got"
  if [ "$got" != "$want" ]; then
    printf 'FAILED %s\n--- expected\n%s\n--- got\n%s\n' "$name" "$want" "$got"
    failed=1
  else
    echo "ok $name"
  fi
}

cat >"$dir/archive.sources" <<EOF
# The archive and its security suite, two mirrors for the first.
Types: deb
URIs: http://one.example/debian http://two.example/debian
Suites: bookworm bookworm-updates
# a comment inside the paragraph
Components: main contrib
Signed-By: $key

types: deb deb-src
uris: http://security.example/debian-security
suites: bookworm-security
components: main
check-valid-until: no

Types: deb
URIs: http://off.example/debian
Suites: bookworm
Components: main
Enabled: no

Types: deb-src
URIs: http://src-only.example/debian
Suites: bookworm
Components: main

Types: deb
URIs: http://vendor.example/apt
Suites: bookworm
Components: main
Signed-By: /etc/apt/keyrings/vendor.gpg

Types: deb
URIs: http://inline.example/apt
Suites: stable
Components: main
Signed-By:
 -----BEGIN PGP PUBLIC KEY BLOCK-----
 .
 mQINBGN-not-a-real-key
 -----END PGP PUBLIC KEY BLOCK-----
EOF

cat >"$dir/extra.list" <<EOF
# deb http://commented.example/debian bookworm main
deb [arch=amd64 signed-by=$other] http://mirror.example/debian bookworm main non-free-firmware
deb http://mirror.example/debian bookworm-backports main # trailing comment
deb-src http://mirror.example/debian bookworm main
deb [ signed-by=/etc/apt/keyrings/vendor.gpg ] https://vendor.example/apt stable main
deb http://flat.example/repo ./
EOF

expect "both forms, Debian entries only" "\
deb-src [signed-by=$key] http://one.example/debian bookworm main contrib
deb-src [signed-by=$key] http://one.example/debian bookworm-updates main contrib
deb-src [signed-by=$key] http://two.example/debian bookworm main contrib
deb-src [signed-by=$key] http://two.example/debian bookworm-updates main contrib
deb-src [signed-by=$key check-valid-until=no] http://security.example/debian-security bookworm-security main
deb-src [signed-by=$other] http://mirror.example/debian bookworm main non-free-firmware
deb-src [signed-by=$key] http://mirror.example/debian bookworm-backports main
deb-src [signed-by=$key] http://flat.example/repo ./" "$dir/archive.sources" "$dir/extra.list"

cat >"$dir/vendor.list" <<EOF
deb [signed-by=/etc/apt/keyrings/vendor.gpg] https://vendor.example/apt stable main
EOF
expect "no Debian entry" "exit 1: fetch-source: no deb entry of the Debian archive in $dir/vendor.list, so no place to fetch the 7zip source from; add one (for example in /etc/apt/sources.list.d/), then build again" "$dir/vendor.list"

# The machine's sources as apt's configuration names them: here a private
# configuration without a Debian entry. Nothing is fetched.
mkdir -p "$dir/etc/parts"
cp "$dir/vendor.list" "$dir/etc/parts/"
printf 'Dir::Etc::SourceList "%s";\nDir::Etc::SourceParts "%s";\n' "$dir/etc/none.list" "$dir/etc/parts" >"$dir/apt.conf"
if out=$(APT_CONFIG=$dir/apt.conf "$script" "$dir/dest" 1.0 2>&1); then
  printf 'FAILED refusal: fetch succeeded\n%s\n' "$out"
  failed=1
elif [[ "$out" != *"no deb entry of the Debian archive in this machine's apt sources"* ]] || [ -e "$dir/dest" ]; then
  printf 'FAILED refusal\n%s\n' "$out"
  failed=1
else
  echo "ok refusal"
fi
exit "$failed"
