#!/usr/bin/env bash
# Installs the build into a temporary prefix with `cmake --install` and checks
# what a desktop needs there: the program and the two tools, a valid desktop
# entry that opens the picture types, the icon in the hicolor theme (SVG,
# 48 and 256 px PNG) and a man page for each program.
#
# usage: install_test.sh BUILD_DIR
# Exits 77 (skipped) when desktop-file-validate is not installed.
set -u
build=${1:?usage: install_test.sh BUILD_DIR}
if ! command -v desktop-file-validate >/dev/null 2>&1; then
  echo "skipped: desktop-file-validate is not installed (desktop-file-utils)"
  exit 77
fi
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
fail() {
  echo "FAIL: $*"
  exit 1
}

cmake --install "$build" --prefix "$prefix" >"$prefix.log" 2>&1 || { cat "$prefix.log"; rm -f "$prefix.log"; fail "cmake --install failed"; }
rm -f "$prefix.log"

for f in bin/vazesample bin/vazesample-eye bin/vazesample-drive; do
  [ -x "$prefix/$f" ] || fail "$f is not installed"
done
for f in share/applications/vazesample.desktop \
  share/icons/hicolor/scalable/apps/vazesample.svg \
  share/icons/hicolor/48x48/apps/vazesample.png \
  share/icons/hicolor/256x256/apps/vazesample.png \
  share/man/man1/vazesample.1 share/man/man1/vazesample-eye.1 share/man/man1/vazesample-drive.1; do
  [ -s "$prefix/$f" ] || fail "$f is not installed"
done

entry=$prefix/share/applications/vazesample.desktop
desktop-file-validate "$entry" || fail "the desktop entry is not valid"
grep -q '^Exec=vazesample --desktop %f$' "$entry" || fail "the desktop entry does not start vazesample from the desktop with one file"
grep -q '^Icon=vazesample$' "$entry" || fail "the desktop entry does not name the icon"
for type in image/bmp image/png image/jpeg image/tiff image/gif image/x-portable-pixmap; do
  grep '^MimeType=' "$entry" | tr ';=' '\n\n' | grep -qx "$type" || fail "the desktop entry does not open $type"
done

if command -v identify >/dev/null 2>&1; then
  for size in 48 256; do
    got=$(identify -format "%wx%h" "$prefix/share/icons/hicolor/${size}x${size}/apps/vazesample.png")
    [ "$got" = "${size}x${size}" ] || fail "the ${size} px icon is $got"
  done
fi
for page in vazesample vazesample-eye vazesample-drive; do
  head -1 "$prefix/share/man/man1/$page.1" | grep -qi "^\.TH $page 1" || fail "$page.1 is no man page of $page"
done

"$prefix/bin/vazesample" --version | grep -q '^vazesample [0-9]' || fail "the installed program does not tell its version"
"$prefix/bin/vazesample" --help | grep -q 'usage: vazesample \[--language ja|en\] \[--workdir DIR\] \[--desktop\] \[PICTURE\]' || fail "the installed program has no --help"
"$prefix/bin/vazesample" --no-such-option 2>/dev/null
[ $? -eq 2 ] || fail "an unknown option does not end with status 2"
# No display: one plain sentence, status 1, and no fallback to an off-screen window.
said=$(env -u WAYLAND_DISPLAY DISPLAY=:12345 "$prefix/bin/vazesample" 2>&1 >/dev/null)
status=$?
[ $status -eq 1 ] || fail "without a display the program ended with status $status"
[ "$said" = "vazesample: no display could be opened (DISPLAY=:12345); run it on a desktop, or use vazesample-drive for a headless run" ] ||
  fail "without a display the program said: $said"
echo "ok: installed into a temporary prefix; desktop entry valid"
