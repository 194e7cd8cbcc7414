# Sourced by tools/third_party/prepare.sh: Debian source packages unpacked under $THIRD.
#
#   fetch_debian_source PACKAGE DIR_GLOB   unpacks PACKAGE once; prints nothing
#   debian_source_dir DIR_GLOB             the unpacked tree (e.g. 'tiff-*'), or false
#
# Needs: THIRD, log.

as_root() {
  if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi
}

# True when some apt source list already offers source packages.
have_deb_src() {
  local f
  for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [ -f "$f" ] && grep -Eq '^[[:space:]]*deb-src[[:space:]]' "$f" && return 0
  done
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] && grep -Eiq '^Types:.*deb-src' "$f" && return 0
  done
  return 1
}

# A deb-src twin of every Debian stanza of the machine's deb822 list, security suites left
# out (their source files are not always there), and likewise for one-line lists.
write_deb_src() {
  local out=/etc/apt/sources.list.d/lumivex-deb-src.sources tmp
  tmp=$(mktemp)
  local f
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] || continue
    awk '
      function flush() {
        if (types ~ /(^|[ \t])deb([ \t]|$)/ && uris != "" && suites != "" && uris !~ /security/) {
          n = split(suites, s, /[ \t]+/); kept = ""
          for (i = 1; i <= n; i++) if (s[i] != "" && s[i] !~ /security/) kept = kept " " s[i]
          if (kept != "") {
            printf "Types: deb-src\nURIs: %s\nSuites:%s\nComponents: %s\n", uris, kept, comps
            if (signed != "") printf "Signed-By: %s\n", signed
            printf "\n"
          }
        }
        types = uris = suites = comps = signed = ""
      }
      /^[ \t]*#/ { next }
      /^[ \t]*$/ { flush(); next }
      /^Types:/ { sub(/^Types:[ \t]*/, ""); types = $0; next }
      /^URIs:/ { sub(/^URIs:[ \t]*/, ""); uris = $0; next }
      /^Suites:/ { sub(/^Suites:[ \t]*/, ""); suites = $0; next }
      /^Components:/ { sub(/^Components:[ \t]*/, ""); comps = $0; next }
      /^Signed-By:/ { sub(/^Signed-By:[ \t]*/, ""); signed = $0; next }
      END { flush() }
    ' "$f" >>"$tmp"
  done
  for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [ -f "$f" ] || continue
    grep -E '^[[:space:]]*deb[[:space:]]' "$f" | grep -v security |
      sed -E 's/^[[:space:]]*deb[[:space:]]/deb-src /' >>"$tmp.list" || true
  done
  if [ -s "$tmp" ]; then
    as_root install -m 0644 "$tmp" "$out"
  elif [ -s "$tmp.list" ]; then
    as_root install -m 0644 "$tmp.list" /etc/apt/sources.list.d/lumivex-deb-src.list
  else
    rm -f "$tmp" "$tmp.list"
    log "no Debian source list to derive a deb-src entry from"
    return 1
  fi
  rm -f "$tmp" "$tmp.list"
}

debian_source_dir() {
  local d
  for d in "$THIRD"/$1/; do
    [ -f "$d/.unpacked" ] && { printf '%s' "${d%/}"; return 0; }
  done
  return 1
}

fetch_debian_source() {
  local package=$1 glob=$2
  debian_source_dir "$glob" >/dev/null && return 0
  if ! have_deb_src; then
    log "adding a deb-src entry for the machine's Debian suites"
    write_deb_src
  fi
  log "fetching Debian's $package source package"
  # apt-get source needs the source index; refresh it when it is not there yet.
  if ! apt-get source --print-uris "$package" >/dev/null 2>&1; then
    as_root apt-get update -qq
  fi
  local dl d
  dl=$(mktemp -d "$THIRD/.fetch.XXXXXX")
  (cd "$dl" && apt-get source -qq "$package" >/dev/null)
  d=$(find "$dl" -mindepth 1 -maxdepth 1 -type d -name "$glob" | head -n 1)
  [ -n "$d" ] || { log "apt-get source $package gave no source tree"; rm -rf "$dl"; return 1; }
  touch "$d/.unpacked"
  rm -rf "${THIRD:?}/$(basename "$d")"
  mv "$d" "$THIRD/"
  rm -rf "$dl"
}
