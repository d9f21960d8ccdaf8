#!/usr/bin/env bash
# Checks what an install and the Debian package hold, and that the program
# they carry starts and draws.
#   check_package.sh SOURCE_DIR BUILD_DIR
# With FAIRGROUND_TEST_SYSTEM_INSTALL=1 (CI, as root) it also installs the
# package with apt-get, runs the installed program and removes it again.
set -euo pipefail
source_dir=$1
build_dir=$2
source "$source_dir/scripts/xdrive.sh"
fail() { echo "FAIL: $*" >&2; exit 1; }

for tool in desktop-file-validate:desktop-file-utils groff:groff man:man-db dpkg-deb:dpkg \
            dpkg-shlibdeps:dpkg-dev file:file Xvfb:xvfb import:imagemagick xprop:x11-utils \
            appstreamcli:appstream; do
  command -v "${tool%:*}" >/dev/null || fail "${tool%:*} is missing: install the Debian package ${tool#*:}"
done

work=$(mktemp -d)
installed=0
cleanup() {
  app_stop
  xvfb_stop "$work/xvfb"
  if [ "$installed" = 1 ]; then
    DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq fairground >/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT
xvfb_start "$work/xvfb"

# The program draws a first frame of many colours, not a blank window. Its
# window's class is kept in $window_class.
draws() {
  app_start "$1" "$1" >/dev/null
  app_first_frame "$work/shot.png" || fail "$1 drew no frame"
  window_class=$(xprop -id "$(app_window)" WM_CLASS | sed -n 's/.*, "\(.*\)"$/\1/p')
  app_stop
  local colours
  colours=$(identify -format %k "$work/shot.png")
  [ "$colours" -gt 100 ] || fail "$1 drew only $colours colours"
  echo "ok: $1 draws ($colours colours)"
}

echo "== staged install"
DESTDIR="$work/stage" cmake --install "$build_dir" --prefix /usr >/dev/null
id=org.example.fairground
for file in bin/fairground share/man/man6/fairground.6 share/applications/$id.desktop \
            share/metainfo/$id.metainfo.xml share/doc/fairground/README.md share/doc/fairground/LICENSE \
            share/icons/hicolor/{16x16,32x32,48x48,64x64,128x128}/apps/fairground.png; do
  [ -f "$work/stage/usr/$file" ] || fail "the install lacks usr/$file"
done
echo "ok: the install holds the program, manual page, desktop entry, metainfo, icons, README and licence"
"$source_dir/packaging/check_links.sh" "$work/stage/usr/share/doc/fairground/"{README.md,docs/*.md} ||
  fail "the installed README or its pages link to what the install lacks"
draws "$work/stage/usr/bin/fairground"

desktop=$work/stage/usr/share/applications/$id.desktop
desktop-file-validate "$desktop" || fail "the desktop entry does not validate (see above)"
grep -qx 'Exec=fairground' "$desktop" || fail "the desktop entry does not run fairground"
grep -qx "StartupWMClass=$window_class" "$desktop" ||
  fail "the desktop entry's StartupWMClass is not the window's class '$window_class'"
echo "ok: the desktop entry validates and names the window's class $window_class"
appstreamcli validate --no-net "$work/stage/usr/share/metainfo/$id.metainfo.xml" >&2 ||
  fail "the metainfo does not validate (see above)"
echo "ok: the metainfo validates"

warnings=$(groff -man -ww -z -Tutf8 "$work/stage/usr/share/man/man6/fairground.6" 2>&1)
[ -z "$warnings" ] || fail "manual page warnings: $warnings"
MANWIDTH=80 man -l "$work/stage/usr/share/man/man6/fairground.6" 2>/dev/null | grep -q '^CONTROLS' ||
  fail "the manual page does not render"
echo "ok: the manual page renders without warnings"

echo "== Debian package"
(cd "$build_dir" && cpack -G DEB -B "$work/package" >/dev/null)
deb=$(ls "$work"/package/fairground_*.deb)
depends=$(dpkg-deb -f "$deb" Depends)
for library in libglut libglu libc6; do
  [[ $depends == *"$library"* ]] || fail "Depends lacks $library: $depends"
done
echo "ok: Depends: $depends"
dpkg-deb -x "$deb" "$work/unpacked"
draws "$work/unpacked/usr/bin/fairground"

if [ "${FAIRGROUND_TEST_SYSTEM_INSTALL:-0}" = 1 ]; then
  echo "== apt-get install of the package"
  installed=1
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$deb" >/dev/null
  draws /usr/bin/fairground
fi
echo "all package checks passed"
