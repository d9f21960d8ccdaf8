#!/usr/bin/env bash
# Makes the Windows build: fairground.exe cross-built with MinGW-w64 against
# a static freeglut built from Debian's freeglut source, packed as a zip with
# the README and the licence. Wine is installed too, to run the exe here.
#
#   scripts/windows.sh [BUILD_DIR]      (default: build-windows)
set -euo pipefail
cd "$(dirname "$0")/.."
source_dir=$(pwd)
build=$(realpath -m "${1:-build-windows}")
toolchain=$source_dir/cmake/mingw-w64-x86_64.cmake
freeglut=$build/freeglut
jobs=2

scripts/deps.sh windows

# freeglut's source through an apt configuration of our own, built once.
if [ ! -f "$freeglut/lib/libglut.a" ]; then
  apt_dir=$build/freeglut-apt
  mkdir -p "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial" "$apt_dir/sources.list.d"
  # The Debian mirror the system's apt uses, in either format of its sources.
  mirror=$(cat /etc/apt/sources.list.d/*.sources /etc/apt/sources.list 2>/dev/null |
    sed -n -e 's|^URIs: *\(\S*/debian\)/*$|\1|p' -e 's|^deb \(\[[^]]*\] \)\?\(\S*/debian\)/\? .*|\2|p' |
    head -n 1 || true)
  echo "deb-src [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] ${mirror:-http://deb.debian.org/debian} bookworm main" \
    >"$apt_dir/sources.list"
  apt=(apt-get -qq -o "Dir::Etc::SourceList=$apt_dir/sources.list" -o "Dir::Etc::SourceParts=$apt_dir/sources.list.d"
    -o "Dir::State::Lists=$apt_dir/lists" -o "Dir::Cache=$apt_dir/cache" -o APT::Sandbox::User="$(id -un)")
  "${apt[@]}" update
  (cd "$apt_dir" && "${apt[@]}" source --download-only freeglut)
  rm -rf "$apt_dir/src" && mkdir "$apt_dir/src"
  tar -xzf "$apt_dir"/freeglut_*.orig.tar.gz -C "$apt_dir/src" --strip-components=1
  # REPLACE_GLUT installs GL/glut.h and names the library glut, as FindGLUT
  # expects; freeglut's own warnings are not ours to fix.
  cmake -S "$apt_dir/src" -B "$apt_dir/build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_C_FLAGS=-w \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$freeglut" -DFREEGLUT_REPLACE_GLUT=ON \
    -DFREEGLUT_BUILD_SHARED_LIBS=OFF -DFREEGLUT_BUILD_DEMOS=OFF >/dev/null
  cmake --build "$apt_dir/build" --target install -j "$jobs" >/dev/null
fi

cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_FIND_ROOT_PATH="$freeglut" -DBUILD_TESTING=OFF -DFAIRGROUND_BENCH=OFF >/dev/null
cmake --build "$build" -j "$jobs"
(cd "$build" && cpack -G ZIP >/dev/null)
zip=$(ls "$build"/fairground-*-win64.zip)
echo "The Windows build: $zip"
