#!/usr/bin/env bash
# Builds the Debian package and checks its control fields, its files, the desktop entry and the
# AppStream metainfo, and that apt can resolve everything it depends on.
# Usage: check_package.sh BUILD-DIR
set -uo pipefail
build=$1
passed=0
failed=0
check() {
  if eval "$2"; then echo "ok: $1"; passed=$((passed + 1)); else echo "FAIL: $1"; failed=$((failed + 1)); fi
}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

(cd "$work" && cpack -G DEB --config "$build/CPackConfig.cmake" >"$work/cpack.log" 2>&1) || { cat "$work/cpack.log"; exit 1; }
deb=$(ls "$work"/melodrift_*_amd64.deb 2>/dev/null | head -n1)
check "package built" '[ -n "$deb" ]'
[ -n "$deb" ] || { echo "$passed passed, $failed failed"; exit 1; }
depends=$(dpkg-deb -f "$deb" Depends)
files=$(dpkg-deb -c "$deb")
check "package name" '[ "$(dpkg-deb -f "$deb" Package)" = melodrift ]'
for need in libqt6widgets6 libqt6multimedia6 libqt6dbus6 libglib2.0-0 libpcre2-16-0 qt6-qpa-plugins qt6-wayland \
            gstreamer1.0-plugins-good gstreamer1.0-libav gstreamer1.0-alsa fonts-wqy-microhei; do
  check "depends on $need" 'grep -q "$need" <<<"$depends"'
done
check "recommends an input method for Qt 6" 'dpkg-deb -f "$deb" Recommends | grep -q "fcitx5-frontend-qt6 | ibus"'
check "program in its own folder" 'grep -q " ./usr/lib/melodrift/melodrift$" <<<"$files"'
check "skin beside the program" 'grep -q " ./usr/lib/melodrift/velbrook.she$" <<<"$files"'
check "command in bin" 'grep -q "./usr/bin/melodrift -> ../lib/melodrift/melodrift" <<<"$files"'
check "desktop entry" 'grep -q "./usr/share/applications/org.melodrift.Melodrift.desktop" <<<"$files"'
check "icon" 'grep -q "./usr/share/icons/hicolor/scalable/apps/org.melodrift.Melodrift.svg" <<<"$files"'
check "metainfo" 'grep -q "./usr/share/metainfo/org.melodrift.Melodrift.metainfo.xml" <<<"$files"'
check "manual page" 'grep -qE "./usr/share/man/man1/melodrift.1(.gz)?$" <<<"$files"'

dpkg-deb -x "$deb" "$work/root"
check "desktop entry validates" 'desktop-file-validate "$work/root/usr/share/applications/org.melodrift.Melodrift.desktop"'
check "metainfo validates" 'appstreamcli validate --no-net "$work/root/usr/share/metainfo/org.melodrift.Melodrift.metainfo.xml" >/dev/null'
check "manual page reads" 'man -l "$(ls "$work"/root/usr/share/man/man1/melodrift.1*)" 2>&1 | grep -q "find songs on a Chinese MP3 music site"'
check "program finds its skin through the link" '[ "$(readlink -f "$work/root/usr/bin/melodrift")" = "$work/root/usr/lib/melodrift/melodrift" ]'
check "apt resolves every dependency" 'apt-get install --simulate --no-install-recommends "$deb" >"$work/apt.log" 2>&1 || { cat "$work/apt.log"; false; }'
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
