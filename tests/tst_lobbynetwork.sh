#!/usr/bin/env bash
# A lobby game across a network of its own: the lobby, the host and the players each live in a
# network namespace, and the host's and the players' firewalls let no connection in. They still
# play a whole game, since everybody only connects out to the lobby. And as the lobby is not on
# loopback there, its self-signed certificate is refused until PINFALL_LOBBY_CA names it.
#
#   host 10.77.1.2 ---- 10.77.1.1 lobby 10.77.2.1 ---- 10.77.2.2 player
#
# The namespaces have no route beyond these two links and no name server, so nothing the test
# starts can reach another machine. Needs root (namespaces, firewall rules), ip and nft.
# Usage: tst_lobbynetwork.sh SOURCE_DIR PINFALL_HOST PINFALL_BOT
set -euo pipefail
source_dir=$1 host_program=$2 bot_program=$3

domain=lobby.test
lobby_port=15222
lobby_on_host_link=10.77.1.1 host_address=10.77.1.2
lobby_on_player_link=10.77.2.1 player_address=10.77.2.2
# Unique per run, so that concurrent runs and leftovers of a killed one do not collide.
ns_lobby=pinfall-$$-lobby ns_host=pinfall-$$-host ns_player=pinfall-$$-player
namespaces=("$ns_lobby" "$ns_host" "$ns_player")

fail() {
    echo "FAIL: $*" >&2
    exit 1
}
[ "$(id -u)" -eq 0 ] || fail "must run as root: it makes network namespaces and firewall rules"
for tool in ip nft; do
    command -v "$tool" >/dev/null || fail "$tool is missing (tools/packages.sh lists its package)"
done

scratch=$(mktemp -d -t pinfall-lobbynetwork.XXXXXX)
made_etc_netns=false
[ -d /etc/netns ] || made_etc_netns=true
lobby_pid='' host_pid=''

# Stops everything the test started (the lobby script first, so that Prosody ends cleanly),
# removes the namespaces with their links, and shows the logs when something failed.
cleanup() {
    local status=$? ns pid deadline
    [ -z "$lobby_pid" ] || kill -TERM "$lobby_pid" 2>/dev/null || true
    [ -z "$host_pid" ] || kill -TERM "$host_pid" 2>/dev/null || true
    for ns in "${namespaces[@]}"; do
        for pid in $(ip netns pids "$ns" 2>/dev/null); do kill -TERM "$pid" 2>/dev/null || true; done
    done
    deadline=$((SECONDS + 10))
    for ns in "${namespaces[@]}"; do
        while [ -n "$(ip netns pids "$ns" 2>/dev/null)" ] && [ $SECONDS -lt $deadline ]; do sleep 0.1; done
        for pid in $(ip netns pids "$ns" 2>/dev/null); do kill -KILL "$pid" 2>/dev/null || true; done
    done
    wait 2>/dev/null || true
    for ns in "${namespaces[@]}"; do
        ip netns delete "$ns" 2>/dev/null || true
        rm -rf "/etc/netns/$ns"
    done
    if $made_etc_netns; then rmdir /etc/netns 2>/dev/null || true; fi
    if [ $status -ne 0 ]; then
        for log in "$scratch"/*.log "$scratch/lobby/prosody.log"; do
            [ -s "$log" ] || continue
            echo "--- ${log#"$scratch"/}" >&2
            tail -n 40 "$log" >&2
        done
    fi
    rm -rf "$scratch"
    exit $status
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# Waits up to $4 seconds for a line matching $2 in the log $1 while process $3 runs.
await_line() {
    local log=$1 pattern=$2 pid=$3 deadline=$((SECONDS + $4))
    until grep -qE "$pattern" "$log" 2>/dev/null; do
        kill -0 "$pid" 2>/dev/null || fail "${log##*/} ended before saying /$pattern/"
        [ $SECONDS -lt $deadline ] || fail "${log##*/} did not say /$pattern/ within $4 s"
        sleep 0.1
    done
}

# --- The network ---------------------------------------------------------------------------
for ns in "${namespaces[@]}"; do
    ip netns add "$ns"
    ip -n "$ns" link set lo up
    # ip netns exec puts these over /etc: the lobby's name by its address on the namespace's
    # link, and a name server on the namespace's own loopback, where nothing answers.
    mkdir -p "/etc/netns/$ns"
    echo 'nameserver 127.0.0.1' >"/etc/netns/$ns/resolv.conf"
