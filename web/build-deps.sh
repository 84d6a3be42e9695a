#!/usr/bin/env bash
# Builds the libraries the browser build links (zlib, libpng, FreeType, SDL2, Allegro, Lua) from
# their source archives with Emscripten, once, into a cache outside the build tree, and prints
# the folder that holds them (include/ and lib/).
#
# The archives come from $FENNOW_WEB_SOURCES, else ../shared/deps beside the checkout; each must
# match its SHA-256 in web/deps.sha256. The cache folder is
# ${XDG_CACHE_HOME:-$HOME/.cache}/fennow-web/<key>, where the key covers the archives' sums,
# the compiler flags, the Emscripten version and RECIPE, so a change to any of them builds
# afresh and never mixes with an older result.
#
# The slow part of such builds is usually configure checks run through emcc. zlib, libpng, Lua
# and SDL2 are compiled file by file with the configuration their sources ship for Emscripten
# (SDL_config_emscripten.h, pnglibconf.h.prebuilt), so they run no checks at all; FreeType and
# Allegro use their own CMake builds, with the answers of their checks under Debian's
# emscripten 3.1.6 given in advance (web/configure/), so that most of the checks are skipped.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
sources=${FENNOW_WEB_SOURCES:-$root/../shared/deps}
cache_root=${XDG_CACHE_HOME:-$HOME/.cache}/fennow-web
jobs=${FENNOW_WEB_JOBS:-$(nproc)}
# One optimisation level for every library: small and fast code in the page.
DEP_CFLAGS="-O2"
# Raised whenever the way a library is built below changes, so that the cache is rebuilt.
RECIPE=1
log() { echo "web deps: $*" >&2; }

command -v emcc >/dev/null || { log "emcc not found: install Debian's emscripten (scripts/setup.sh)"; exit 1; }
# Debian's emcc finds node-acorn through NODE_PATH when the node on the PATH is not Debian's own.
export NODE_PATH=${NODE_PATH:-/usr/share/nodejs}

# The recorded answers hold for the compiler they were recorded with only.
answers() { # LIBRARY: the CMake option that gives its recorded answers, when they apply
    if emcc --version 2>/dev/null | sed -n 1p | grep -q ' 3\.1\.6 '; then
        echo "-C$here/configure/$1.cmake"
    fi
}

# Every archive must be present and exactly the published one.
bad=0
while read -r sum name; do
    [ -n "$name" ] || continue
    if [ ! -f "$sources/$name" ]; then
        log "missing source archive $sources/$name: put the archive there, or set FENNOW_WEB_SOURCES to the folder that holds it (see docs/web.md)"
        bad=1
    elif [ "$(sha256sum "$sources/$name" | cut -d' ' -f1)" != "$sum" ]; then
        log "source archive $sources/$name does not match its SHA-256 $sum: replace it with the unmodified upstream archive (see docs/web.md)"
        bad=1
    fi
done <"$here/deps.sha256"
[ "$bad" = 0 ] || exit 1

