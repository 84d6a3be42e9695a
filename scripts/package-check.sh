#!/usr/bin/env bash
# Installs the Debian package for real, plays it twice as a new non-root user under Xvfb (the
# second start keeps the configuration), purges it and checks that nothing of it is left
# outside that user's folder. It changes the machine (a package, a user, for a while), so the
# test command does not run it. Run as root; everything it added is taken away at the end.
#   scripts/package-check.sh [DEB]     (default: the package scripts/package.sh builds)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
[ "$(id -u)" = 0 ] || {
    echo "package-check.sh: installing a package needs root: sudo scripts/package-check.sh" >&2
    exit 2
}
if dpkg-query -W -f='${Status}' fennow-online 2>/dev/null | grep -q installed; then
    echo "package-check.sh: fennow-online is installed already; remove it first" >&2
    exit 2
fi
deb=$(readlink -f "${1:-$(scripts/package.sh)}")

work=$(mktemp -d)
chmod 755 "$work"
user=fennow-check-$$
home=$work/home
installed=0
packages_before=$work/packages.before
# useradd and userdel keep backups of the account files: they are put back as they were.
mkdir "$work/accounts"
for f in /etc/passwd- /etc/group- /etc/shadow- /etc/gshadow- /etc/subuid- /etc/subgid-; do
    [ -e "$f" ] && cp -p "$f" "$work/accounts/"
done
remove_user() {
    local f
    id "$user" >/dev/null 2>&1 && userdel "$user"
    for f in /etc/passwd- /etc/group- /etc/shadow- /etc/gshadow- /etc/subuid- /etc/subgid-; do
        if [ -e "$work/accounts/${f#/etc/}" ]; then cp -p "$work/accounts/${f#/etc/}" "$f"; else rm -f "$f"; fi
    done
}
cleanup() {
    set +e
    [ $installed = 1 ] && apt-get purge -y -q fennow-online >/dev/null 2>&1
    remove_user
    rm -rf "$work"
}
trap cleanup EXIT
failed=0
fail() {
    echo "FAIL: $*"
    failed=1
}

# What is on the machine before, apart from places that change by themselves.
listing() {
    find / -xdev \( -path /proc -o -path /sys -o -path /dev -o -path /run -o -path /tmp \
        -o -path /var/tmp -o -path /var/log -o -path /var/cache -o -path /var/lib/apt \
        -o -path /var/lib/dpkg -o -path /root -o -path /home -o -path /work -o -path "$work" \) \
        -prune -o -print 2>/dev/null | sort
}
listing >"$work/files.before"
dpkg-query -W -f='${Package}\n' | sort >"$packages_before"

echo "== install $deb"
DEBIAN_FRONTEND=noninteractive apt-get install -y -q "$deb" >"$work/apt.log" 2>&1 || {
    cat "$work/apt.log"
    fail "apt-get install"
    exit 1
}
installed=1
dpkg -L fennow-online | sort >"$work/owned"
brought=$(comm -13 "$packages_before" <(dpkg-query -W -f='${Package}\n' | sort) | grep -vx fennow-online || true)
echo "installed, with ${brought:-no other new packages}"
[ -x /usr/games/fennow-online ] || fail "no /usr/games/fennow-online"

echo "== play twice as the user $user"
useradd --create-home --home-dir "$home" --shell /bin/bash "$user"
runuser -u "$user" -- env -i HOME="$home" PATH=/usr/games:/usr/local/bin:/usr/bin:/bin LANG=C.UTF-8 \
    bash "$root/tests/e2e/play_installed.sh" /usr/games/fennow-online "$root" || fail "playing as $user"
echo "the user's folder:"
(cd "$home" && find .local -printf '  %p %y %l\n' | sort)
outside=$(find / -xdev \( -path /proc -o -path /sys -o -path "$home" \) -prune -o -user "$user" -print 2>/dev/null)
[ -z "$outside" ] || fail "files of $user outside $home: $outside"
remove_user

echo "== purge"
# shellcheck disable=SC2086
apt-get purge -y -q fennow-online $brought >"$work/purge.log" 2>&1 || {
    cat "$work/purge.log"
    fail "apt-get purge"
}
installed=0
while IFS= read -r path; do
    [ -d "$path" ] && [ ! -L "$path" ] && continue # shared folders stay when other packages use them
    [ -e "$path" ] || [ -L "$path" ] && fail "left after the purge: $path"
done <"$work/owned"
left=$(comm -13 "$work/files.before" <(listing))
[ -z "$left" ] || fail "new on the machine after the purge: $left"
dpkg-query -W fennow-online >/dev/null 2>&1 && fail "dpkg still knows fennow-online"

if [ $failed = 0 ]; then
    echo "package check passed: installed, played twice as $user, purged, nothing left outside $home"
else
    echo "package check FAILED"
fi
exit $failed
