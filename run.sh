#!/usr/bin/env bash
# Builds Velmora.exe and starts it under Wine with the given files on its command line: the 32-bit
# program where the machine runs 32-bit code, else the 64-bit one. Linux paths are handed over as
# Windows paths (/home/me/a.txt becomes Z:\home\me\a.txt). Without a display it starts a virtual
# one, waits for the window, saves a screenshot and ends the program.
set -euo pipefail
source "$(dirname "$0")/scripts/lib.sh"
trap velmora_cleanup EXIT

velmora_install
if velmora_runs_x86; then arch=x86; else
    arch=x64
    velmora_say "Running the 64-bit Velmora.exe: $VELMORA_X86_REASON."
fi
velmora_say "Building and starting the $arch build (build/win-$arch/Velmora.exe)"
velmora_build_windows "$arch" --target Velmora
exe=$VELMORA_BUILD/win-$arch/Velmora.exe

headless=
if [[ -z ${DISPLAY:-} ]]; then
    headless=1
    velmora_start_display
fi
velmora_start_wine "$arch"

# A Linux path (absolute, or naming something that exists here) becomes the Windows path Wine
# shows for it; anything else, such as C:\x.txt, is handed over as it is.
args=()
for arg in "$@"; do
    if [[ $arg == /* || -e $arg ]]; then
        args+=("$(winepath -w "$(realpath -m -- "$arg")")")
    else
        args+=("$arg")
    fi
done

if [[ -z $headless ]]; then
    wine "$exe" "${args[@]}"
    exit 0
fi

shot=$VELMORA_BUILD/shots/run.png
mkdir -p "$(dirname "$shot")"
# The prefix runs every program in a virtual desktop, which draws captions and frames.
wine "$exe" "${args[@]}" >"$VELMORA_BUILD/logs/run.log" 2>&1 </dev/null &
app=$!
for _ in $(seq 100); do
    xdotool search --name 'Wine desktop' >/dev/null 2>&1 && break
    sleep 0.2
done
sleep 3
import -window root "$shot"
echo "Screenshot: $shot"
kill "$app" 2>/dev/null || true
