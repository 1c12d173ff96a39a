#!/usr/bin/env bash
# Checks DIR/krv2060_VERSION_<arch>.deb without installing it: the control
# fields, the files, the desktop entry, that every library the programs link
# comes from a package in Depends, and the extracted programs answering
# --version (and --help in English, so the translation is in the build).
#   test_deb.sh DIR VERSION    exits 77 (skipped) when there is no package
set -uo pipefail
dir=$1
version=$2
deb=$dir/krv2060_${version}_$(dpkg --print-architecture).deb
if [ ! -f "$deb" ]; then
  echo "SKIPPED: no $deb (scripts/package makes it)"
  exit 77
fi

passed=0
failed=0
check() { # check DESCRIPTION COMMAND...
  local what=$1
  shift
  if "$@"; then
    passed=$((passed + 1))
    echo "ok: $what"
  else
    failed=$((failed + 1))
    echo "FAILED: $what"
  fi
}
equals() { [ "$1" = "$2" ] || { echo "  got '$1', expected '$2'"; false; }; }

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root" || { echo "FAILED: dpkg-deb -x $deb"; exit 1; }
control=$(dpkg-deb -f "$deb")
field() { sed -n "s/^$1: //p" <<<"$control"; }
depends=$(field Depends)
echo "Depends: $depends"

check "package name" equals "$(field Package)" krv2060
check "version" equals "$(field Version)" "$version"
check "section, maintainer and description set" \
  test -n "$(field Section)" -a -n "$(field Maintainer)" -a -n "$(field Description)"
check "Depends names Qt 6" grep -q 'libqt6' <<<"$depends"

for f in usr/bin/krv2060 usr/bin/krv2060-sim; do
  check "$f is executable" test -x "$root/$f"
done
check "README under /usr/share/doc/krv2060" test -s "$root/usr/share/doc/krv2060/README.md"

desktop=$root/usr/share/applications/krv2060.desktop
check "desktop entry is valid" desktop-file-validate "$desktop"
check "desktop entry starts a packaged program" \
  test -x "$root/usr/bin/$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")"
icon=$(sed -n 's/^Icon=//p' "$desktop")
has_icon() { compgen -G "$root/usr/share/icons/hicolor/*/apps/$1.*" >/dev/null; }
check "desktop entry's icon is in hicolor" has_icon "$icon"

# dpkg-shlibdeps' work: each library a program links directly belongs to a
# package that Depends names (with or without a version).
depends_names=$(tr ',|' '\n' <<<"$depends" | sed 's/(.*//; s/[[:space:]]//g')
links=() # "program library path" for each library a program links directly
for f in krv2060 krv2060-sim; do
  resolved=$(ldd "$root/usr/bin/$f")
  for lib in $(objdump -p "$root/usr/bin/$f" | awk '$1 == "NEEDED" { print $2 }'); do
    links+=("$f $lib $(awk -v l="$lib" '$1 == l { print $3 }' <<<"$resolved")")
  done
done
# One dpkg query for all (it is slow); /lib and /usr/lib are one on Debian 12,
# and the package may name the library under either.
declare -A owner
candidates=()
for l in "${links[@]}"; do
  path=${l##* }
  candidates+=("$path" "${path#/usr}" "/usr${path}")
done
while IFS= read -r line; do
  owner[${line#*: }]=${line%%:*}
done < <(dpkg -S "${candidates[@]}" 2>/dev/null | grep -v '^diversion')
linked_from_depends() {
  local ok=0 l path pkg
  for l in "${links[@]}"; do
    [ "${l%% *}" = "$1" ] || continue
    path=${l##* }
    pkg=${owner[$path]:-${owner[${path#/usr}]:-${owner[/usr$path]:-}}}
    if [ -z "$pkg" ] || ! grep -Fxq "$pkg" <<<"$depends_names"; then
      echo "  $l: from '${pkg:-no package}', which Depends does not name"
      ok=1
    fi
  done
  return $ok
}
for f in krv2060 krv2060-sim; do
  check "$f: every linked library's package in Depends" linked_from_depends "$f"
done

check "krv2060-sim --version" equals "$("$root/usr/bin/krv2060-sim" --version)" \
  "krv2060-sim $version"
check "krv2060 --version (offscreen)" \
  equals "$(QT_QPA_PLATFORM=offscreen "$root/usr/bin/krv2060" --version)" "krv2060 $version"
check "krv2060 --lang en --help is English" \
  equals "$(XDG_CONFIG_HOME=$root/config "$root/usr/bin/krv2060" --lang en --help | head -n 1)" \
  "Usage: krv2060 [options]"

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
