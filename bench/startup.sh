#!/usr/bin/env bash
# Starts a solo game headless and reports the time from start to "You are Connected." and
# the CPU the program uses over 10 idle seconds after that.
# Usage: bench/startup.sh [path/to/pinfall]   (default: build-release/pinfall, else build/pinfall)
set -euo pipefail
shopt -s inherit_errexit
cd "$(dirname "$0")/.."
source bench/headless.sh
program=${1:-build-release/pinfall}
[ -x "$program" ] || program=build/pinfall
idle_seconds=10
trap headless_stop EXIT

headless_start "$program" 'You are Connected.'
cpu=$(headless_idle_cpu "$idle_seconds")

echo "program                      $program"
echo "start to \"You are Connected.\" $headless_ms ms"
echo "CPU while idle ($idle_seconds s)         $cpu % of one core"
