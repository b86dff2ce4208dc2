#!/usr/bin/env bash
# Runs one Windows test program under Wine with the project's prefix and settings; ctest calls
# it for every test built for Windows. test.sh has started the display and the wine server.
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX=${WINEPREFIX:-$root/build/wineprefix}
export WINEARCH=win32 WINEDEBUG=${WINEDEBUG:--all} LC_ALL=${LC_ALL:-ja_JP.UTF-8}
exec wine "$@"
