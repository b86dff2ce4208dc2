# The Wine settings of one Windows build, for every script that runs a program under Wine:
# VELMORA_WINE_ARCH (x86 or x64) picks Wine's own loader and a private prefix for that build.
# Wine's `wine`, `winepath` and `wineboot` then go through the loader named in WINELOADER
# (scripts/winebin comes first on PATH), never through Debian's wrapper, which takes the 32-bit
# loader whenever wine32 is installed. VELMORA_WINEPREFIX names another folder for the prefixes.
# shellcheck shell=bash

velmora_env_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
case ${VELMORA_WINE_ARCH:-} in
x86) export WINEARCH=win32 WINELOADER=${VELMORA_WINE32:-/usr/lib/wine/wine} ;;
x64) export WINEARCH=win64 WINELOADER=${VELMORA_WINE64:-/usr/lib/wine/wine64} ;;
*)
    echo "VELMORA_WINE_ARCH must name the Windows build to run: x86 or x64" >&2
    return 1
    ;;
esac
export WINEPREFIX=${VELMORA_WINEPREFIX:-$velmora_env_root/build/wineprefix}/$VELMORA_WINE_ARCH
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml="
export LC_ALL=ja_JP.UTF-8
case :$PATH: in
*":$velmora_env_root/scripts/winebin:"*) ;;
*) export PATH=$velmora_env_root/scripts/winebin:$PATH ;;
esac
unset velmora_env_root
