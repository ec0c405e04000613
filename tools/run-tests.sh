#!/usr/bin/env bash
# Installs what is missing, builds everything with AddressSanitizer and
# UndefinedBehaviorSanitizer in build-tests/, and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh
cmake -S . -B build-tests -DQUENMAR_SANITIZE=ON >/dev/null
cmake --build build-tests -j2
cd build-tests
ctest --output-on-failure -j2
