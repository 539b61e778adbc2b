#!/usr/bin/env bash
# Starts a solo game headless and reports the time from start to "You are Connected." and
# the CPU the program uses over 10 idle seconds after that.
# Usage: bench/startup.sh [path/to/pinfall]   (default: build-release/pinfall, else build/pinfall)
set -euo pipefail
cd "$(dirname "$0")/.."
program=${1:-build-release/pinfall}
[ -x "$program" ] || program=build/pinfall
idle_seconds=10
work=$(mktemp -d)
log=$work/chat.log
trap 'kill "$pid" 2>/dev/null || true; rm -rf "$work"' EXIT

start=$(date +%s%N)
(cd "$work" && QT_QPA_PLATFORM=offscreen PINFALL_PORT=0 PINFALL_ECHO_CHAT=1 XDG_SESSION_ID="bench-$$" \
    exec "$OLDPWD/$program") 2>"$log" &
pid=$!
until grep -q '^You are Connected\.$' "$log"; do
    kill -0 "$pid" 2>/dev/null || { cat "$log"; echo "pinfall ended before connecting"; exit 1; }
    sleep 0.005
done
connected=$(date +%s%N)

cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$pid/stat"; }
before=$(cpu_ticks)
sleep "$idle_seconds"
after=$(cpu_ticks)
ticks_per_second=$(getconf CLK_TCK)

echo "program                      $program"
echo "start to \"You are Connected.\" $(( (connected - start) / 1000000 )) ms"
awk -v t=$((after - before)) -v hz="$ticks_per_second" -v s="$idle_seconds" \
    'BEGIN { printf "CPU while idle (%d s)         %.2f %% of one core\n", s, 100 * t / (hz * s) }'
