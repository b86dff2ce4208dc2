#!/usr/bin/env bash
# Runs one Windows program under Wine with the loader and prefix of its build (VELMORA_WINE_ARCH,
# which ctest sets for every test of a Windows build); test.sh has started the display and the
# wine server.
set -u
# shellcheck source=wine-env.sh
source "$(dirname "$0")/wine-env.sh" || exit 1
exec "$WINELOADER" "$@"
