#!/usr/bin/env bash
# The Debian package as a player meets it, without installing it:
#   bash tests/e2e/package.sh DEB ROOT BUILD_DIR
# lintian finds no error; the package holds the game, the launcher, the tools, the menu entry,
# the icons, the metadata (which validate), the manuals and the Debian documents, with fonts
# as links; `cmake --install` of BUILD_DIR to another prefix gives the same tree. Unpacked
# into a scratch root and started through its launcher with a scratch HOME, the game opens its
# window and loads the farm in ~/.local/share/fennow-online, writes FennowOnline.cfg there and
# nothing under the unpacked tree, and keeps it on a second start (play_installed.sh); the
# launcher passes options on and follows XDG_DATA_HOME.
DEB=$(readlink -f "${1:?package missing}")
source "$(dirname "$0")/lib.sh"
e2e_init "$@"
[ -n "${3:-}" ] || e2e_fail "usage: package.sh DEB ROOT BUILD_DIR"
BUILD=$TOOLS
E2E_TIMEOUT=${E2E_TIMEOUT:-60}

# --- lintian: no error; warnings are shown ---
lintian --fail-on error "$DEB" >"$WORK/lintian" 2>&1 || {
    cat "$WORK/lintian" >&2
    e2e_fail "lintian reports errors"
}
sed 's/^/  lintian: /' "$WORK/lintian"

# --- what the package holds ---
UNPACKED=$WORK/root
dpkg-deb -x "$DEB" "$UNPACKED" || e2e_fail "dpkg-deb -x failed"
for f in usr/games/fennow-online usr/lib/games/fennow-online/fennow-online usr/bin/fennow-maptool \
    usr/bin/fennow-check usr/share/games/fennow-online/Data/Maps/WillowCreekFarm.fmp \
    usr/share/applications/fennow-online.desktop usr/share/doc/fennow-online/copyright \
    usr/share/doc/fennow-online/changelog.gz usr/share/man/man6/fennow-online.6.gz \
    usr/share/man/man1/fennow-maptool.1.gz usr/share/man/man1/fennow-check.1.gz; do
    [ -f "$UNPACKED/$f" ] || e2e_fail "the package has no /$f"
done
for size in 48 128 256; do
    icon=$UNPACKED/usr/share/icons/hicolor/${size}x$size/apps/fennow-online.png
    [ "$(identify -format %wx%h "$icon" 2>/dev/null)" = "${size}x$size" ] || e2e_fail "no $size pixel icon"
done
metainfo=$(find "$UNPACKED/usr/share/metainfo" -name '*.metainfo.xml')
grep -q '<screenshot type="default">' "$metainfo" || e2e_fail "the metadata names no screenshot"
grep -qx 'Categories=Game;RolePlaying;' "$UNPACKED/usr/share/applications/fennow-online.desktop" ||
    e2e_fail "the menu entry is not in Game;RolePlaying;"
desktop-file-validate "$UNPACKED/usr/share/applications/fennow-online.desktop" || e2e_fail "desktop-file-validate"
appstreamcli validate --no-net "$metainfo" || e2e_fail "appstreamcli validate"
depends=$(dpkg-deb -f "$DEB" Depends)
for dep in fonts-freefont-ttf liballegro5.2 liblua5.1-0 libc6; do
    [[ ",$depends," =~ [\ ,]$dep[\ ,\(] ]] || e2e_fail "Depends lacks $dep: $depends"
done
# Fonts are links into the font package, never copies.
[ -z "$(find "$UNPACKED" -type f -iname '*.ttf')" ] || e2e_fail "the package copies a font"
for font in "$UNPACKED"/usr/share/games/fennow-online/Data/Graphics/Fonts/*.ttf; do
    target=$(readlink "$font")
    case $target in ../*/fonts/truetype/freefont/*) ;; *) e2e_fail "$font links to '$target'" ;; esac
done

# The tools run from the package on the shipped data.
SHIPPED=$UNPACKED/usr/share/games/fennow-online
"$UNPACKED/usr/bin/fennow-check" --data "$SHIPPED" >"$WORK/check.out" 2>&1 ||
    e2e_fail "fennow-check on the shipped data: $(tail -n 3 "$WORK/check.out")"
"$UNPACKED/usr/bin/fennow-maptool" check "$SHIPPED/Data/Maps/WillowCreekFarm.fmp" >"$WORK/maptool.out" 2>&1 ||
    e2e_fail "fennow-maptool check on the shipped map: $(tail -n 3 "$WORK/maptool.out")"

# --- cmake --install to another prefix gives the same tree ---
cmake --install "$BUILD" --prefix "$WORK/prefix" >/dev/null || e2e_fail "cmake --install failed"
diff <(cd "$UNPACKED/usr" && find . -mindepth 1 ! -type d -printf '%P %y\n' | sort) \
    <(cd "$WORK/prefix" && find . -mindepth 1 ! -type d -printf '%P %y\n' | sort) ||
    e2e_fail "the package and cmake --install differ"
readlink -e "$WORK/prefix/share/games/fennow-online/Data/Graphics/Fonts/Courier.ttf" >/dev/null ||
    e2e_fail "an installed font link leads nowhere"

# --- the unpacked package played from a scratch HOME ---
# The font package that Depends names is the system's own; the scratch root reaches it where an
# installed package would.
mkdir -p "$UNPACKED/usr/share/fonts/truetype" &&
    ln -s /usr/share/fonts/truetype/freefont "$UNPACKED/usr/share/fonts/truetype/freefont" ||
    e2e_fail "could not give the scratch root its fonts"
snapshot() { (cd "$UNPACKED" && find . -printf '%P %y %m %s %T@ %l\n' | sort); }
snapshot >"$WORK/before"

GAME=$UNPACKED/usr/games/fennow-online
mkdir "$WORK/home"
env -u XDG_DATA_HOME HOME="$WORK/home" bash "$(dirname "$0")/play_installed.sh" "$GAME" "$ROOT" ||
    e2e_fail "playing the unpacked package failed"
[ "$(readlink -f "$WORK/home/.local/share/fennow-online/Data")" = \
    "$(readlink -f "$UNPACKED/usr/share/games/fennow-online/Data")" ] || e2e_fail "Data leads elsewhere"

# Options are passed on; XDG_DATA_HOME names the folder.
# A launcher that dropped the option would start the game itself: the timeout ends it.
HOME=$WORK/home XDG_DATA_HOME=$WORK/xdg timeout 20 "$GAME" --help >"$WORK/help" 2>&1 ||
    e2e_fail "--help failed: $(tail -n 3 "$WORK/help")"
grep -q "^usage: fennow-online" "$WORK/help" || e2e_fail "--help did not reach the game: $(cat "$WORK/help")"
[ -L "$WORK/xdg/fennow-online/Data" ] || e2e_fail "XDG_DATA_HOME was not followed"
! env -u XDG_DATA_HOME -u HOME timeout 20 "$GAME" 2>"$WORK/nohome" || e2e_fail "started without HOME"
grep -q "neither HOME nor XDG_DATA_HOME" "$WORK/nohome" || e2e_fail "no message without HOME"

diff "$WORK/before" <(snapshot) || e2e_fail "something was written under the unpacked package"
e2e_pass
