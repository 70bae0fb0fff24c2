# Sourced by the tools that drive real copies under a private Xvfb: a display with a window
# manager, and copies each with folders of their own under a temporary folder, so none meets a
# copy already running. The sourcing script sets `program` and `display` and adds what it
# starts to `pids`; all of it is ended, last first, when the script finishes.

work="$(mktemp -d)"
pids=()
# The copies first (they write their settings as they end), the display last.
finish() {
    for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
        kill "${pids[i]}" 2>/dev/null || true
        sleep 1
    done
    rm -rf "$work"
}
trap finish EXIT

# start_display: Xvfb at $display with openbox, exported as DISPLAY.
start_display() {
    export DISPLAY="$display"
    Xvfb "$display" -screen 0 1000x600x24 -nolisten tcp &
    pids+=($!)
    sleep 1
    openbox 2>/dev/null &
    pids+=($!)
    sleep 1
}

# start NICK FULL_NAME [SETTING...]: one copy with folders of its own and these settings
# lines added; prints its window. Runs in a subshell, so the copy's process id is left in
# the folder for the parent to end.
start() {
    local home="$work/$1"
    mkdir -p "$home/run" "$home/config/Kalvex" "$home/data"
    chmod 700 "$home/run"
    printf '[settings]\nNickname=%s\nFullName=%s\nEmail=%s@example.org\nRemoteIP=127.0.0.1\n' \
        "$1" "$2" "${1,,}" > "$home/config/Kalvex/Kalvex.conf"
    printf '%s\n' "${@:3}" >> "$home/config/Kalvex/Kalvex.conf"
    HOME="$home" XDG_RUNTIME_DIR="$home/run" XDG_CONFIG_HOME="$home/config" \
        XDG_DATA_HOME="$home/data" "$program" > "$home/log.txt" 2>&1 &
    echo $! > "$home/pid"
    xdotool search --sync --all --onlyvisible --pid "$!" --name '^Kalvex v1.0$' | head -1
}
