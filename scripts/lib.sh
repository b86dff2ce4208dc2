# Set-up shared by run.sh and test.sh: packages, builds, a virtual display and a private Wine
# prefix. Everything it starts is ended by velmora_cleanup (call it from an EXIT trap).
# shellcheck shell=bash

VELMORA_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
VELMORA_BUILD=$VELMORA_ROOT/build
mkdir -p "$VELMORA_BUILD/logs"

velmora_say() { printf '%s\n' "$*" >&2; }

# Debian packages the two commands need, and the Japanese locale Wine decodes names with.
VELMORA_PACKAGES=(wine wine32:i386 fonts-wine xvfb xdotool x11-utils imagemagick fonts-ipafont-gothic locales
    g++-mingw-w64-i686-posix cmake ninja-build g++ libgtest-dev googletest clang-format)

velmora_install() {
    local missing=() pkg status
    for pkg in "${VELMORA_PACKAGES[@]}"; do
        status=$(dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null)
        [[ $status == "install ok installed" ]] || missing+=("$pkg")
    done
    local sudo=()
    [[ $(id -u) -eq 0 ]] || sudo=(sudo)
    if ((${#missing[@]})); then
        velmora_say "Installing: ${missing[*]} (log: build/logs/apt.log)"
        {
            dpkg --print-foreign-architectures | grep -qx i386 || "${sudo[@]}" dpkg --add-architecture i386
            "${sudo[@]}" apt-get update -q
            DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
        } >"$VELMORA_BUILD/logs/apt.log" 2>&1 || {
            tail -n 30 "$VELMORA_BUILD/logs/apt.log" >&2
            return 1
        }
    fi
    if ! locale -a 2>/dev/null | grep -qix 'ja_JP.utf8'; then
        velmora_say "Generating the ja_JP.UTF-8 locale"
        grep -qx 'ja_JP.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null ||
            echo 'ja_JP.UTF-8 UTF-8' | "${sudo[@]}" tee -a /etc/locale.gen >/dev/null
        "${sudo[@]}" locale-gen >"$VELMORA_BUILD/logs/locale.log" 2>&1
    fi
}

# Runs a build step quietly; its output is shown only when it fails.
velmora_quiet() {
    local log=$1
    shift
    "$@" >"$log" 2>&1 || {
        cat "$log" >&2
        return 1
    }
}

velmora_build_windows() {
    local dir=$VELMORA_BUILD/win
    if [[ ! -f $dir/build.ninja ]]; then
        velmora_quiet "$VELMORA_BUILD/logs/configure-win.log" cmake -S "$VELMORA_ROOT" -B "$dir" -G Ninja \
            -DCMAKE_TOOLCHAIN_FILE="$VELMORA_ROOT/cmake/toolchain-mingw-i686.cmake" || return 1
    fi
    velmora_quiet "$VELMORA_BUILD/logs/build-win.log" cmake --build "$dir" "$@"
}

velmora_build_native() {
    local dir=$VELMORA_BUILD/native
    if [[ ! -f $dir/build.ninja ]]; then
        velmora_quiet "$VELMORA_BUILD/logs/configure-native.log" cmake -S "$VELMORA_ROOT" -B "$dir" -G Ninja \
            -DVELMORA_SANITIZE=ON || return 1
    fi
    velmora_quiet "$VELMORA_BUILD/logs/build-native.log" cmake --build "$dir"
}

velmora_wine_env() {
    export WINEPREFIX=${VELMORA_WINEPREFIX:-$VELMORA_BUILD/wineprefix}
    export WINEARCH=win32
    export WINEDEBUG=-all
    export WINEDLLOVERRIDES="mscoree,mshtml="
    export LC_ALL=ja_JP.UTF-8
}

# Starts the prefix's wine server with its output in a file, so that no process started later
# holds on to the caller's output; makes the prefix on first use.
velmora_start_wine() {
    velmora_wine_env
    if [[ ! -f $WINEPREFIX/system.reg ]]; then
        velmora_say "Creating the Wine prefix build/wineprefix"
        {
            wineboot -i
            # The dialogs ask for MS PGothic; IPA's proportional Gothic stands in for it.
            wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'ＭＳ Ｐゴシック' /d 'IPAPGothic' /f
            wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'ＭＳ ゴシック' /d 'IPAGothic' /f
            # One virtual desktop for every program: Wine then draws captions and frames itself,
            # as no window manager runs on the virtual display.
            wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f
            wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f
        } >"$VELMORA_BUILD/logs/wineboot.log" 2>&1
        wineserver -w
    fi
    wineserver -p >"$VELMORA_BUILD/logs/wineserver.log" 2>&1 </dev/null
    VELMORA_WINE_STARTED=1
    # The first program of a session starts Wine's services, which stay; start them here.
    wineboot >"$VELMORA_BUILD/logs/wineboot-start.log" 2>&1 </dev/null
}

# Starts Xvfb on a free display and exports DISPLAY.
velmora_start_display() {
    local n=90
    while [[ -e /tmp/.X$n-lock || -e /tmp/.X11-unix/X$n ]]; do n=$((n + 1)); done
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >"$VELMORA_BUILD/logs/xvfb.log" 2>&1 </dev/null &
    VELMORA_XVFB_PID=$!
    local tries=0
    until [[ -e /tmp/.X11-unix/X$n ]]; do
        tries=$((tries + 1))
        if ((tries > 100)) || ! kill -0 "$VELMORA_XVFB_PID" 2>/dev/null; then
            velmora_say "Xvfb did not start (build/logs/xvfb.log)"
            return 1
        fi
        sleep 0.1
    done
    export DISPLAY=:$n
}

velmora_cleanup() {
    if [[ -n ${VELMORA_WINE_STARTED:-} ]]; then
        wineserver -k >/dev/null 2>&1
        wineserver -w >/dev/null 2>&1
    fi
    if [[ -n ${VELMORA_XVFB_PID:-} ]]; then
        kill "$VELMORA_XVFB_PID" 2>/dev/null
        wait "$VELMORA_XVFB_PID" 2>/dev/null
    fi
    return 0
}
