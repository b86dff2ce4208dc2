#!/usr/bin/env bash
# Builds Velmora.exe and starts it under Wine with the given files on its command line.
# Without a display it starts a virtual one, waits for the window, saves a screenshot and ends
# the program.
set -euo pipefail
source "$(dirname "$0")/scripts/lib.sh"
trap velmora_cleanup EXIT

velmora_install
velmora_build_windows --target Velmora
exe=$VELMORA_BUILD/win/Velmora.exe

if [[ -n ${DISPLAY:-} ]]; then
    velmora_start_wine
    wine "$exe" "$@"
    exit 0
fi

velmora_start_display
velmora_start_wine
shot=$VELMORA_BUILD/shots/run.png
mkdir -p "$(dirname "$shot")"
# The prefix runs every program in a virtual desktop, which draws captions and frames.
wine "$exe" "$@" >"$VELMORA_BUILD/logs/run.log" 2>&1 </dev/null &
app=$!
for _ in $(seq 100); do
    xdotool search --name 'Wine desktop' >/dev/null 2>&1 && break
    sleep 0.2
done
sleep 3
import -window root "$shot"
echo "Screenshot: $shot"
kill "$app" 2>/dev/null || true
