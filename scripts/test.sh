#!/usr/bin/env bash
# Builds Fairground with warnings as errors and runs every test: unit tests,
# end-to-end tests in a virtual X server, then the unit tests again under
# AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)

scripts/deps.sh

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DFAIRGROUND_WERROR=ON >/dev/null
cmake --build build -j "$jobs"

cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=Debug -DFAIRGROUND_WERROR=ON \
  -DFAIRGROUND_SANITIZE=ON -DFAIRGROUND_E2E=OFF >/dev/null
cmake --build build-sanitize --target unit_tests -j "$jobs"

echo "== Unit tests under AddressSanitizer and UndefinedBehaviorSanitizer"
(cd build-sanitize && ctest --output-on-failure -j "$jobs")

echo "== All tests"
(cd build && ctest --output-on-failure)
