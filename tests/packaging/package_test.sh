#!/usr/bin/env bash
# The Debian package, built from this build and unpacked: its files where a
# system looks for them, its control data and maintainer scripts, its programs
# run from the unpacked tree, and its desktop files through their validators.
# Usage: package_test.sh BUILD_DIR SOURCE_DIR VERSION
set -euo pipefail
build=$1 source=$2 version=$3
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export LC_ALL=C

failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

if ! "${CPACK:-cpack}" -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1; then
  cat "$work/cpack.log" >&2
  exit 1
fi
debs=("$work"/out/*.deb)
deb=${debs[0]}
root=$work/root
dpkg-deb -x "$deb" "$root"
dpkg-deb -e "$deb" "$work/control"

# The layout: every file against the hand-written list; the user guide, when
# the source has one, whole.
(cd "$root" && find . ! -type d | sed 's|^\./||' | sort) >"$work/files"
grep -v '^usr/share/veldro/docs/' "$work/files" >"$work/program-files" || true
diff -u "$here/package_layout.txt" "$work/program-files" >&2 ||
  fail "the package's files are not those of package_layout.txt"
if [ -d "$source/docs/guide" ]; then
  while read -r page; do
    grep -qxF "usr/share/veldro/docs/$page" "$work/files" || fail "the guide's $page is missing"
  done < <(cd "$source/docs" && find guide -type f)
fi

# The licence statement where Debian looks for it: the program's, GPL-3.0-or-later.
grep -qxF "License: GPL-3+" "$root/usr/share/doc/veldro/copyright" ||
  fail "usr/share/doc/veldro/copyright names no GPL-3+ licence"

# The control data: the project's version, dependencies found from the
# programs' shared libraries.
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = veldro ] || fail "Package is $(field Package)"
[ "$(field Version)" = "$version" ] || fail "Version is $(field Version), not $version"
field Depends | tr ',' '\n' | sed 's/^ *//; s/ .*//' >"$work/depends"
for library in libc6 libftdi1-2 libqt6widgets6; do
  grep -qxF "$library" "$work/depends" || fail "Depends lacks $library: $(field Depends)"
done

# The maintainer scripts never fail the installation: not without their
# tools (a chroot, a small system), not when the tools fail (no udev daemon);
# and they do ask udev and the desktop's databases to reload.
mkdir "$work/no-tools" "$work/tools"
for tool in udevadm update-mime-database update-desktop-database gtk-update-icon-cache; do
  printf '#!/bin/sh\necho "%s $*" >>"%s"\nexit 1\n' "$tool" "$work/calls" >"$work/tools/$tool"
  chmod +x "$work/tools/$tool"
done
for run in "postinst configure" "postrm remove"; do
  set -- $run
  script=$work/control/$1
  [ -x "$script" ] || fail "$1 is missing or not executable"
  env -i PATH="$work/no-tools" /bin/sh "$script" "$2" || fail "$run fails without its tools"
  : >"$work/calls"
  env -i PATH="$work/tools" /bin/sh "$script" "$2" || fail "$run fails when its tools fail"
  for call in "udevadm control --reload-rules" "update-mime-database /usr/share/mime" \
    "update-desktop-database -q /usr/share/applications"; do
    grep -qxF "$call" "$work/calls" || fail "$run does not run: $call"
  done
done

# The programs run from the unpacked tree, as the build's do.
cli=$root/usr/bin/veldro-cli
[ "$("$cli" --version)" = "veldro-cli $version" ] || fail "veldro-cli --version says: $("$cli" --version)"
demo=$source/examples/demo_survey.vlf
records=$((($(stat -c %s "$demo") - 1024) / 44))
"$cli" info "$demo" >"$work/info" || fail "veldro-cli info fails"
[ "$(head -n 1 "$work/info")" = "records $records" ] || fail "veldro-cli info says: $(head -n 1 "$work/info")"
"$build/veldro-cli" info "$demo" | cmp -s - "$work/info" || fail "the packaged veldro-cli info differs from the build's"

# The desktop entry and the file kinds pass their validators, the schema being
# the one shared-mime-info carries in its own database; and they name the same
# file kinds.
desktop=$root/usr/share/applications/veldro.desktop
mime=$root/usr/share/mime/packages/veldro.xml
validation=$(desktop-file-validate --no-hints "$desktop" 2>&1) || fail "desktop-file-validate fails"
[ -z "$validation" ] || fail "desktop-file-validate: $validation"
sed -n '/^<!DOCTYPE mime-info \[/,/^\]>/p' /usr/share/mime/packages/freedesktop.org.xml |
  sed '1d;$d' >"$work/shared-mime-info.dtd"
[ -s "$work/shared-mime-info.dtd" ] || fail "no shared MIME info schema in freedesktop.org.xml"
xmllint --noout --dtdvalid "$work/shared-mime-info.dtd" "$mime" || fail "veldro.xml is not valid"
sed -n 's/^MimeType=//p' "$desktop" | tr ';' '\n' | grep . | sort >"$work/desktop-types"
grep -o 'mime-type type="[^"]*"' "$mime" | sed 's/.*="//; s/"$//' | sort >"$work/mime-types"
cmp -s "$work/desktop-types" "$work/mime-types" || fail "the desktop entry and veldro.xml name other types"
mkdir -p "$work/mime/packages"
cp "$mime" "$work/mime/packages/"
XDG_DATA_HOME=$work update-mime-database "$work/mime" >"$work/mime.log" 2>&1 || fail "update-mime-database fails"
[ ! -s "$work/mime.log" ] || fail "update-mime-database: $(cat "$work/mime.log")"
for glob in "application/x-veldro-data:*.vlf" "application/x-veldro-bru:*.bru"; do
  grep -qF ":$glob" "$work/mime/globs2" || fail "no glob $glob"
done

# The icons: each PNG of its folder's size, the SVG well formed.
for png in "$root"/usr/share/icons/hicolor/*x*/apps/veldro.png; do
  size=$(basename "$(dirname "$(dirname "$png")")")
  file -b "$png" | grep -q "^PNG image data, ${size/x/ x }," || fail "$png: $(file -b "$png")"
done
xmllint --noout "$root/usr/share/icons/hicolor/scalable/apps/veldro.svg" || fail "the SVG icon"

# The man pages: gzipped, each describing every command and option its
# program's --help lists.
for page in "$root"/usr/share/man/man1/*.1.gz; do
  gzip -t "$page" || fail "$page is not gzipped"
done
zcat "$root/usr/share/man/man1/veldro-cli.1.gz" | sed 's/\\-/-/g' >"$work/cli.1"
# A command is the leading lower-case words of an entry of the command list.
while read -r command; do
  grep -qE "^\.BI \"?$command[ \"]" "$work/cli.1" || fail "veldro-cli.1 does not describe $command"
done < <("$cli" --help | sed -n 's/^  \([a-z]\)/\1/p' | awk '{
    name = $1
    for (i = 2; i <= NF && $i ~ /^[a-z][a-z-]*$/; i++) name = name " " $i
    print name
  }')
zcat "$root/usr/share/man/man1/veldro-sim.1.gz" | sed 's/\\-/-/g' >"$work/sim.1"
while read -r option; do
  grep -qE "^\.BI? $option( |$)" "$work/sim.1" || fail "veldro-sim.1 does not describe $option"
done < <("$root/usr/bin/veldro-sim" --help | grep -oE -- '--[a-z-]+' | sort -u)

[ "$failures" -eq 0 ] || exit 1
echo "package $(basename "$deb"): checked"
