#!/usr/bin/env bash
# Makes sure what a purpose needs is here, and installs what is missing.
#
#   scripts/deps.sh build        compiler, CMake, make, GL, GLU, GLUT and Xinerama
#   scripts/deps.sh screenshot   Xvfb, Mesa's software renderer, ImageMagick
#   scripts/deps.sh test         all of the above and every tool the tests run
#   scripts/deps.sh bench        build and screenshot, and valgrind
#   scripts/deps.sh windows      build, the MinGW-w64 cross compiler and Wine
#   scripts/deps.sh web          CMake, make and Emscripten
#
# It looks for the tools, headers and libraries themselves, so any system
# that has them simply goes on. Missing ones are installed with apt-get
# (through sudo when not root); elsewhere, or without root and sudo, it
# prints the packages and the command that installs them, and fails.
set -euo pipefail

usage() { echo "usage: scripts/deps.sh build|screenshot|test|bench|windows|web..." >&2; exit 2; }
[ $# -gt 0 ] || usage

# One line a need: its name, how to check for it, then its package on
# Debian/Ubuntu, Fedora, Arch and macOS (Homebrew; - where the system has it).
needs_build=(
  "C++ compiler|have c++|g++|gcc-c++|gcc|-"
  "CMake 3.20|have_cmake|cmake|cmake|cmake|cmake"
  "make|have make|make|make|make|-"
  "GL|links GL/gl.h GL|libgl-dev|mesa-libGL-devel|mesa|-"
  "GLU|links GL/glu.h GLU|libglu1-mesa-dev|mesa-libGLU-devel|glu|-"
  "GLUT|links GL/glut.h glut|freeglut3-dev|freeglut-devel|freeglut|-"
  "Xinerama|links X11/extensions/Xinerama.h Xinerama|libxinerama-dev|libXinerama-devel|libxinerama|-"
)
needs_screenshot=(
  "Xvfb|have Xvfb|xvfb|xorg-x11-server-Xvfb|xorg-server-xvfb|-"
  "Mesa's software renderer|have_swrast|libgl1-mesa-dri|mesa-dri-drivers|mesa|-"
  "ImageMagick|have import|imagemagick|ImageMagick|imagemagick|imagemagick"
)
needs_test=(
  "GoogleTest|links gtest/gtest.h gtest -pthread|libgtest-dev|gtest-devel|gtest|googletest"
  "Clang|have clang++|clang|clang|clang|-"
  "xdotool|have xdotool|xdotool|xdotool|xdotool|xdotool"
  "python3-xlib|have_python_module Xlib|python3-xlib|python3-xlib|python-xlib|-"
  "desktop-file-validate|have desktop-file-validate|desktop-file-utils|desktop-file-utils|desktop-file-utils|desktop-file-utils"
  "groff|have groff|groff-base|groff-base|groff|groff"
  "man|have man|man-db|man-db|man-db|-"
  "dpkg-shlibdeps|have dpkg-shlibdeps|dpkg-dev|dpkg-dev|dpkg|dpkg"
  "file|have file|file|file|file|-"
  "metacity|have metacity|metacity|metacity|metacity|-"
  "Xephyr|have Xephyr|xserver-xephyr|xorg-x11-server-Xephyr|xorg-server-xephyr|-"
  "xwininfo and xprop|have xwininfo|x11-utils|xwininfo xprop|xorg-xwininfo xorg-xprop|-"
  "glxinfo|have glxinfo|mesa-utils|glx-utils|mesa-utils|-"
  "appstreamcli|have appstreamcli|appstream|appstream|appstream|appstream"
  "wrestool|have wrestool|icoutils|icoutils|icoutils|icoutils"
  "Chromium's headless shell|have chromium-headless-shell|chromium-headless-shell|chromium-headless|chromium|-"
  "python3-websocket|have_python_module websocket|python3-websocket|python3-websocket-client|python-websocket-client|-"
  "Firefox ESR|have firefox-esr|firefox-esr|firefox|firefox|-"
  "WebKitGTK's WebDriver|have WebKitWebDriver|webkit2gtk-driver|webkit2gtk4.1|webkit2gtk-4.1|-"
)
needs_bench=(
  "Xlib|links X11/Xlib.h X11|libx11-dev|libX11-devel|libx11|-"
  "xprop|have xprop|x11-utils|xprop|xorg-xprop|-"
  "openbox|have openbox|openbox|openbox|openbox|-"
  "valgrind|have valgrind|valgrind|valgrind|valgrind|-"
)
needs_web=(
  "Emscripten|have emcc|emscripten|emscripten|emscripten|emscripten"
)
needs_windows=(
  "MinGW-w64 C++ cross compiler|have x86_64-w64-mingw32-g++|g++-mingw-w64-x86-64-win32|mingw64-gcc-c++|mingw-w64-gcc|mingw-w64"
  "Wine|have wine|wine wine64|wine|wine|wine-stable"
)

have() { command -v "$1" >/dev/null 2>&1; }
have_cmake() {
  have cmake && cmake --version | awk 'NR == 1 { split($3, v, "."); exit !(v[1] > 3 || (v[1] == 3 && v[2] >= 20)) }'
}
# python3-xlib goes into the system's Python, which a python3 of one's own
# earlier on the PATH does not see.
have_python_module() {
  local python=python3
  [ -x /usr/bin/python3 ] && python=/usr/bin/python3
  "$python" -c "import $1" 2>/dev/null
}
have_swrast() {
  [ "$(uname)" = Darwin ] && return 0
  compgen -G '/usr/lib*/dri/swrast_dri.so' >/dev/null || compgen -G '/usr/lib*/*/dri/swrast_dri.so' >/dev/null
}
# links HEADER LIBRARY [FLAGS]: the compiler finds the header and the linker the library.
links() {
  if [ "$(uname)" = Darwin ]; then
    case $2 in GL | GLU | glut | Xinerama) return 0 ;; esac # Apple's OpenGL and GLUT frameworks; no X11
  fi
  have c++ || return 1
  printf '#include <%s>\nint main() { return 0; }\n' "$1" |
    c++ -x c++ - -o /dev/null "-l$2" "${@:3}" >/dev/null 2>&1
}

