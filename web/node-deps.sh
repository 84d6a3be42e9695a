#!/usr/bin/env bash
# Installs puppeteer-core (web/package-lock.json) from npm once into the browser build's cache
# and prints the node_modules folder to put in NODE_PATH. It drives Debian's chromium; it never
# downloads a browser of its own.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
dir=${XDG_CACHE_HOME:-$HOME/.cache}/fennow-web/node-$(cat "$here/package.json" "$here/package-lock.json" | sha256sum | cut -c1-16)
if [ ! -f "$dir/.complete" ]; then
    mkdir -p "$dir"
    cp "$here/package.json" "$here/package-lock.json" "$dir/"
    if ! PUPPETEER_SKIP_DOWNLOAD=1 npm ci --prefix "$dir" --no-audit --no-fund >"$dir/npm.log" 2>&1; then
        cat "$dir/npm.log" >&2
        echo "could not install puppeteer-core from npm (see above)" >&2
        exit 1
    fi
    touch "$dir/.complete"
fi
echo "$dir/node_modules"
