#!/usr/bin/env bash
# Builds Fairground with warnings as errors, with GCC and with Clang, and runs
# every test: unit tests (again under AddressSanitizer and
# UndefinedBehaviorSanitizer), end-to-end tests in a virtual X server, the
# package check, a smoke run of the benchmark, the Windows build under
# Wine with the end-to-end tests and its own, and the page in Chromium's
# headless shell, Firefox ESR and WebKitGTK. Every layer is asked for
# explicitly, so a missing tool stops the configure step.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(getconf _NPROCESSORS_ONLN)

scripts/deps.sh test bench windows web
echo "== Windows build"
scripts/windows.sh
echo "== The page"
scripts/web.sh
all_layers=(-DFAIRGROUND_WERROR=ON -DFAIRGROUND_UNIT=ON -DFAIRGROUND_E2E=ON -DFAIRGROUND_PACKAGE_CHECK=ON
  -DFAIRGROUND_BENCH=ON -DFAIRGROUND_WINDOWS=ON -DFAIRGROUND_WINDOWS_EXE="$PWD/build-windows/fairground.exe"
  -DFAIRGROUND_WEB=ON -DFAIRGROUND_WEB_PAGE="$PWD/build-web/fairground.html")

echo "== Build with Clang"
CXX=clang++ cmake -S . -B build-clang "${all_layers[@]}" >/dev/null
cmake --build build-clang -j "$jobs"

echo "== Unit tests under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=Debug -DFAIRGROUND_WERROR=ON -DFAIRGROUND_UNIT=ON \
  -DFAIRGROUND_SANITIZE=ON >/dev/null
cmake --build build-sanitize -j "$jobs"
(cd build-sanitize && ctest --output-on-failure -j "$jobs" -L unit)

echo "== All tests, built with GCC"
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo "${all_layers[@]}" >/dev/null
cmake --build build -j "$jobs"
(cd build && ctest --output-on-failure)
