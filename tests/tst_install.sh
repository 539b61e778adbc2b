#!/usr/bin/env bash
# An installed copy: `cmake --install` into a fresh prefix puts the programs, the launcher
# entry, the icons and the metainfo in place, the desktop's validators accept them, and the
# installed game starts a solo game for a player who can write neither the prefix nor the
# folder it is started from. As root the game runs as nobody, since root writes anywhere.
# Usage: tst_install.sh BUILD_DIR APP_ID VERSION
set -euo pipefail
build=$1 app_id=$2 version=$3
ready='You are Connected.'
timeout_seconds=60

scratch=$(mktemp -d -t pinfall-install.XXXXXX)
pid=''
cleanup() {
    if [ -n "$pid" ]; then
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    fi
    chmod -R u+w "$scratch"
    rm -rf "$scratch"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}
# The side of a PNG image: its width and height are the big-endian words at bytes 16 and 20.
png_side() {
    local width height
    width=$((16#$(od -An -tx1 -j16 -N4 "$1" | tr -d ' \n')))
    height=$((16#$(od -An -tx1 -j20 -N4 "$1" | tr -d ' \n')))
    [ "$width" -eq "$height" ] || fail "$1 is $width by $height"
    echo "$width"
}

prefix=$scratch/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null

for program in pinfall pinfall-host pinfall-lzrw1 pinfall-bot; do
    [ -x "$prefix/bin/$program" ] || fail "bin/$program is not installed"
done
desktop=$prefix/share/applications/$app_id.desktop
metainfo=$prefix/share/metainfo/$app_id.metainfo.xml
icons=$prefix/share/icons/hicolor
for file in "$desktop" "$metainfo" "$icons/scalable/apps/$app_id.svg"; do
    [ -s "$file" ] || fail "${file#"$prefix"/} is not installed"
done
for size in 16 32 48 64 128 256; do
    png=$icons/${size}x${size}/apps/$app_id.png
    [ -s "$png" ] || fail "${png#"$prefix"/} is not installed"
    [ "$(png_side "$png")" -eq "$size" ] || fail "${png#"$prefix"/} is not $size pixels square"
done
grep -qx "Icon=$app_id" "$desktop" || fail "the launcher entry does not name the icon $app_id"
grep -q "<release version=\"$version\"" "$metainfo" || fail "the metainfo has no release $version"

# Any complaint, a warning included, fails the test.
complaints=$(desktop-file-validate "$desktop" 2>&1) || fail "desktop-file-validate: $complaints"
[ -z "$complaints" ] || fail "desktop-file-validate: $complaints"
# The tree check also matches the metainfo to its launcher entry and icon.
appstreamcli validate-tree --no-net --strict "$prefix" >"$scratch/appstream.txt" 2>&1 ||
    fail "appstreamcli validate-tree: $(cat "$scratch/appstream.txt")"

home=$scratch/home
work=$scratch/work
mkdir -p "$home/runtime" "$home/tmp" "$work"
chmod 700 "$home/runtime"
chmod 755 "$scratch"
as_player=()
if [ "$(id -u)" -eq 0 ]; then
    chown -R 65534:65534 "$home"
    as_player=(setpriv --reuid=65534 --regid=65534 --clear-groups --)
    "${as_player[@]}" test -x "$prefix/bin/pinfall" || fail "nobody cannot reach $prefix (check TMPDIR)"
fi
chmod -R a-w "$prefix" "$work"
"${as_player[@]}" test ! -w "$prefix/bin" -a ! -w "$work" || fail "the player can still write the prefix"

log=$scratch/stderr.log
(cd "$work" && exec "${as_player[@]}" env -i PATH=/usr/bin:/bin LANG=C.UTF-8 HOME="$home" \
    XDG_CONFIG_HOME="$home/.config" XDG_CACHE_HOME="$home/.cache" XDG_DATA_HOME="$home/.local/share" \
    XDG_RUNTIME_DIR="$home/runtime" TMPDIR="$home/tmp" XDG_SESSION_ID="install-test-$$-$RANDOM" \
    QT_QPA_PLATFORM=offscreen PINFALL_PORT=0 PINFALL_ECHO_CHAT=1 \
    ASAN_OPTIONS="${ASAN_OPTIONS:-}" UBSAN_OPTIONS="${UBSAN_OPTIONS:-}" \
    "$prefix/bin/pinfall") 2>"$log" >/dev/null &
pid=$!
deadline=$((SECONDS + timeout_seconds))
until grep -qxF "$ready" "$log"; do
    kill -0 "$pid" 2>/dev/null || fail "the installed pinfall ended before \"$ready\": $(cat "$log")"
    ((SECONDS < deadline)) || fail "no \"$ready\" within $timeout_seconds s: $(cat "$log")"
    sleep 0.1
done

# With the prefix and the working folder closed to it, its files go to the per-user folders.
[ -d "$home/.config/Pinfall" ] || fail "no per-user settings folder $home/.config/Pinfall"
[ -s "$home/.cache/Pinfall/English" ] || fail "no dictionary working file in $home/.cache/Pinfall"
echo "PASS: installed into $prefix; the installed pinfall said \"$ready\" as $("${as_player[@]}" id -un)"
