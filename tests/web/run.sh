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
# The measured FPS figure (x0,y0 x1,y1), left out of the comparison of the first frames.
FPS_FIGURE="27,288 120,301"
FONT_EDGE_PIXELS=0

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

# The native game's picture of the farm, once it rests.
bash "$here/native_frame.sh" "$game" "$root" "$work/native.png" || fail "no native frame"

python3 "$root/web/serve.py" "$build" 0 >"$work/address" 2>"$work/server.log" &
server_pid=$!
deadline=$((SECONDS + 30))
until [ -s "$work/address" ]; do
    kill -0 "$server_pid" 2>/dev/null || { cat "$work/server.log" >&2; fail "the server did not start"; }
    [ $SECONDS -lt $deadline ] || fail "the server did not print its address"
    sleep 0.05
done
address=$(sed -n 's/^Serving the game at //p' "$work/address")

NODE_PATH=$node_modules node "$here/browser_test.js" "$address" "$work" || status=1

# The first frame: everything but the measured FPS figure (a different number in every run),
# pixel by pixel, with a few pixels allowed where the two renderers smooth glyph edges.
if [ -f "$work/first.png" ]; then
    for image in native first; do
        convert "$work/$image.png" -fill black -draw "rectangle $FPS_FIGURE" "$work/$image-masked.png"
    done
    n=$(compare -metric AE "$work/native-masked.png" "$work/first-masked.png" null: 2>&1 | cut -d' ' -f1)
    if [ "${n:-x}" -le "$FONT_EDGE_PIXELS" ] 2>/dev/null; then
        echo "PASS the first frame matches the native game's ($n pixels differ, $FONT_EDGE_PIXELS allowed)"
    else
        echo "FAIL the first frame differs from the native game's in $n pixels"
        status=1
    fi
fi
exit $status
