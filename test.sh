#!/usr/bin/env bash
# Builds Pinfall with AddressSanitizer and UndefinedBehaviorSanitizer (installing what the
# build needs) and runs every test headless. Exits non-zero if anything fails.
set -euo pipefail
cd "$(dirname "$0")"
source tools/packages.sh
pinfall_install_packages
cmake -S . -B build -G Ninja -DPINFALL_SANITIZE=ON >/dev/null
cmake --build build
export QT_QPA_PLATFORM=offscreen
ctest --test-dir build --output-on-failure --parallel 2
