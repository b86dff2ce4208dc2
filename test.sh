#!/usr/bin/env bash
# Builds everything and runs every test: the native unit tests (under several time zones, with
# AddressSanitizer and UBSan), the release archives' checks, and the Windows tests under Wine on a
# virtual display, for each Windows build the machine runs (VELMORA_WINE_ARCHES picks by hand).
set -euo pipefail
source "$(dirname "$0")/scripts/lib.sh"
trap velmora_cleanup EXIT

velmora_install
velmora_pick_arches
echo "== build: native, Windows x86 and x64, release archives"
velmora_build_native
velmora_build_windows x86
velmora_build_windows x64
velmora_build_release
velmora_start_display

status=0 passed=0 failed=0
# Runs ctest in one build folder; its summary is shown, and everything when a test fails.
run_ctest() {
    local name=$1 dir=$2 log=$VELMORA_BUILD/logs/ctest-$1.log rc=0 total bad
    echo "== $name tests"
    (cd "$dir" && ctest --output-on-failure --timeout 300) >"$log" 2>&1 || rc=1
    if ((rc)); then cat "$log"; else grep -E 'tests passed|tests failed|Total Test time' "$log"; fi
    read -r bad total < <(sed -n 's/.* \([0-9]*\) tests failed out of \([0-9]*\)$/\1 \2/p' "$log") ||
        { bad=1 total=1; }
    passed=$((passed + total - bad)) failed=$((failed + bad))
    ((rc)) && status=1
    return 0
}

run_ctest native "$VELMORA_BUILD/native"
for arch in "${VELMORA_ARCHES[@]}"; do
    velmora_start_wine "$arch"
    run_ctest "win-$arch" "$VELMORA_BUILD/win-$arch"
    velmora_stop_wine
done
echo "Tested: native, release archives, Windows ${VELMORA_ARCHES[*]} under Wine"
echo "$passed passed, $failed failed"
exit $status
