#!/usr/bin/env bash
# Builds Pinfall with AddressSanitizer and UndefinedBehaviorSanitizer (installing what the
# build needs), fuzzes the parts that read hostile input when clang is there, and runs every
# test headless. Exits non-zero if anything fails.
set -euo pipefail
cd "$(dirname "$0")"
# Whatever the tests start looks for games on loopback only: nothing leaves this machine.
export PINFALL_DISCOVERY_TO=127.255.255.255
source tools/packages.sh
pinfall_install_packages
# Line tables are all the sanitizers' reports need, and -O1 is what they are meant to run at;
# both build much faster than full debug information at -O2.
# The benchmarks are measured in a release build of their own (bench/run), not here.
cmake -S . -B build -G Ninja -DPINFALL_SANITIZE=ON -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1 -DNDEBUG" \
    -DPINFALL_BENCHMARKS=OFF >/dev/null
# Everything runs with only the fonts the project installs (the configuration is made by cmake).
export FONTCONFIG_FILE=$PWD/build/fonts.conf
cmake --build build
if command -v clang++ >/dev/null 2>&1; then
    tools/fuzz.sh "${PINFALL_FUZZ_SECONDS:-25}"
fi
export QT_QPA_PLATFORM=offscreen
ctest --test-dir build --output-on-failure --parallel 2
