#!/bin/sh
# Builds the game's report program and writes docs/performance.md from one run of it, headed
# by the machine it ran on. Runs under Xvfb when there is no display.
#
#   scripts/perf-report.sh [startup-runs] [idle-seconds]     (defaults: 10 and 60)
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
if [ -z "${DISPLAY:-}" ]; then
    exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi
runs=${1:-10}
idle=${2:-60}

cmake -S . -B build >/dev/null
cmake --build build -j2 --target GameReport >/dev/null

out=docs/performance.md
body=$(mktemp)
machine=$(mktemp)
trap 'rm -f "$body" "$machine"' EXIT

# The machine, as the game's window sees it: the GL renderer comes from the report program's
# display through glxinfo when it is there; the Mesa package version in any case.
describe_machine() {
    echo "| What | Value |"
    echo "|---|---|"
    echo "| date (UTC) | $(date -u '+%Y-%m-%d %H:%M') |"
    echo "| processors (nproc) | $(nproc) |"
    echo "| CPU model | $(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -n 1) |"
    echo "| load average at start | $(cut -d ' ' -f 1-3 /proc/loadavg) |"
    echo "| kernel | $(uname -sr) |"
    echo "| X server | Xvfb $(dpkg-query -W -f '${Version}' xvfb 2>/dev/null || echo unknown), screen 1024x768x24 |"
    if command -v glxinfo >/dev/null 2>&1; then
        echo "| OpenGL renderer | $(glxinfo 2>/dev/null | sed -n 's/^OpenGL renderer string: //p') |"
    fi
    echo "| Mesa (libgl1-mesa-dri) | $(dpkg-query -W -f '${Version}' libgl1-mesa-dri 2>/dev/null || echo unknown), software rendering (llvmpipe) |"
    echo "| Allegro | $(dpkg-query -W -f '${Version}' liballegro5.2 2>/dev/null || echo unknown) |"
}

describe_machine >"$machine"
build/bench/GameReport "$runs" "$idle" >"$body"

{
    echo "# Performance"
    echo
    echo "Measured by \`bench/GameReport.cpp\`; reproduce with"
    echo
    echo '```sh'
    echo "scripts/perf-report.sh $runs $idle"
    echo '```'
    echo
    echo "which builds \`build/bench/GameReport\`, runs it (under \`xvfb-run\` when there is no"
    echo "display) and writes this file. The machine is shared and noisy: compare figures within"
    echo "one run, as ratios, rather than across runs."
    echo
    echo "## Machine"
    echo
    cat "$machine"
    echo
    cat "$body"
    if [ -f docs/performance-notes.md ]; then
        cat docs/performance-notes.md
    fi
    # The browser build's figures (scripts/web-report.sh).
    if [ -f docs/performance-web.md ]; then
        echo
        cat docs/performance-web.md
    fi
} >"$out"
echo "wrote $out"
