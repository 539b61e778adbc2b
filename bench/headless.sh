# shellcheck shell=bash
# Sourced by startup.sh and run: starts a program headless the way a solo game starts, and reads
# what it costs from /proc. One program at a time; headless_stop ends it (callers trap EXIT).

headless_timeout_seconds=30

# headless_start PROGRAM READY_LINE
# Starts PROGRAM in a folder of its own with no display, on a free port and in a desktop session
# of its own, and waits until it writes READY_LINE to stderr. Sets headless_pid, and headless_ms
# to the milliseconds from start to that line.
headless_start() {
    local program ready=$2
    program=$(realpath "$1")
    headless_dir=$(mktemp -d)
    local log=$headless_dir/stderr.log
    # TMPDIR keeps the single-instance socket in that folder, so a killed copy leaves none behind.
    # A "Host here" remembered beside the program announces on loopback only.
    local start deadline
    start=$(date +%s%N)
    deadline=$(($(date +%s) + headless_timeout_seconds))
    (cd "$headless_dir" && QT_QPA_PLATFORM=offscreen PINFALL_PORT=0 PINFALL_ECHO_CHAT=1 TMPDIR="$headless_dir" \
        PINFALL_DISCOVERY_TO=127.255.255.255 XDG_SESSION_ID="bench-$$-$RANDOM" exec "$program") 2>"$log" &
    headless_pid=$!
    until grep -qxF "$ready" "$log"; do
        if ! kill -0 "$headless_pid" 2>/dev/null; then
            cat "$log" >&2
            echo "$program ended before writing \"$ready\"" >&2
            return 1
        fi
        if (($(date +%s) > deadline)); then
            cat "$log" >&2
            echo "$program did not write \"$ready\" within $headless_timeout_seconds s" >&2
            return 1
        fi
        sleep 0.005
    done
    # shellcheck disable=SC2034 # read by the callers
    headless_ms=$((($(date +%s%N) - start) / 1000000))
}

# headless_idle_cpu SECONDS: prints the share of one core the program uses over that time, in %.
# The scheduler's nanoseconds per thread, not /proc/PID/stat's clock ticks: an idle program uses
# less than one tick in ten seconds, which would read as a flat zero.
headless_idle_cpu() {
    local before after
    before=$(headless_cpu_ns)
    sleep "$1"
    after=$(headless_cpu_ns)
    awk -v ns=$((after - before)) -v s="$1" 'BEGIN { printf "%.3f\n", 100 * ns / (s * 1e9) }'
}

headless_cpu_ns() {
    cat "/proc/$headless_pid/task/"*/schedstat | awk '{ total += $1 } END { printf "%d\n", total }'
}

# headless_memory_kb FIELD: prints a kB figure of /proc/PID/status, such as VmRSS or VmHWM.
headless_memory_kb() {
    awk -v field="$1:" '$1 == field { print $2; found = 1 } END { exit !found }' "/proc/$headless_pid/status"
}

headless_stop() {
    if [ -n "${headless_pid:-}" ]; then
        kill "$headless_pid" 2>/dev/null || true
        wait "$headless_pid" 2>/dev/null || true
    fi
    [ -z "${headless_dir:-}" ] || rm -rf "$headless_dir"
    headless_pid='' headless_dir=''
}
