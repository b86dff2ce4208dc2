# What the end-to-end scripts share: checks that are counted, keys sent to the program's window,
# and an end to the program whatever happens. The script sets `app` to the program's process.
# shellcheck shell=bash

failures=0
# A description, then a command that must succeed.
check() {
    local what=$1
    shift
    if "$@"; then echo "ok: $what"; else
        echo "FAIL: $what"
        failures=$((failures + 1))
    fi
}

app=""
# Ends the program if it still runs.
end_app() {
    [[ -n $app ]] && kill -0 "$app" 2>/dev/null && kill "$app" 2>/dev/null && wait "$app" 2>/dev/null
}
trap end_app EXIT

# Sends keys through Wine's virtual desktop, which hands them to the active window.
keys() {
    local desktop
    desktop=$(xdotool search --name 'Wine desktop' 2>/dev/null | head -n 1)
    [[ -n $desktop ]] && xdotool windowfocus --sync "$desktop" 2>/dev/null
    xdotool key --delay 150 "$@"
    sleep 0.5
}
