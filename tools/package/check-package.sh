#!/usr/bin/env bash
# Installs a Kalvex Debian package on a fresh, minimal Debian 12 and checks that it works
# there: dependencies from the mirror, both ports listening for a normal user, the main
# window shown, the font among the system's fonts, the data files where the program looks;
# then purges it and checks that nothing of it is left.
#   sudo tools/package/check-package.sh kalvex_1.0_amd64.deb [screenshot.png]
# Needs root (debootstrap, chroot, a network namespace) and Debian's mirror. The minimal
# system is made once in /var/tmp/kalvex-bookworm and copied for every check, so each check
# starts clean. The program runs in a network namespace of its own, so ports 786 and 821
# are free whatever runs on this machine.
set -euo pipefail

deb=$(realpath "${1:?usage: $0 package.deb [screenshot.png]}")
screenshot=${2:-}
mirror=http://deb.debian.org/debian
base=/var/tmp/kalvex-bookworm
display=:94
failures=0

[ "$(id -u)" -eq 0 ] || { echo "run as root" >&2; exit 2; }
command -v debootstrap >/dev/null || apt-get install -y -qq debootstrap >/dev/null

if [ ! -d "$base" ]; then
    echo "# making a minimal Debian 12 in $base (once)"
    rm -rf "$base.partial"
    debootstrap --variant=minbase bookworm "$base.partial" "$mirror" >/dev/null
    mv "$base.partial" "$base"
fi

work=$(mktemp -d /var/tmp/kalvex-check.XXXXXX)
netns=kalvex-check-$$

# Ends what runs in the copy, unmounts it and only then deletes it.
cleanup() {
    local root pid
    for root in /proc/[0-9]*/root; do
        [ "$(readlink "$root" 2>/dev/null)" = "$work" ] || continue
        pid=${root#/proc/}
        kill -9 "${pid%/root}" 2>/dev/null || true
    done
    ip netns delete "$netns" 2>/dev/null || true
    umount -R "$work/proc" "$work/dev" 2>/dev/null || true
    if findmnt -rn -o TARGET | grep -q "^$work"; then
        echo "still mounted under $work; left in place" >&2
    else
        rm -rf "$work"
    fi
}
trap cleanup EXIT

# A command in the copy, in the program's network namespace.
in_copy=(ip netns exec "$netns" chroot "$work" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin
    LANG=C.UTF-8 DEBIAN_FRONTEND=noninteractive)
inside() { "${in_copy[@]}" "$@"; }

# check DESCRIPTION COMMAND...: one line, "ok" or "FAIL", for a command run in the copy.
check() {
    local description=$1
    shift
    if inside sh -c "$*" >/dev/null 2>&1; then
        echo "ok    $description"
    else
        echo "FAIL  $description"
        failures=$((failures + 1))
    fi
}

echo "# fresh copy in $work"
cp -a "$base/." "$work/"
cp /etc/resolv.conf "$work/etc/resolv.conf"
cat > "$work/etc/apt/sources.list" <<EOF
deb $mirror bookworm main
deb $mirror bookworm-updates main
deb http://deb.debian.org/debian-security bookworm-security main
EOF
cp "$deb" "$work/tmp/"
mount -t proc proc "$work/proc"
mount --rbind /dev "$work/dev"
mount --make-rslave "$work/dev"
ip netns add "$netns"

# The package alone first, without recommendations, so that its Depends line must suffice.
echo "# installing $(basename "$deb") and its dependencies from the mirror"
chroot "$work" apt-get update -qq
chroot "$work" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
    "/tmp/$(basename "$deb")" >/dev/null
dpkg-deb -f "$deb" Depends | sed 's/^/# Depends: /'
inside dpkg-query -L kalvex > "$work.files"
check "no library missing" \
    '! ldd /usr/bin/kalvex /usr/lib/kalvex/kalvex_sound.so | grep -q "not found"'
check "low ports granted to the program" 'getcap /usr/bin/kalvex | grep -q cap_net_bind_service'
check "Qirtas1 among the system's fonts" 'fc-list | grep -q Qirtas1'
check "help page and sounds in ../share/kalvex beside the program" \
    'cd "$(dirname "$(readlink -f "$(command -v kalvex)")")/../share/kalvex" &&
     test -s help.html && test -s message.wav && test -s request.wav && test -s error.wav'
check "desktop entry and icon" \
    'test -f /usr/share/applications/kalvex.desktop &&
     test -f /usr/share/icons/hicolor/48x48/apps/kalvex.png'

echo "# starting it as a normal user under Xvfb"
chroot "$work" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
    xvfb xdotool x11-apps iproute2 procps >/dev/null
inside useradd -m tester
inside ip link set lo up
"${in_copy[@]}" Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
sleep 2
"${in_copy[@]}" runuser -u tester -- env DISPLAY="$display" HOME=/home/tester kalvex \
    >"$work.log" 2>&1 &
session=$!
for _ in $(seq 30); do
    inside ss -ltn | grep -q ':821 ' && break
    sleep 1
done
sleep 2
check "runs as the normal user" "ps -o user= --ppid $session | grep -qx tester"
check "chat port 786 listening" 'ss -ltn | grep -q ":786 "'
check "file port 821 listening" 'ss -ltn | grep -q ":821 "'
check "main window shown" "DISPLAY=$display xdotool search --onlyvisible --name '^Kalvex'"
# A call rings: the request sound is the first sound, and the sound module loads for it.
program_maps="/proc/\$(ps -o pid= --ppid $session)/maps"
check "sound module not loaded at start" "! grep -q kalvex_sound.so $program_maps"
inside bash -c 'exec 3<>/dev/tcp/127.0.0.1/786; sleep 2'
check "sound module loaded at the first sound" "grep -q kalvex_sound.so $program_maps"
if [ -n "$screenshot" ]; then
    inside sh -c "DISPLAY=$display xwd -root -silent" > "$work.xwd"
    convert "xwd:$work.xwd" "$screenshot" && echo "# screenshot: $screenshot"
    rm -f "$work.xwd"
fi
# runuser hands the end on to the program; the display goes after it.
kill "$session"
wait "$session" || true
kill "$xvfb"
wait "$xvfb" || true
sed 's/^/# program: /' "$work.log"

echo "# purging the package"
inside apt-get purge -y -qq kalvex >/dev/null
check "package gone" '! dpkg-query -W -f="\${Status}" kalvex 2>/dev/null | grep -q "ok installed"'
check "program gone" '! command -v kalvex'
check "Qirtas1 no longer among the fonts" '! fc-list | grep -q Qirtas1'
leftovers=$(while read -r file; do
    if [ -f "$work$file" ] || { [ -d "$work$file" ] && [[ $file == *kalvex* ]]; }; then
        echo "$file"
    fi
done < "$work.files")
if [ -z "$leftovers" ]; then
    echo "ok    none of its files left"
else
    echo "FAIL  files left:" $leftovers
    failures=$((failures + 1))
fi
rm -f "$work.files" "$work.log"

echo "# $failures failed"
[ "$failures" -eq 0 ]
