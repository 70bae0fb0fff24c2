#!/usr/bin/env bash
# Shows what a screen reader is told while Urdu is typed: two real copies under a private Xvfb
# and session bus with the desktop's accessibility bridge on, Ali calls Sara, types "slam dwst"
# (سلام دوست) in his Urdu composer and takes the last letter back; every text change the
# accessibility bus carries is printed, as AT-SPI gives it to a screen reader.
#
#   tools/screen-reader-check.sh [BUILD_DIR] [Naskh|Nastaliq] [DISPLAY_NUMBER]
#
# Needs xvfb, openbox, xdotool, at-spi2-core, python3-pyatspi and dbus (dbus-run-session), and
# ports 786 and 821 free. Keys go one at a time, Alt held apart from its letter: the bridge
# hands each key to the accessibility registry before the program sees it, and a chord sent all
# at once can arrive out of order.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
if [ -z "${DBUS_SESSION_BUS_ADDRESS:-}" ] || [ -z "${KALVEX_CHECK_BUS:-}" ]; then
    exec env KALVEX_CHECK_BUS=1 dbus-run-session -- "$0" "$@"
fi
program="${1:-$root/build}/src/kalvex"
script="${2:-Naskh}"
display=":${3:-72}"
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
source "$root/tools/copies.sh"
start_display
/usr/bin/python3 - > "$work/told.txt" 2>/dev/null <<'PYTHON' &
import pyatspi
def told(event):
    if event.source.getRoleName() == "text":
        print(event.type, event.detail1, repr(event.any_data), flush=True)
pyatspi.Registry.registerEventListener(told, "object:text-changed")
pyatspi.Registry.start()
PYTHON
pids+=($!)
sleep 2

sara=$(start Sara "Sara Khan")
pids+=("$(cat "$work/Sara/pid")")
ali=$(start Ali "Ali Raza" "UrduScript=$script")
pids+=("$(cat "$work/Ali/pid")")
xdotool windowmove "$sara" 10 40 windowmove "$ali" 350 40
xdotool windowactivate --sync "$ali"
sleep 0.5
xdotool keydown alt && sleep 0.4 && xdotool key f && sleep 0.4 && xdotool keyup alt
sleep 2
xdotool key c
sleep 3
xdotool key Return
question=$(xdotool search --sync --all --onlyvisible --pid "${pids[3]}" --name '^Kalvex$' | head -1)
xdotool windowactivate --sync "$question" key Return
sleep 2
lines=$(wc -l < "$work/told.txt")
xdotool windowactivate --sync "$ali"
sleep 0.3
xdotool type --delay 300 "slam dwst"
sleep 1
xdotool key BackSpace
sleep 2
echo "# what Ali's screen reader was told while he typed, in $script:"
tail -n +"$((lines + 1))" "$work/told.txt"
