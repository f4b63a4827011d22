#!/usr/bin/env bash
# Fetches the 7-Zip source as Debian ships it into a folder of the build tree,
# through a private apt configuration (its own sources list, lists, cache and
# status), so the machine's apt sources are never read or changed.
#   fetch-source.sh <dest> <version>
# On success <dest>/source.stamp names the unpacked source folder. Run again,
# it does nothing once the stamp exists.
set -euo pipefail

dest=$1
version=$2
keyring=/usr/share/keyrings/debian-archive-keyring.gpg

if [ -f "$dest/source.stamp" ] && [ -d "$(cat "$dest/source.stamp")" ]; then
  exit 0
fi
command -v dpkg-source >/dev/null || { echo "fetch-source: dpkg-source missing (run scripts/setup)" >&2; exit 1; }
[ -r "$keyring" ] || { echo "fetch-source: $keyring missing" >&2; exit 1; }

apt_dir=$dest/apt
rm -rf "$apt_dir" "$dest/unpack"
mkdir -p "$apt_dir"/etc/apt.conf.d "$apt_dir"/etc/preferences.d "$apt_dir"/etc/sources.list.d \
  "$apt_dir"/etc/trusted.gpg.d "$apt_dir"/lists/partial "$apt_dir"/cache/archives/partial "$dest/unpack"
: >"$apt_dir/status"

cat >"$apt_dir/etc/sources.list" <<LIST
deb-src [signed-by=$keyring] http://deb.debian.org/debian bookworm main
deb-src [signed-by=$keyring] http://deb.debian.org/debian bookworm-updates main
deb-src [signed-by=$keyring] http://deb.debian.org/debian-security bookworm-security main
LIST

cat >"$apt_dir/apt.conf" <<CONF
Dir::Etc "$apt_dir/etc";
Dir::Etc::main "$apt_dir/etc/apt.conf";
Dir::Etc::Parts "$apt_dir/etc/apt.conf.d";
Dir::Etc::SourceList "$apt_dir/etc/sources.list";
Dir::Etc::SourceParts "$apt_dir/etc/sources.list.d";
Dir::Etc::Preferences "$apt_dir/etc/preferences";
Dir::Etc::PreferencesParts "$apt_dir/etc/preferences.d";
Dir::Etc::Trusted "$apt_dir/etc/trusted.gpg";
Dir::Etc::TrustedParts "$apt_dir/etc/trusted.gpg.d";
Dir::State "$apt_dir";
Dir::State::Lists "$apt_dir/lists";
Dir::State::status "$apt_dir/status";
Dir::Cache "$apt_dir/cache";
Debug::NoLocking "true";
APT::Sandbox::User "$(id -un)";
CONF
export APT_CONFIG=$apt_dir/apt.conf

apt-get -q update >"$apt_dir/update.log" 2>&1 || { cat "$apt_dir/update.log" >&2; exit 1; }

cd "$dest/unpack"
if ! apt-get -q source "7zip=$version" >"$apt_dir/source.log" 2>&1; then
  echo "fetch-source: 7zip $version is not offered; taking the newest 7zip source of the suites" >&2
  apt-get -q source 7zip >"$apt_dir/source.log" 2>&1 || { cat "$apt_dir/source.log" >&2; exit 1; }
fi

src=$(find "$dest/unpack" -mindepth 1 -maxdepth 1 -type d -name '7zip-*' | head -n 1)
[ -n "$src" ] && [ -f "$src/CPP/7zip/Bundles/Format7zExtract/makefile" ] || { echo "fetch-source: unpacked source not found" >&2; exit 1; }
echo "$src" >"$dest/source.stamp"
