#!/usr/bin/env bash
# Starts the game under a virtual X server with a window manager, opens every window and dialog
# at its default size, and saves a picture of each in build/tour/, so that anybody can look at
# them all after a change. Everything stays on this machine: the game hosts on a free port of
# 127.0.0.1 and the X server listens on no network.
# Needs xvfb, openbox, xdotool and imagemagick (tools/packages.sh). Usage: tools/tour.sh [program]
set -euo pipefail
cd "$(dirname "$0")/.."
program=${1:-build/pinfall}
out=build/tour
mkdir -p "$out"
display=":$((70 + RANDOM % 20))"
home=$(mktemp -d)
pids=()
trap 'kill "${pids[@]}" 2>/dev/null || true; rm -rf "$home"' EXIT
# The pictures show the fonts the project installs, whatever else this machine has.
[[ -f build/fonts.conf ]] && export FONTCONFIG_FILE=$PWD/build/fonts.conf

Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
export DISPLAY=$display
sleep 1
openbox >/dev/null 2>&1 &
pids+=($!)
# An internet lobby of its own on a free loopback port, for the lobby's part of Play with Others.
lobby_port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
tools/lobby-server.sh --domain localhost --port "$lobby_port" --data "$home/lobby" >"$home/lobby.log" 2>&1 &
lobby_pid=$!
pids+=($lobby_pid)
until grep -q '^lobby ready' "$home/lobby.log"; do sleep 0.2; done
# The Play with Others window looks for games on loopback only.
HOME=$home USER=Tour PINFALL_PORT=0 PINFALL_DISCOVERY_TO=127.255.255.255 PINFALL_LOBBY=localhost:$lobby_port \
    "$program" >/dev/null 2>&1 &
pids+=($!)

snap() {
    sleep 1
    import -window root "$out/$1.png"
    echo "tour: $out/$1.png"
}
# Brings the window titled $1 to the front, keys and all.
front() {
    xdotool search --sync --onlyvisible --name "$1" windowactivate --sync >/dev/null 2>&1
}
# Opens a window through the main window's menus (Alt and the underlined letters), pictures it
# in front, and puts it away with Escape.
visit() {
    local name=$1 title=$2
    shift 2
    front '^Pinfall$'
    xdotool key "$@"
    front "$title"
    snap "$name"
    xdotool key Escape
}

sleep 3
front 'Download The Varo11 Lobby'
snap download
xdotool key Escape # as "Play Solo Game"
snap main-window
visit game-start 'Game Start' alt+f s
visit play-with-others 'Play with Others' alt+f o
visit phrases 'Phrase Buttons' alt+v p
visit spectators 'Spys' alt+v s
visit tally 'Tally List' alt+v t
visit help 'Help File' alt+h c
visit about 'About' alt+h a
front '^Pinfall$'
xdotool key alt+o
snap options-menu
xdotool key Escape

# The internet lobby: in it, with the game hosted there by invitation, then gone.
front '^Pinfall$'
xdotool key alt+f o
front 'Play with Others'
snap lobby-in
others=$(xdotool search --onlyvisible --name 'Play with Others' | head -n 1)
xdotool mousemove --window "$others" 426 593 click 1 # Host here's places
sleep 1
xdotool key End Return # "on the internet, by invitation only"
snap lobby-hosting
kill -TERM "$lobby_pid"
sleep 2
snap lobby-unreachable
