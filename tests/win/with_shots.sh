#!/usr/bin/env bash
# Runs a Windows test under Wine with VELMORA_SHOTS naming a folder for its screenshots, then
# turns the BMP files it saved into PNG. Usage: with_shots.sh SHOTS_DIR TEST.exe [ARGS...]
set -u
shots=$1
shift
root=$(cd "$(dirname "$0")/../.." && pwd)
source "$root/scripts/wine-env.sh" || exit 1
mkdir -p "$shots"
rm -f "$shots"/*.bmp
VELMORA_SHOTS=$(winepath -w "$shots" 2>/dev/null)
export VELMORA_SHOTS
"$root/scripts/wine-test.sh" "$@"
status=$?
for bmp in "$shots"/*.bmp; do
    [[ -e $bmp ]] || continue
    convert "$bmp" "${bmp%.bmp}.png" && rm -f "$bmp"
done
exit $status