wanted=()
for purpose in "$@"; do
  case $purpose in
  build) wanted+=("${needs_build[@]}") ;;
  screenshot) wanted+=("${needs_screenshot[@]}") ;;
  test) wanted+=("${needs_build[@]}" "${needs_screenshot[@]}" "${needs_test[@]}") ;;
  bench) wanted+=("${needs_build[@]}" "${needs_screenshot[@]}" "${needs_bench[@]}") ;;
  windows) wanted+=("${needs_build[@]}" "${needs_windows[@]}") ;;
  web) wanted+=("${needs_build[@]:1:2}" "${needs_web[@]}") ;;
  *) usage ;;
  esac
done

missing=()
declare -A checked
for need in "${wanted[@]}"; do
  IFS='|' read -r _ check _ <<<"$need"
  [ -z "${checked[$check]:-}" ] || continue # purposes share needs
  checked[$check]=1
  # shellcheck disable=SC2086 # the check is a command with its arguments
  $check || missing+=("$need")
done
[ ${#missing[@]} -eq 0 ] && exit 0

# The packages of the missing needs, from field N (2 Debian ... 5 Homebrew).
packages() {
  local need
  for need in "${missing[@]}"; do
    IFS='|' read -r -a fields <<<"$need"
    [ "${fields[$1]}" = - ] || tr " " "\n" <<<"${fields[$1]}"
  done | sort -u | paste -sd ' ' -
}
names=$(for need in "${missing[@]}"; do echo "${need%%|*}"; done | paste -sd, - | sed 's/,/, /g')
echo "Missing: $names"

if ! have apt-get; then
  echo "Install them with one of:"
  echo "  Fedora:         sudo dnf install $(packages 3)"
  echo "  Arch:           sudo pacman -S --needed $(packages 4)"
  echo "  macOS:          xcode-select --install; brew install $(packages 5)"
  echo "  Debian, Ubuntu: sudo apt-get install $(packages 2)"
  exit 1
fi

debian=$(packages 2)
install="apt-get update && DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends $debian"
if [ "$(id -u)" -eq 0 ]; then
  as_root=()
elif have sudo; then
  as_root=(sudo)
else
  echo "Installing them needs root. Run as root, then run this again:" >&2
  echo "  su -c '$install'" >&2
  exit 1
fi
echo "Installing: $debian"
# shellcheck disable=SC2086 # one word a package
{ "${as_root[@]}" apt-get update -qq &&
  "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $debian >/dev/null; } ||
  { echo "Installing failed; as root, try: $install" >&2; exit 1; }
