#!/usr/bin/env bash
# Measures the browser build and writes docs/performance-web.md, which docs/performance.md
# carries as its section "In a web browser" (this script puts it there; perf-report.sh keeps
# it when it rewrites the file):
#   - the size of the .js, .wasm and .data, plain and gzipped, for both main loops;
#   - navigation to the first frame, idle frames per second and CPU in headless Chromium,
#     for both main loops (the blocking loop under ASYNCIFY, and emscripten_set_main_loop);
#   - the dependency build from the cache, and from cold with --cold (into a scratch cache);
#   - what the browser phase adds to the test command: with the libraries cached and a fresh
#     build-web/ (as in CI), and from cold (the cold dependency build added).
#
#   scripts/web-report.sh [--cold] [IDLE_SECONDS]      (default 20)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
cold=0
[ "${1:-}" = --cold ] && { cold=1; shift; }
idle=${1:-20}
work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT
now() { date +%s.%N; }
since() { echo "$(now) - $1" | bc; }
export NODE_PATH=${NODE_PATH:-/usr/share/nodejs}

load_start=$(cut -d ' ' -f 1-3 /proc/loadavg)
web/build-deps.sh >/dev/null
t=$(now)
web/build-deps.sh >/dev/null
deps_cached=$(since "$t")
deps_cold=""
if [ $cold = 1 ]; then
    t=$(now)
    XDG_CACHE_HOME=$work/cache web/build-deps.sh >/dev/null
    deps_cold=$(since "$t")
fi

# The browser phase of the test command with a fresh build folder.
t=$(now)
BUILD_DIR=$work/build-web scripts/web.sh >/dev/null
tests/web/run.sh "$work/build-web" build/fennow-online . >"$work/test.log" 2>&1 || {
    cat "$work/test.log"
    echo "the browser test failed: no figures written" >&2
    exit 1
}
phase_warm=$(since "$t")

declare -A dir=([asyncify]=build-web [callback]=build-web-callback)
for loop in asyncify callback; do
    BUILD_DIR=${dir[$loop]} FENNOW_WEB_LOOP=$loop scripts/web.sh >/dev/null
done

declare -A total
size() { stat -c %s "$1"; }
gzsize() { gzip -9 -c "$1" | wc -c; }
mb() { echo "scale=2; $1 / 1000000" | bc | sed 's/^\./0./'; }

args=()
for loop in asyncify callback; do
    python3 web/serve.py "${dir[$loop]}" 0 >"$work/$loop.address" 2>/dev/null &
    pids+=($!)
    until [ -s "$work/$loop.address" ]; do sleep 0.05; done
    args+=("$loop=$(sed -n 's/^Serving the game at //p' "$work/$loop.address")")
done
TMPDIR=$work NODE_PATH=$(web/node-deps.sh) node web/report.js "$idle" "$work" "${args[@]}" >"$work/figures"
figure() { # LOOP FIELD
    grep "\"name\":\"$1\"" "$work/figures" | python3 -c "import json,sys; print(json.load(sys.stdin)['$2'])"
}

out=docs/performance-web.md
{
    echo "## In a web browser"
    echo
    echo "Measured by \`scripts/web-report.sh$([ $cold = 1 ] && echo " --cold") $idle\` on $(date -u '+%Y-%m-%d %H:%M') UTC"
    echo "(load average at start $load_start, the machine shared), in Debian's \`chromium\`"
    echo "$(dpkg-query -W -f '${Version}' chromium 2>/dev/null), headless with \`--disable-gpu\` (WebGL through"
    echo "SwiftShader, on the CPU), with the files served from 127.0.0.1. Emscripten"
    echo "$(emcc --version 2>/dev/null | sed -n '1s/.*) \([0-9.]*\).*/\1/p')."
    echo
    echo "### The two main loops"
    echo
    echo "| Figure | blocking loop under ASYNCIFY | \`emscripten_set_main_loop\` |"
    echo "|---|---:|---:|"
    for file in js wasm data; do
        echo "| \`.$file\`, MB (gzip) | $(mb "$(size build-web/fennow-online.$file)") ($(mb "$(gzsize build-web/fennow-online.$file)")) | $(mb "$(size build-web-callback/fennow-online.$file)") ($(mb "$(gzsize build-web-callback/fennow-online.$file)")) |"
    done
    for loop in asyncify callback; do
        total[$loop]=$(($(gzsize "${dir[$loop]}/fennow-online.wasm") + $(gzsize "${dir[$loop]}/fennow-online.data")))
    done
    echo "| \`.wasm\` + \`.data\` in gzip, MB | **$(mb "${total[asyncify]}")** | **$(mb "${total[callback]}")** |"
    echo "| navigation to the first frame, ms | $(figure asyncify firstFrameMs) | $(figure callback firstFrameMs) |"
    printf '| frames per second, idle %s s | %.1f | %.1f |\n' "$idle" "$(figure asyncify fps)" "$(figure callback fps)"
    printf '| CPU seconds per second, all of Chromium | %.2f | %.2f |\n' "$(figure asyncify cpu)" "$(figure callback cpu)"
    printf '| CPU seconds per second, the page'"'"'s main thread | %.2f | %.2f |\n' "$(figure asyncify mainThreadCpu)" "$(figure callback mainThreadCpu)"
    echo
    printf 'Against the blocking loop, the frame callback has a `.wasm` %.2f the size (ASYNCIFY\n' \
        "$(echo "scale=4; $(size "${dir[callback]}/fennow-online.wasm") / $(size "${dir[asyncify]}/fennow-online.wasm")" | bc)"
    printf 'instruments every function that may reach a wait), reaches the first frame in %.2f the\n' \
        "$(echo "scale=4; $(figure callback firstFrameMs) / $(figure asyncify firstFrameMs)" | bc)"
    printf 'time and draws %.2f times the frames; the page uses it (`scripts/web.sh`'"'"'s default).\n' \
        "$(echo "scale=4; $(figure callback fps) / $(figure asyncify fps)" | bc)"
    echo
    echo "### The libraries and the test command"
    echo
    echo "| Figure | seconds |"
    echo "|---|---:|"
    [ -n "$deps_cold" ] && printf '| dependency build, cold (empty cache) | %.0f |\n' "$deps_cold"
    printf '| dependency build, cached | %.1f |\n' "$deps_cached"
    printf '| browser phase of the test command, libraries cached, fresh build-web/ (warm) | %.0f |\n' "$phase_warm"
    [ -n "$deps_cold" ] && printf '| browser phase of the test command, cold (dependency build added) | %.0f |\n' "$(echo "$phase_warm + $deps_cold" | bc)"
    echo
} >"$out"
# docs/performance.md: the section replaced, or added at the end.
python3 - "$out" <<'PY'
import sys
section = open(sys.argv[1]).read()
text = open("docs/performance.md").read()
start = text.find("## In a web browser")
if start != -1:
    following = text.find("\n## ", start + 1)
    text = text[:start] + section + (text[following + 1:] if following != -1 else "")
else:
    text = text.rstrip("\n") + "\n\n" + section
open("docs/performance.md", "w").write(text)
PY
echo "wrote $out and its section of docs/performance.md"
cat "$work/figures"
