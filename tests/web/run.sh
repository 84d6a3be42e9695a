#!/usr/bin/env bash
# The browser build's test: serves BUILD (build-web/) on 127.0.0.1, drives Debian's Chromium
# through browser_test.js, and compares the farm's first frame in the page with the native
# game's (GAME, run under Xvfb from ROOT's Data/).
#   tests/web/run.sh BUILD GAME ROOT
# puppeteer-core comes from npm (web/node-deps.sh, no browser download) into the same cache as
# the libraries; everything else goes to a scratch folder removed pass or fail.
set -uo pipefail
status=0
here=$(cd "$(dirname "$0")" && pwd)
build=$(readlink -f "${1:?build-web folder missing}")
game=$(readlink -f "${2:?native game missing}")
root=$(readlink -f "${3:?repository root missing}")
work=$(mktemp -d "${TMPDIR:-/tmp}/fennow-web-test.XXXXXX")
server_pid=""
cleanup() {
    [ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null && wait "$server_pid" 2>/dev/null
    if [ -n "${FENNOW_WEB_KEEP:-}" ]; then echo "kept $work" >&2; else rm -rf "$work"; fi
}
trap cleanup EXIT
fail() { echo "FAIL [web]: $*" >&2; exit 1; }
source "$here/frames.sh"

node_modules=$("$root/web/node-deps.sh") || fail "no puppeteer-core"

# A missing and a changed source archive are both named, with what to do, and nothing is built.
mkdir "$work/sources"
for archive in $(awk '{ print $2 }' "$root/web/deps.sha256"); do
    ln -s "$(readlink -f "${FENNOW_WEB_SOURCES:-$root/../shared/deps}/$archive")" "$work/sources/$archive"
done
rm "$work/sources/lua5.1_5.1.5.orig.tar.gz" "$work/sources/zlib_1.2.13.dfsg.orig.tar.bz2"
echo "not zlib" >"$work/sources/zlib_1.2.13.dfsg.orig.tar.bz2"
if FENNOW_WEB_SOURCES=$work/sources XDG_CACHE_HOME=$work/cache "$root/web/build-deps.sh" 2>"$work/sources.err"; then
    echo "FAIL the dependency build accepted a wrong and a missing archive"
    status=1
elif grep -q "zlib_1.2.13.dfsg.orig.tar.bz2 does not match its SHA-256" "$work/sources.err" &&
    grep -q "missing source archive .*lua5.1_5.1.5.orig.tar.gz: put the archive there" "$work/sources.err" &&
    [ ! -e "$work/cache" ]; then
    echo "PASS a wrong and a missing source archive are named and nothing is built"
else
    cat "$work/sources.err"
    echo "FAIL the messages for a wrong and a missing archive"
    status=1
fi

# The native game's pictures of the farm at rest, one for each step of the water.
bash "$here/native_frames.sh" "$game" "$root" "$work" || fail "no native frames"

python3 "$root/web/serve.py" "$build" 0 >"$work/address" 2>"$work/server.log" &
server_pid=$!
deadline=$((SECONDS + 30))
until [ -s "$work/address" ]; do
    kill -0 "$server_pid" 2>/dev/null || { cat "$work/server.log" >&2; fail "the server did not start"; }
    [ $SECONDS -lt $deadline ] || fail "the server did not print its address"
    sleep 0.05
done
address=$(sed -n 's/^Serving the game at //p' "$work/address")

# Chromium keeps folders of its own in TMPDIR: they go with the scratch folder.
mkdir "$work/tmp"
TMPDIR=$work/tmp WATER_STEPS=$WATER_STEPS FPS_FIGURE=$FPS_FIGURE NODE_PATH=$node_modules node "$here/browser_test.js" "$address" "$work" || status=1

# The first frame, and the farm in every step of the water: each of the page's pictures is one of
# the native game's pixel for pixel, everything but the FPS figure, with no tolerance at all.
for browser_shot in "$work"/browser-*.png; do
    [ -f "$browser_shot" ] || break
    mask_fps "$browser_shot" "$work/masked.png"
    match=""
    for native_shot in "$work"/native-*.png; do
        n=$(compare -metric AE "$native_shot" "$work/masked.png" null: 2>&1 | cut -d' ' -f1)
        [ "$n" = 0 ] && match=$native_shot
    done
    if [ -n "$match" ]; then
        echo "PASS $(basename "$browser_shot") matches the native game's $(basename "$match") pixel for pixel"
    else
        echo "FAIL $(basename "$browser_shot") matches none of the native game's pictures of the farm"
        status=1
    fi
done
[ -f "$work/browser-$WATER_STEPS.png" ] || { echo "FAIL the page's pictures of the farm are missing"; status=1; }
exit $status
