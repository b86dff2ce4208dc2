#!/usr/bin/env bash
# Builds everything and runs every test: the native unit tests (under several time zones, with
# AddressSanitizer and UBSan) and the Windows tests under Wine on a virtual display.
set -euo pipefail
source "$(dirname "$0")/scripts/lib.sh"
trap velmora_cleanup EXIT

velmora_install
velmora_build_native
velmora_build_windows
velmora_start_display
velmora_start_wine

status=0
for build in native win; do
    echo "== $build tests"
    (cd "$VELMORA_BUILD/$build" && ctest --output-on-failure --timeout 180) >"$VELMORA_BUILD/logs/ctest-$build.log" 2>&1 || status=1
    # ctest's summary, and what failed in full.
    if ((status)); then cat "$VELMORA_BUILD/logs/ctest-$build.log"; else
        grep -E 'tests passed|tests failed|Total Test time' "$VELMORA_BUILD/logs/ctest-$build.log"; fi
    ((status)) && break
done
exit $status