done
# Both ends of each link are made inside the namespaces, so no name clashes with this machine's.
ip -n "$ns_lobby" link add to-host type veth peer name to-lobby netns "$ns_host"
ip -n "$ns_lobby" link add to-player type veth peer name to-lobby netns "$ns_player"
ip -n "$ns_lobby" address add "$lobby_on_host_link/24" dev to-host
ip -n "$ns_lobby" address add "$lobby_on_player_link/24" dev to-player
ip -n "$ns_host" address add "$host_address/24" dev to-lobby
ip -n "$ns_player" address add "$player_address/24" dev to-lobby
ip -n "$ns_lobby" link set to-host up
ip -n "$ns_lobby" link set to-player up
ip -n "$ns_host" link set to-lobby up
ip -n "$ns_player" link set to-lobby up
printf '127.0.0.1 localhost\n%s %s\n' "$lobby_on_host_link" "$domain" >"/etc/netns/$ns_lobby/hosts"
printf '127.0.0.1 localhost\n%s %s\n' "$lobby_on_host_link" "$domain" >"/etc/netns/$ns_host/hosts"
printf '127.0.0.1 localhost\n%s %s\n' "$lobby_on_player_link" "$domain" >"/etc/netns/$ns_player/hosts"

# Host and players as behind a home router: answers to their own connections come in, no new
# connection does. Loopback stays open, as it is the namespace's own.
for ns in "$ns_host" "$ns_player"; do
    ip netns exec "$ns" nft -f - <<'RULES'
table inet pinfall_fence {
    chain input {
        type filter hook input priority filter; policy drop;
        ct state established,related accept
        iif lo accept
    }
}
RULES
done

# --- The lobby and the host ----------------------------------------------------------------
ip netns exec "$ns_lobby" "$source_dir/tools/lobby-server.sh" --domain "$domain" --port "$lobby_port" \
    --listen "$lobby_on_host_link" --listen "$lobby_on_player_link" --data "$scratch/lobby" \
    >"$scratch/lobby.log" 2>&1 &
lobby_pid=$!
await_line "$scratch/lobby.log" "^lobby ready on $domain:$lobby_port\$" "$lobby_pid" 30
ca=$scratch/lobby/lobby.crt

# Each program in a folder of its own, for the dictionary's working file.
mkdir "$scratch/host" "$scratch/player"
(cd "$scratch/host" && PINFALL_LOBBY_CA=$ca exec ip netns exec "$ns_host" "$host_program" --port 0 \
    --lobby="$domain:$lobby_port" --invite --second 20 --pause 5) >"$scratch/host.log" 2>&1 &
host_pid=$!
await_line "$scratch/host.log" '^pinfall-host: listening on port [0-9]+$' "$host_pid" 30
await_line "$scratch/host.log" '^Invite code: ' "$host_pid" 30
game_port=$(sed -n 's/^pinfall-host: listening on port \([0-9]*\)$/\1/p' "$scratch/host.log")
code=$(sed -n 's/^Invite code: //p' "$scratch/host.log")

# --- The firewall holds --------------------------------------------------------------------
# shellcheck disable=SC2016 # the inner shell expands them
connects() { ip netns exec "$1" timeout 3 bash -c 'exec 3<>"/dev/tcp/$0/$1"' "$2" "$3" 2>/dev/null; }
# The host does take TCP connections at its address (from its own namespace)...
connects "$ns_host" "$host_address" "$game_port" ||
    fail "the host does not take connections at $host_address port $game_port"
# ...but none from the lobby's side of the link.
if connects "$ns_lobby" "$host_address" "$game_port"; then
    fail "the lobby connected to the host's port $game_port through its firewall"
fi

# Two players join the game by its code, the first to sit in slot 1 starts it, and they end with
# it. $1 is their log, $2 their time limit in seconds, the rest added to their environment.
# They run in the background, so that a signal to the test is acted on meanwhile.
players() {
    local log=$1 seconds=$2
    shift 2
    (cd "$scratch/player" && exec ip netns exec "$ns_player" env -u PINFALL_LOBBY_CA \
        "PINFALL_LOBBY=$domain:$lobby_port" "$@" \
        timeout "$seconds" "$bot_program" --code "$code" --count 2 --start --second 20) >"$log" 2>&1 &
    wait $!
}

# --- A lobby certificate nobody vouches for is refused -------------------------------------
# Only the system's authorities, which know nothing of the lobby's self-signed certificate.
status=0
players "$scratch/untrusted.log" 30 || status=$?
[ $status -eq 1 ] || fail "players with an untrusted lobby certificate ended with $status, not 1"
grep -q "Certificate not trusted: $domain (" "$scratch/untrusted.log" ||
    fail "the refusal does not say that $domain's certificate is not trusted"
if grep -q ' is seated ' "$scratch/untrusted.log"; then fail "a player was seated past an untrusted certificate"; fi

# --- With it, a whole game through the lobby -----------------------------------------------
status=0
players "$scratch/game.log" 120 "PINFALL_LOBBY_CA=$ca" || status=$?
[ $status -eq 0 ] || fail "the players ended with $status instead of finishing a game"
for player in 'Casual Bot 1' 'Casual Bot 2'; do
    grep -q "^$player is seated in game $code, in slot [1-4]\.\$" "$scratch/game.log" ||
        fail "$player was not seated in game $code"
done
kill -0 "$host_pid" 2>/dev/null || fail "the host ended during the game"
echo "PASS: a game through the lobby at $domain:$lobby_port with no port open on host or players"
