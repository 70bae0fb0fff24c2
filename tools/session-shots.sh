#!/usr/bin/env bash
# Takes the README's session screenshots from two real copies under a private Xvfb:
# docs/chat-session.png (Sara and Ali, one Urdu and one English message each way) and
# docs/urdu-scripts.png (Ali's window in Naskh and in Nastaliq side by side).
#
#   tools/session-shots.sh [BUILD_DIR] [DISPLAY_NUMBER]
#
# Needs xvfb, openbox, xdotool and imagemagick, and ports 786 and 821 free: Sara listens on
# them, Ali cannot and calls her on 127.0.0.1. Each copy has its own home, runtime, settings and
# data folders under a temporary folder, so neither meets a copy already running. Look at both
# pictures before committing them (take them again if a blinking caret was caught), and compare
# the Urdu with hb-view of the same Unicode.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
program="${1:-$root/build}/src/kalvex"
display=":${2:-71}"
source "$root/tools/copies.sh"
start_display

# click WINDOW X Y: X and Y from the window's right and bottom edges.
click() {
    eval "$(xdotool getwindowgeometry --shell "$1")"
    xdotool mousemove --window "$1" $((WIDTH - $2)) $((HEIGHT - $3)) click 1
    sleep 0.3
}

# menu WINDOW KEYS...: opens Options and walks its accelerators.
menu() {
    local window="$1"
    shift
    xdotool windowactivate --sync "$window" key alt+o
    for key in "$@"; do
        sleep 0.4
        xdotool key "$key"
    done
    sleep 0.8
}

# write_in WINDOW TEXT: types into the window's focused composer.
write_in() {
    xdotool windowactivate --sync "$1"
    sleep 0.3
    xdotool type --delay 60 "$2"
}

# say WINDOW TEXT: types and sends.
say() {
    write_in "$1" "$2"
    xdotool key Return
    sleep 1
}

sara=$(start Sara "Sara Khan")
pids+=("$(cat "$work/Sara/pid")")
ali=$(start Ali "Ali Raza")
pids+=("$(cat "$work/Ali/pid")")
xdotool windowmove "$sara" 10 40 windowmove "$ali" 350 40
xdotool windowactivate --sync "$ali" key alt+f
sleep 0.4
xdotool key c
sleep 1
xdotool key Return
question=$(xdotool search --sync --all --onlyvisible --pid "${pids[2]}" --name '^Kalvex$' | head -1)
xdotool windowactivate --sync "$question" key Return
sleep 1.5

# The Urdu composer has the focus once the session opens; the phonetic keys of the key map.
say "$ali" "slam dwst, Ap kisE oiN?"
say "$sara" "miN Thik owN, xkrio."
for window in "$ali" "$sara"; do
    menu "$window" l e
    click "$window" 160 60
done
write_in "$ali" "Hello Sara, all good here!"
click "$ali" 24 60
write_in "$sara" "Glad to hear it, Ali."
click "$sara" 24 60
xdotool mousemove 900 550
sleep 0.5
import -window root "$work/session.png"
convert "$work/session.png" -crop 622x422+8+18 +repage "$root/docs/chat-session.png"

# Ali back in Urdu with a farewell left in his composer, in each script.
menu "$ali" l u
click "$ali" 160 80
write_in "$ali" "Kda HafV"
xdotool mousemove 900 550
sleep 0.5
import -window root "$work/naskh.png"
menu "$ali" s t
xdotool mousemove 900 550
sleep 0.5
import -window root "$work/nastaliq.png"
convert "$work/naskh.png" -crop 280x422+349+18 +repage "$work/left.png"
convert "$work/nastaliq.png" -crop 280x422+349+18 +repage "$work/right.png"
convert "$work/left.png" -size 12x422 xc:black "$work/right.png" +append +repage \
    "$root/docs/urdu-scripts.png"
echo "wrote docs/chat-session.png and docs/urdu-scripts.png: look at both"
