#!/usr/bin/env bash
# Makes the release archives that users download: dist/Velmora-VERSION-x86.zip (the 32-bit
# program) and dist/Velmora-VERSION-x64.zip, each with the optimised, stripped Velmora.exe and
# the Japanese readme.txt.
set -euo pipefail
source "$(dirname "$0")/scripts/lib.sh"

velmora_install
velmora_build_release
