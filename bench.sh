#!/usr/bin/env bash
# Builds and runs the benchmarks, which print figures, under Wine on a virtual display:
#   ./bench.sh [x86|x64] [DIVISOR]
# x86 (the default where the machine runs 32-bit code, else x64) or x64 picks the build; DIVISOR
# divides every count of the list benchmark (10 for a quick run).
set -euo pipefail
source "$(dirname "$0")/scripts/lib.sh"
trap velmora_cleanup EXIT

velmora_install
arch=${1:-}
if [[ -z $arch ]]; then
    if velmora_runs_x86; then arch=x86; else arch=x64; fi
elif [[ $arch == x86 ]] && ! velmora_runs_x86; then
    velmora_say "The x86 benchmarks cannot run here: $VELMORA_X86_REASON."
    exit 1
fi
divisor=${2:-1}
velmora_toolchain "$arch" >/dev/null
velmora_build_windows "$arch" --target velmora_run_bench velmora_list_bench
velmora_start_display
velmora_start_wine "$arch"
bench=$VELMORA_BUILD/win-$arch/bench
echo "== $arch: the run over 2,000 files"
wine "$bench/velmora_run_bench.exe" $((2000 / divisor))
echo "== $arch: the file list"
wine "$bench/velmora_list_bench.exe" "$divisor"
