#!/usr/bin/env bash
# The real Velmora.exe under Wine: it starts in an empty folder, shows its window (screenshot),
# and ends on Esc as a user closes it. Usage: start_close.sh Velmora.exe SHOTS_DIR WORK_DIR
set -u
exe=$1 shots=$2 work=$3
root=$(cd "$(dirname "$0")/../.." && pwd)
source "$root/scripts/wine-env.sh" || exit 1
mkdir -p "$shots"
rm -rf "$work" && mkdir -p "$work" && cd "$work" || exit 1

wine "$exe" >"$work/wine.log" 2>&1 </dev/null &
app=$!
desktop=""
for _ in $(seq 50); do
    desktop=$(xdotool search --name 'Wine desktop' 2>/dev/null | head -n 1)
    [[ -n $desktop ]] && break
    sleep 0.2
done
sleep 2
import -window root "$shots/e2e-start.png"
if ! kill -0 "$app" 2>/dev/null; then
    echo "Velmora.exe ended by itself"
    exit 1
fi
[[ -n $desktop ]] && xdotool windowfocus --sync "$desktop" 2>/dev/null
xdotool key Escape
for _ in $(seq 50); do
    kill -0 "$app" 2>/dev/null || break
    sleep 0.2
done
if kill -0 "$app" 2>/dev/null; then
    echo "Velmora.exe did not end on Esc"
    kill "$app"
    exit 1
fi
wait "$app"
echo "Velmora.exe ended with exit code $?"
