#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and the sanitizers, replays every input that ever
# found a fault (tests/fuzz/regressions/NAME/), then fuzzes each target for a while starting
# from its seeds (tests/fuzz/corpus/NAME/) and, where there is one, its dictionary of words worth
# trying (tests/fuzz/NAME.dict) and options of its own (tests/fuzz/NAME.options, one a line; a
# -max_total_time there gives that target a time of its own).
# While fuzzing, AddressSanitizer keeps one frame of each allocation's stack, which makes runs
# much faster; replaying a kept input gives the whole stacks.  Usage: tools/fuzz.sh [seconds per target]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
export QT_QPA_PLATFORM=offscreen # the client's windows need no display
export FONTCONFIG_FILE=$PWD/build-fuzz/fonts.conf # only the fonts the project installs
cmake -S . -B build-fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DPINFALL_SANITIZE=ON -DPINFALL_FUZZ=ON \
    -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1 -DNDEBUG" -DBUILD_TESTING=OFF -DPINFALL_BENCHMARKS=OFF >/dev/null
for seeds in tests/fuzz/corpus/*/; do
    name=$(basename "$seeds")
    cmake --build build-fuzz --target "fuzz_$name"
    fuzzer=build-fuzz/tests/fuzz/fuzz_$name
    log=build-fuzz/fuzz_$name.log
    regressions=tests/fuzz/regressions/$name
    if compgen -G "$regressions/*" >/dev/null; then
        "$fuzzer" "$regressions"/* >"$log" 2>&1 || { tail -n 60 "$log"; echo "fuzz_$name: a kept input fails again"; exit 1; }
    fi
    dictionary=()
    if [[ -f tests/fuzz/$name.dict ]]; then
        dictionary=(-dict="tests/fuzz/$name.dict")
    fi
    options=()
    if [[ -f tests/fuzz/$name.options ]]; then
        mapfile -t options < <(grep -v '^#' "tests/fuzz/$name.options")
    fi
    corpus=$(mktemp -d)
    if ! ASAN_OPTIONS=malloc_context_size=1 "$fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=4096 \
        -artifact_prefix=build-fuzz/ "${dictionary[@]}" "${options[@]}" "$corpus" "$seeds" >"$log" 2>&1; then
        tail -n 60 "$log"
        echo "fuzz_$name: found a fault; the input is in build-fuzz/ (keep it in $regressions/)"
        exit 1
    fi
    echo "fuzz_$name: $(grep -o 'Done [0-9]* runs in [0-9]* second(s)' "$log"), no fault"
    rm -rf "$corpus"
done