key=$( {
    cat "$here/deps.sha256" "$here"/configure/*.cmake
    echo "$DEP_CFLAGS $RECIPE"
    emcc --version 2>/dev/null | sed -n 1p
} | sha256sum | cut -c1-16)
prefix=$cache_root/$key
if [ -f "$prefix/.complete" ]; then
    echo "$prefix"
    exit 0
fi

log "building the libraries into $prefix (once; later builds reuse them)"
mkdir -p "$cache_root"
work=$(mktemp -d "$cache_root/.build.XXXXXX")
trap 'rm -rf "$work"' EXIT
# Libraries finished by a run that stopped later are kept here, under the same key, and reused.
stage=$cache_root/.partial-$key
mkdir -p "$stage/include" "$stage/lib"
started=$(date +%s)

unpack() { # NAME: unpacks the archive named NAME in deps.sha256 into $work, prints its folder
    local name top
    name=$(awk -v n="$1" '$2 ~ "^"n {print $2}' "$here/deps.sha256")
    top=$(tar tf "$sources/$name" | sed -n 1p | cut -d/ -f1)
    tar xf "$sources/$name" -C "$work"
    echo "$work/$top"
}

# compile_lib LIB FLAGS... -- FILES...: compiles C files and archives them as LIB. One emcc
# call compiles many files of one folder (its start-up costs more than a small file); the
# batches (up to 12 files of one folder) compile in parallel.
compile_lib() {
    local lib=$1 flags=() objdir
    shift
    while [ "$1" != "--" ]; do flags+=("$1"); shift; done
    shift
    export FLAGS="${flags[*]}"
    objdir=$work/obj-$(basename "$lib" .a)
    mkdir -p "$objdir"
    # One line per batch: up to 12 files of one folder.
    printf '%s\n' "$@" | sort | awk -F/ '{ d = $0; sub("/[^/]*$", "", d)
        if (d != last || n == 12) { if (NR > 1) printf "\n"; last = d; n = 0 }
        printf "%s%s", (n ? " " : ""), $0; n++ } END { printf "\n" }' | cat -n |
        xargs -P "$jobs" -L 1 sh -c '
            out="$0/$1"; shift
            mkdir -p "$out" && cd "$out" && emcc '"$DEP_CFLAGS"' -w $FLAGS -c "$@"
        ' "$objdir"
    emar rcs "$lib" "$objdir"/*/*.o
}

# step NAME: true when library NAME still has to be built (and says so).
step() {
    [ -f "$stage/.done-$1" ] && return 1
    log "$1 ($(($(date +%s) - started)) s)"
}
done_step() { touch "$stage/.done-$1"; }

if step zlib; then
    src=$(unpack zlib)
    compile_lib "$stage/lib/libz.a" -DHAVE_UNISTD_H -- $(ls "$src"/*.c | grep -v -E '/(example|minigzip)\.c$')
    cp "$src/zlib.h" "$src/zconf.h" "$stage/include/"
    done_step zlib
fi

if step libpng; then
    src=$(unpack libpng)
    cp "$src/scripts/pnglibconf.h.prebuilt" "$src/pnglibconf.h"
    compile_lib "$stage/lib/libpng.a" -I"$stage/include" -- \
        $(ls "$src"/png*.c | grep -v -E '/(pngtest|example)\.c$')
    cp "$src/png.h" "$src/pngconf.h" "$src/pnglibconf.h" "$stage/include/"
    done_step libpng
fi

if step Lua; then
    src=$(unpack lua5.1)
    compile_lib "$stage/lib/liblua.a" -DLUA_ANSI -- $(ls "$src"/src/*.c | grep -v -E '/(lua|luac|print)\.c$')
    cp "$src"/src/{lua.h,luaconf.h,lualib.h,lauxlib.h} "$src/etc/lua.hpp" "$stage/include/"
    done_step Lua
fi

if step SDL2; then
    src=$(unpack libsdl2)
    sdl_files=$(cd "$src/src" && ls *.c atomic/*.c audio/*.c audio/disk/*.c audio/dummy/*.c \
        audio/emscripten/*.c cpuinfo/*.c dynapi/*.c events/*.c file/*.c filesystem/emscripten/*.c \
        haptic/*.c haptic/dummy/*.c joystick/*.c joystick/emscripten/*.c joystick/virtual/*.c \
        hidapi/*.c libm/*.c loadso/dlopen/*.c locale/*.c locale/emscripten/*.c misc/*.c \
        misc/emscripten/*.c power/*.c power/emscripten/*.c render/*.c render/opengles2/*.c \
        render/software/*.c sensor/*.c sensor/dummy/*.c stdlib/*.c thread/*.c thread/generic/*.c \
        timer/*.c timer/unix/*.c video/*.c video/emscripten/*.c video/yuv2rgb/*.c 2>/dev/null |
        sed "s|^|$src/src/|")
    compile_lib "$stage/lib/libSDL2.a" -I"$src/include" -- $sdl_files
    mkdir -p "$stage/include/SDL2"
    cp "$src"/include/*.h "$stage/include/SDL2/"
    done_step SDL2
fi

if step FreeType; then
    src=$(unpack freetype)
    emcmake cmake $(answers freetype) -S "$src" -B "$work/freetype-build" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_C_FLAGS="$DEP_CFLAGS" -DCMAKE_INSTALL_PREFIX="$stage" -DBUILD_SHARED_LIBS=OFF \
        -DFT_REQUIRE_ZLIB=ON -DFT_DISABLE_BZIP2=ON -DFT_DISABLE_PNG=ON -DFT_DISABLE_HARFBUZZ=ON \
        -DFT_DISABLE_BROTLI=ON -DZLIB_INCLUDE_DIR="$stage/include" -DZLIB_LIBRARY="$stage/lib/libz.a" \
        >"$work/freetype.log" 2>&1 || { tail -n 40 "$work/freetype.log" >&2; exit 1; }
    cmake --build "$work/freetype-build" -j "$jobs" --target install >>"$work/freetype.log" 2>&1 ||
        { tail -n 40 "$work/freetype.log" >&2; exit 1; }
    mkdir -p "$stage/share/configure" && cp "$work/freetype-build/CMakeCache.txt" "$stage/share/configure/freetype.txt"
    done_step FreeType
fi

if step Allegro; then
    src=$(unpack allegro5)
    emcmake cmake $(answers allegro) -S "$src" -B "$work/allegro-build" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_C_FLAGS="$DEP_CFLAGS" -DCMAKE_CXX_FLAGS="$DEP_CFLAGS" -DCMAKE_INSTALL_PREFIX="$stage" \
        -DALLEGRO_SDL=ON -DSHARED=OFF -DWANT_WAIT_EVENT_SLEEP=ON \
        -DSDL2_INCLUDE_DIR="$stage/include/SDL2" -DSDL2_LIBRARY="$stage/lib/libSDL2.a" \
        -DWANT_IMAGE=ON -DWANT_IMAGE_PNG=ON -DWANT_IMAGE_JPG=OFF -DWANT_IMAGE_WEBP=OFF \
        -DWANT_IMAGE_FREEIMAGE=OFF -DWANT_NATIVE_IMAGE_LOADER=OFF \
        -DPNG_PNG_INCLUDE_DIR="$stage/include" -DPNG_LIBRARY="$stage/lib/libpng.a" \
        -DZLIB_INCLUDE_DIR="$stage/include" -DZLIB_LIBRARY="$stage/lib/libz.a" \
        -DWANT_TTF=ON -DFREETYPE_INCLUDE_DIR_ft2build="$stage/include/freetype2" \
        -DFREETYPE_INCLUDE_DIR_freetype2="$stage/include/freetype2" \
        -DFREETYPE_LIBRARY="$stage/lib/libfreetype.a" -DFREETYPE_ZLIB=ON -DWANT_ALLOW_SSE=OFF \
        -DWANT_FONT=ON -DWANT_PRIMITIVES=ON -DWANT_AUDIO=OFF -DWANT_COLOR=OFF -DWANT_MEMFILE=OFF \
        -DWANT_PHYSFS=OFF -DWANT_NATIVE_DIALOG=OFF -DWANT_VIDEO=OFF -DWANT_DOCS=OFF \
        -DWANT_EXAMPLES=OFF -DWANT_DEMO=OFF -DWANT_TESTS=OFF -DWANT_RELEASE_LOGGING=OFF \
        >"$work/allegro.log" 2>&1 || { tail -n 40 "$work/allegro.log" >&2; exit 1; }
    cmake --build "$work/allegro-build" -j "$jobs" --target install >>"$work/allegro.log" 2>&1 ||
        { tail -n 40 "$work/allegro.log" >&2; exit 1; }
    mkdir -p "$stage/share/configure" && cp "$work/allegro-build/CMakeCache.txt" "$stage/share/configure/allegro.txt"
    done_step Allegro
fi

rm -f "$stage"/.done-*
touch "$stage/.complete"
rm -rf "$prefix"
mv "$stage" "$prefix"
log "done ($(($(date +%s) - started)) s)"
echo "$prefix"
