#!/usr/bin/env bash
# Fetches the 7-Zip source as Debian ships it into a folder of the build tree,
# through a private apt configuration (its own sources list, lists, cache and
# status), so the machine's apt configuration is never changed.
#   fetch-source.sh <dest> <version>
#   fetch-source.sh --print-sources [FILE...]
# On success <dest>/source.stamp names the unpacked source folder. Run again,
# it does nothing once the stamp exists.
#
# The private sources list comes from the machine's own: each deb entry of
# the Debian archive (one whose Release files a Debian archive keyring
# verifies: its Signed-By names one, or it has none and so relies on the
# default keyring) becomes a deb-src entry with the same URIs, suites,
# components and keyring. --print-sources prints those entries, for the
# given sources files (one-line form, or deb822 for *.sources) or else for
# the machine's, and fetches nothing.
set -euo pipefail

keyring=/usr/share/keyrings/debian-archive-keyring.gpg

# Both forms go through one awk program; a deb822 file is read as paragraphs
# of fields ("Name: value", continuation lines indented), a one-line file as
# "deb [options] uri suite [component...]".
derive_awk='
function is_debian_key(k) { return k ~ /(^|\/)debian-archive-[^\/ ]*\.(gpg|asc|pgp)$/ }
function emit(uris, suites, comps, key, valid,    nu, ns, u, s, i, j, opts, line) {
  if (key == "") key = default_key
  if (!is_debian_key(key)) return
  opts = "signed-by=" key
  if (valid != "") opts = opts " check-valid-until=" valid
  nu = split(uris, u, " ")
  ns = split(suites, s, " ")
  for (i = 1; i <= nu; i++)
    for (j = 1; j <= ns; j++) {
      line = "deb-src [" opts "] " u[i] " " s[j]
      # A suite ending in "/" is a flat repository: it has no components.
      if (s[j] !~ /\/$/ && comps != "") line = line " " comps
      print line
    }
}
function trim(t) { sub(/^[ \t]+/, "", t); sub(/[ \t]+$/, "", t); return t }
function flush() {
  if ((" " types " ") ~ / deb / && tolower(enabled) != "no" && uris != "" && suites != "")
    emit(uris, suites, comps, signed, valid)
  types = uris = suites = comps = signed = valid = enabled = field = ""
}
FNR == 1 { flush(); deb822 = FILENAME ~ /\.sources$/ }
deb822 && /^[ \t]*#/ { next }
deb822 && /^[ \t]*$/ { flush(); next }
deb822 && /^[ \t]/ {
  # An embedded key is not a keyring file: the entry does not count.
  if (field == "signed-by") signed = "(embedded key)"
  next
}
deb822 {
  i = index($0, ":")
  if (i == 0) next
  field = tolower(trim(substr($0, 1, i - 1)))
  value = trim(substr($0, i + 1))
  gsub(/[ \t]+/, " ", value)
  if (field == "types") types = value
  else if (field == "uris") uris = value
  else if (field == "suites") suites = value
  else if (field == "components") comps = value
  else if (field == "signed-by") signed = value
  else if (field == "check-valid-until") valid = value
  else if (field == "enabled") enabled = value
  next
}
{
  line = $0
  sub(/#.*/, "", line)
  line = trim(line)
  if (line !~ /^deb[ \t]/) next
  line = trim(substr(line, 4))
  key = ""; valid = ""
  if (substr(line, 1, 1) == "[") {
    close_at = index(line, "]")
    if (close_at == 0) next
    n = split(substr(line, 2, close_at - 2), o, /[ \t]+/)
    for (i = 1; i <= n; i++) {
      if (o[i] ~ /^signed-by=/) key = substr(o[i], 11)
      else if (o[i] ~ /^check-valid-until=/) valid = substr(o[i], 19)
    }
    line = trim(substr(line, close_at + 1))
  }
  n = split(line, w, /[ \t]+/)
  if (n < 2) next
  comps = ""
  for (i = 3; i <= n; i++) comps = comps (i > 3 ? " " : "") w[i]
  emit(w[1], w[2], comps, key, valid)
}
END { flush() }
'

# Prints the derived deb-src lines for the files given, else for the
# machine's own sources list and parts.
derive_sources() {
  local files=("$@")
  if [ ${#files[@]} -eq 0 ]; then
    local list="" parts=""
    eval "$(apt-config shell list Dir::Etc::SourceList/f parts Dir::Etc::SourceParts/d)"
    [ -n "$list" ] && [ -f "$list" ] && files+=("$list")
    if [ -n "$parts" ] && [ -d "$parts" ]; then
      for f in "$parts"/*.list "$parts"/*.sources; do
        [ -f "$f" ] && files+=("$f")
      done
    fi
  fi
  [ ${#files[@]} -eq 0 ] && return 0
  awk -v default_key="$keyring" "$derive_awk" "${files[@]}" | awk '!seen[$0]++'
}

no_entry() {
  local where="this machine's apt sources"
  [ -n "${1:-}" ] && where=$1
  echo "fetch-source: no deb entry of the Debian archive in $where, so no place to fetch the 7zip source from; add one (for example in /etc/apt/sources.list.d/), then build again" >&2
  exit 1
}

if [ "${1:-}" = "--print-sources" ]; then
  shift
  lines=$(derive_sources "$@")
  [ -n "$lines" ] || no_entry "${*:-}"
  printf '%s\n' "$lines"
  exit 0
fi

dest=$1
version=$2

if [ -f "$dest/source.stamp" ] && [ -d "$(cat "$dest/source.stamp")" ]; then
  exit 0
fi
command -v dpkg-source >/dev/null || { echo "fetch-source: dpkg-source missing (run scripts/setup)" >&2; exit 1; }
sources=$(derive_sources)
[ -n "$sources" ] || no_entry
# Every keyring the entries name must be there to verify them.
for key in $(printf '%s\n' "$sources" | sed -n 's/^deb-src \[signed-by=\([^] ]*\).*/\1/p' | sort -u); do
  [ -r "$key" ] || { echo "fetch-source: keyring $key missing (the Debian archive keyring package installs it)" >&2; exit 1; }
done

apt_dir=$dest/apt
rm -rf "$apt_dir" "$dest/unpack"
mkdir -p "$apt_dir"/etc/apt.conf.d "$apt_dir"/etc/preferences.d "$apt_dir"/etc/sources.list.d \
  "$apt_dir"/etc/trusted.gpg.d "$apt_dir"/lists/partial "$apt_dir"/cache/archives/partial "$dest/unpack"
: >"$apt_dir/status"

printf '%s\n' "$sources" >"$apt_dir/etc/sources.list"

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
