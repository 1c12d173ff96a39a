#!/usr/bin/env bash
# Checks DIR/krv2060_VERSION_<arch>.deb without installing it: the control
# fields, the files, the desktop entry, that every library the programs link
# comes from a package in Depends, the extracted programs answering --version
# (and --help in English, so the translation is in the build), the manual
# pages naming every option the programs' help names, the copyright file and
# the changelog, and lintian finding no error and no warning.
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
doc=$root/usr/share/doc/krv2060
check "README under /usr/share/doc/krv2060" test -s "$doc/README.md"

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

# The manual pages: gzipped, and each option that a program's help names is
# in its page (as roff writes it, "\-\-system\-block").
man1=$root/usr/share/man/man1
for f in krv2060 krv2060-sim; do
  check "manual page $f.1.gz is gzipped" gzip -t "$man1/$f.1.gz"
done
# The window's help, each command's, and the simulator's.
help_of() {
  if [ "$1" = krv2060-sim ]; then
    "$root/usr/bin/krv2060-sim" --help
  else
    XDG_CONFIG_HOME=$root/config "$root/usr/bin/krv2060" --lang en "${@:2}" --help
  fi
}
documents_options() { # documents_options PROGRAM [COMMAND]
  local text page ok=0 option
  text=$(help_of "$@") || { echo "  $* --help failed"; return 1; }
  page=$(gzip -dc "$man1/$1.1.gz") || return 1
  for option in $(grep -oE -- '--[a-z][a-z-]*' <<<"$text" | sort -u); do
    if ! grep -qF -- "${option//-/\\-}" <<<"$page"; then
      echo "  $option (in ${*} --help) is not in $1.1"
      ok=1
    fi
  done
  return $ok
}
check "krv2060.1 names every option of krv2060 --help" documents_options krv2060
for command in scan apply backup compare; do
  check "krv2060.1 names every option of krv2060 $command --help" \
    documents_options krv2060 "$command"
done
check "krv2060-sim.1 names every option of krv2060-sim --help" documents_options krv2060-sim

# The copyright file in the machine-readable format; the changelog (Debian
# names a native package's, one whose version has no revision,
# changelog.gz) with an entry for this version first.
check "copyright file is machine-readable" \
  equals "$(head -n 1 "$doc/copyright" 2>/dev/null)" \
  "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/"
if [[ $version == *-* ]]; then changelog=$doc/changelog.Debian.gz; else changelog=$doc/changelog.gz; fi
newest_entry() {
  gzip -dc "$changelog" >"$root/changelog" || return 1
  equals "$(dpkg-parsechangelog -l "$root/changelog" -S Version)" "$version"
}
check "${changelog#"$root"} starts with version $version" newest_entry

# lintian, as Debian's archive would check the package.
lintian_clean() {
  local out status
  command -v lintian >/dev/null || { echo "  lintian is missing (scripts/install-deps --package)"; return 1; }
  out=$(lintian --fail-on error,warning "$deb" 2>&1)
  status=$?
  out=$(grep -v '^running with root privileges is not recommended!$' <<<"$out")
  [ -z "$out" ] || sed 's/^/  /' <<<"$out"
  [ "$status" -eq 0 ]
}
check "lintian: no error, no warning" lintian_clean

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
