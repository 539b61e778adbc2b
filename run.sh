#!/usr/bin/env bash
# Builds Pinfall (installing what the build needs) and starts it with the given arguments.
set -euo pipefail
cd "$(dirname "$0")"
source tools/packages.sh
pinfall_install_packages
[ -f build/CMakeCache.txt ] || cmake -S . -B build -G Ninja >/dev/null
cmake --build build
exec build/pinfall "$@"
