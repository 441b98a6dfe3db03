#!/usr/bin/env bash
# install_test.sh BUILD PREFIX VERSION SOURCE
# Installs the build into a temporary DESTDIR and checks what a desktop and a
# packager rely on: every file in its place and nothing else, the program
# answering --version and --help without a display, the manual where --help
# says it is, the icon sizes, and the desktop entry, AppStream metainfo and
# man page passing their validators without a single remark.
set -uo pipefail
build=$1 prefix=$2 version=$3 source=$4

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
root="$work/root"
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

for tool in desktop-file-validate appstreamcli man groff file; do
  command -v "$tool" >/dev/null || { echo "$tool is missing: run tools/install-deps" >&2; exit 1; }
done

if ! DESTDIR="$root" cmake --install "$build" >"$work/install.log" 2>&1; then
  cat "$work/install.log" >&2
  echo "FAIL: cmake --install" >&2
  exit 1
fi

# The installed tree, relative to the prefix. The build's own GNUInstallDirs
# paths are passed in through the prefix; the rest are the standard ones.
base="$root$prefix"
expected=(
  bin/vantrel
  libexec/vantrel/vantrel-dialogs
  share/applications/vantrel.desktop
  share/doc-base/vantrel
  share/doc/vantrel/changelog.gz
  share/doc/vantrel/copyright
  share/doc/vantrel/vantrel.html
  share/icons/hicolor/16x16/apps/vantrel.png
  share/icons/hicolor/32x32/apps/vantrel.png
  share/icons/hicolor/48x48/apps/vantrel.png
  share/icons/hicolor/scalable/apps/vantrel.svg
  share/man/man1/vantrel.1.gz
  share/metainfo/org.example.vantrel.metainfo.xml
)
installed=$(cd "$root" && find . -type f -o -type l | sed "s|^\./${prefix#/}/||" | sort)
wanted=$(printf '%s\n' "${expected[@]}" | sort)
if [ "$installed" != "$wanted" ]; then
  fail "installed files differ from the expected list:"
  diff <(echo "$wanted") <(echo "$installed") >&2
fi

# The program answers before its toolkit starts: no display is needed.
program="$base/bin/vantrel"
[ -x "$program" ] || fail "bin/vantrel is not executable"
run() { env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb timeout 10 "$program" "$@"; }
out=$(run --version 2>&1)
[ $? -eq 0 ] && [ "$out" = "VantRel $version" ] || fail "vantrel --version printed '$out'"
help=$(run --help 2>&1)
[ $? -eq 0 ] || fail "vantrel --help did not end with 0"
manual=$(sed -n 's/^See the manual: //p' <<<"$help")
[ "$manual" = "$prefix/share/doc/vantrel/vantrel.html" ] || fail "--help points at the manual '$manual'"
grep -q "autostart/Vantrel.desktop" "$root$manual" && ! grep -q "HKEY_CURRENT_USER\|<!--" "$root$manual" ||
  fail "the manual at $manual is not the Linux one"

# The desktop entry starts the installed program with the installed icon.
entry="$base/share/applications/vantrel.desktop"
remarks=$(desktop-file-validate "$entry" 2>&1) && [ -z "$remarks" ] || fail "desktop-file-validate: $remarks"
grep -qx 'Exec=vantrel' "$entry" || fail "the desktop entry does not run vantrel"
grep -qx 'Icon=vantrel' "$entry" || fail "the desktop entry does not show the vantrel icon"

# The metainfo: valid, launching that entry, with this release.
metainfo="$base/share/metainfo/org.example.vantrel.metainfo.xml"
appstreamcli validate --no-net --strict "$metainfo" >"$work/appstream.log" 2>&1 ||
  fail "appstreamcli validate: $(cat "$work/appstream.log")"
grep -q '<launchable type="desktop-id">vantrel.desktop</launchable>' "$metainfo" ||
  fail "the metainfo does not launch vantrel.desktop"
grep -q "<release version=\"$version\"" "$metainfo" || fail "the metainfo has no release $version"

# The man page: compressed, formats without a warning, names this version and
# the manual's place.
page="$base/share/man/man1/vantrel.1.gz"
gzip -t "$page" 2>/dev/null || fail "the man page is not gzip-compressed"
warnings=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$page" 2>&1 >/dev/null)
[ -z "$warnings" ] || fail "man --warnings: $warnings"
text=$(LC_ALL=C.UTF-8 MANWIDTH=80 man -l "$page" 2>/dev/null)
grep -q "VantRel $version" <<<"$text" || fail "the man page does not name version $version"
grep -qF "$prefix/share/doc/vantrel/vantrel.html" <<<"$text" || fail "the man page does not point at the manual"

[ "$failures" -eq 0 ] || exit 1
echo "Installed tree under $prefix checked."
