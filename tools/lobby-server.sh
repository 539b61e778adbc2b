#!/usr/bin/env bash
# Runs a Pinfall lobby: Prosody in the foreground with the configuration of
# tools/lobby/prosody.cfg.lua.in, everything it keeps (configuration, certificate, storage, log,
# pid) in one data folder. Prints "lobby ready on NAME:PORT" on stdout once clients can connect;
# everything else goes to stderr. SIGINT or SIGTERM stops Prosody cleanly.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)

usage() {
    cat <<USAGE
Usage: $0 [--domain NAME] [--port N] [--data DIR] [--listen ADDRESS]... [--cert FILE --key FILE]

  --domain NAME     the lobby's name (localhost); players sign in to NAME with accounts and to
                    guest.NAME anonymously, and meet in rooms at rooms.NAME
  --port N          the client port (5222)
  --data DIR        where everything is kept (\${XDG_DATA_HOME:-~/.local/share}/pinfall-lobby)
  --listen ADDRESS  an address to listen on, may be repeated (127.0.0.1 for localhost, every
                    interface otherwise)
  --cert FILE, --key FILE
                    the certificate (for NAME, guest.NAME and rooms.NAME) and its key; without
                    them a self-signed pair is made as DIR/lobby.crt and DIR/lobby.key
USAGE
}

domain=localhost
port=5222
data=${XDG_DATA_HOME:-$HOME/.local/share}/pinfall-lobby
listen=()
cert=
key=
while [ $# -gt 0 ]; do
    case $1 in
    --domain | --port | --data | --listen | --cert | --key)
        [ $# -ge 2 ] || { echo "$1 needs a value" >&2; exit 2; }
        case $1 in
        --domain) domain=$2 ;;
        --port) port=$2 ;;
        --data) data=$2 ;;
        --listen) listen+=("$2") ;;
        --cert) cert=$2 ;;
        --key) key=$2 ;;
        esac
        shift 2 ;;
    -h | --help) usage; exit 0 ;;
    *) usage >&2; exit 2 ;;
    esac
done

# The name lands in the configuration and in openssl's subject, so only host-name characters.
[[ $domain =~ ^[A-Za-z0-9]([A-Za-z0-9.-]*[A-Za-z0-9])?$ ]] || { echo "Not a domain name: $domain" >&2; exit 2; }
if ! [[ $port =~ ^[0-9]+$ ]] || [ "$port" -lt 1 ] || [ "$port" -gt 65535 ]; then
    echo "Not a port: $port" >&2
    exit 2
fi
if { [ -n "$cert" ] && [ -z "$key" ]; } || { [ -z "$cert" ] && [ -n "$key" ]; }; then
    echo "--cert and --key go together" >&2
    exit 2
fi
if [ ${#listen[@]} -eq 0 ]; then
    if [ "$domain" = localhost ]; then
        listen=(127.0.0.1)
    else
        listen=('*')
        # Binding IPv6 where the kernel has none would fail the start.
        [ ! -e /proc/net/if_inet6 ] || listen+=('::')
    fi
fi

# A lobby machine needs only these, not the build's packages.
# shellcheck source=SCRIPTDIR/packages.sh
source "$here/packages.sh"
pinfall_install_packages prosody lua-sec lua-unbound openssl >&2

mkdir -p "$data/storage"
data=$(cd "$data" && pwd)
if [ -z "$cert" ]; then
    cert=$data/lobby.crt
    key=$data/lobby.key
    # A folder used before under another name gets a new certificate.
    checked=$(openssl x509 -in "$cert" -noout -checkhost "$domain" 2>/dev/null || true)
    if [[ $checked != *"does match"* ]]; then
        echo "Making a self-signed certificate for $domain in $data" >&2
        (umask 077 && openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -days 3650 \
            -subj "/CN=$domain" -addext "subjectAltName=DNS:$domain,DNS:guest.$domain,DNS:rooms.$domain" \
            -keyout "$key" -out "$cert" 2>/dev/null)
    fi
fi
for file in "$cert" "$key"; do
    [ -r "$file" ] || { echo "Cannot read $file" >&2; exit 1; }
done
cert=$(realpath "$cert")
key=$(realpath "$key")

# Every value lands inside a Lua string.
lua_escape() {
    local value=${1//\\/\\\\}
    printf '%s' "${value//\"/\\\"}"
}
interfaces=
for address in "${listen[@]}"; do
    interfaces+="${interfaces:+, }\"$(lua_escape "$address")\""
done
root=false
[ "$(id -u)" -ne 0 ] || root=true
config=$(<"$here/lobby/prosody.cfg.lua.in")
config=${config//@DOMAIN@/"$domain"}
config=${config//@PORT@/"$port"}
config=${config//@LISTEN@/"$interfaces"}
config=${config//@DATA@/"$(lua_escape "$data")"}
config=${config//@CERT@/"$(lua_escape "$cert")"}
config=${config//@KEY@/"$(lua_escape "$key")"}
config=${config//@RUN_AS_ROOT@/"$root"}
printf '%s\n' "$config" >"$data/prosody.cfg.lua"

# Readiness is a connection to the first address; a wildcard is reached through loopback.
probe=${listen[0]}
case $probe in
'*' | 0.0.0.0) probe=127.0.0.1 ;;
'::') probe=::1 ;;
esac
# shellcheck disable=SC2016 # the inner shell expands them
listening() { timeout 2 bash -c 'exec 3<>"/dev/tcp/$0/$1"' "$probe" "$port" 2>/dev/null; }
if listening; then
    echo "Something already listens on $probe port $port (the system's Prosody service?" \
        "'systemctl disable --now prosody' stops it)" >&2
    exit 1
fi

log=$data/prosody.log
logged=$(stat -c %s "$log" 2>/dev/null || echo 0)
prosody --config "$data/prosody.cfg.lua" -F >&2 &
pid=$!
# Prosody shuts down cleanly on SIGTERM; SIGINT would not reach it, as a background job of a
# script ignores SIGINT.
trap 'kill -TERM "$pid" 2>/dev/null; wait "$pid"; exit' TERM INT

give_up() {
    echo "$1; see $log" >&2
    if kill -TERM "$pid" 2>/dev/null; then wait "$pid" || true; fi
    exit 1
}
deadline=$((SECONDS + 20))
until listening; do
    if ! kill -0 "$pid" 2>/dev/null; then
        status=0
        wait "$pid" || status=$?
        echo "Prosody ended (status $status) before listening on port $port; see $log" >&2
        exit 1
    fi
    # Prosody keeps running when it cannot bind, so its log tells.
    if tail -c +$((logged + 1)) "$log" 2>/dev/null | grep 'Failed to open server port' >/dev/null; then
        give_up "Prosody could not listen on port $port"
    fi
    [ $SECONDS -lt $deadline ] || give_up "Prosody did not listen on $probe port $port within 20 s"
    sleep 0.1
done
echo "lobby ready on $domain:$port"

status=0
wait "$pid" || status=$?
[ $status -eq 0 ] || echo "Prosody ended with status $status" >&2
exit $status
