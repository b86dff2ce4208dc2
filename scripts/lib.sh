# Set-up shared by run.sh, test.sh and release.sh: packages, builds, the Windows builds each
# machine can run, a virtual display and a private Wine prefix per build. Everything it starts is
# ended by velmora_cleanup (call it from an EXIT trap).
# shellcheck shell=bash

VELMORA_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
VELMORA_BUILD=$VELMORA_ROOT/build
VELMORA_DIST=$VELMORA_ROOT/dist
mkdir -p "$VELMORA_BUILD/logs"

velmora_say() { printf '%s\n' "$*" >&2; }

# Debian packages the commands need, and the Japanese locale Wine decodes names with.
VELMORA_PACKAGES=(wine wine32:i386 wine64 fonts-wine xvfb xdotool x11-utils imagemagick
    fonts-ipafont-gothic locales g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix cmake
    ninja-build g++ libgtest-dev googletest clang-format)

# Installs what is missing, whatever is or is not there yet: packages, the i386 architecture
# (for wine32) and the ja_JP.UTF-8 locale.
velmora_install() {
    local missing=() pkg status
    for pkg in "${VELMORA_PACKAGES[@]}"; do
        # dpkg-query fails for a package it has never heard of: that is "missing" too.
        status=$(dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null) || status=""
        [[ $status == "install ok installed" ]] || missing+=("$pkg")
    done
    local sudo=()
    [[ $(id -u) -eq 0 ]] || sudo=(sudo)
    if ((${#missing[@]})); then
        velmora_say "Installing: ${missing[*]} (log: build/logs/apt.log)"
        {
            dpkg --print-foreign-architectures | grep -qx i386 || "${sudo[@]}" dpkg --add-architecture i386
            "${sudo[@]}" apt-get update -q &&
                DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
        } >"$VELMORA_BUILD/logs/apt.log" 2>&1 || {
            tail -n 30 "$VELMORA_BUILD/logs/apt.log" >&2
            velmora_say "Installing the packages failed (build/logs/apt.log)"
            return 1
        }
    fi
    if ! locale -a 2>/dev/null | grep -qix 'ja_JP.utf8'; then
        velmora_say "Generating the ja_JP.UTF-8 locale"
        grep -qx 'ja_JP.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null ||
            echo 'ja_JP.UTF-8 UTF-8' | "${sudo[@]}" tee -a /etc/locale.gen >/dev/null
        "${sudo[@]}" locale-gen >"$VELMORA_BUILD/logs/locale.log" 2>&1 || {
            cat "$VELMORA_BUILD/logs/locale.log" >&2
            return 1
        }
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

# The toolchain file of a Windows build: x86 is the 32-bit program we ship, x64 its 64-bit twin.
velmora_toolchain() {
    case $1 in
    x86) echo "$VELMORA_ROOT/cmake/toolchain-mingw-i686.cmake" ;;
    x64) echo "$VELMORA_ROOT/cmake/toolchain-mingw-x86_64.cmake" ;;
    *) velmora_say "Unknown Windows build '$1' (x86 or x64)" && return 1 ;;
    esac
}

# Builds one Windows build with its tests in build/win-ARCH; further arguments go to cmake --build.
velmora_build_windows() {
    local arch=$1
    shift
    local dir=$VELMORA_BUILD/win-$arch toolchain
    toolchain=$(velmora_toolchain "$arch") || return 1
    if [[ ! -f $dir/build.ninja ]]; then
        velmora_quiet "$VELMORA_BUILD/logs/configure-win-$arch.log" cmake -S "$VELMORA_ROOT" -B "$dir" \
            -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" || return 1
    fi
    velmora_quiet "$VELMORA_BUILD/logs/build-win-$arch.log" cmake --build "$dir" "$@"
}

velmora_build_native() {
    local dir=$VELMORA_BUILD/native
    if [[ ! -f $dir/build.ninja ]]; then
        velmora_quiet "$VELMORA_BUILD/logs/configure-native.log" cmake -S "$VELMORA_ROOT" -B "$dir" -G Ninja \
            -DVELMORA_SANITIZE=ON || return 1
    fi
    velmora_quiet "$VELMORA_BUILD/logs/build-native.log" cmake --build "$dir"
}

# The release: for each Windows build an optimised, stripped Velmora.exe and the Japanese
# readme (code page 932, CRLF) in dist/Velmora-VERSION-ARCH.zip. The version is the project's,
# which is also the one in the version resource.
velmora_build_release() {
    local arch dir version stage
    mkdir -p "$VELMORA_DIST"
    for arch in x86 x64; do
        dir=$VELMORA_BUILD/release-$arch
        if [[ ! -f $dir/build.ninja ]]; then
            velmora_quiet "$VELMORA_BUILD/logs/configure-release-$arch.log" cmake -S "$VELMORA_ROOT" \
                -B "$dir" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$(velmora_toolchain "$arch")" \
                -DCMAKE_BUILD_TYPE=MinSizeRel -DVELMORA_TESTS=OFF || return 1
        fi
        velmora_quiet "$VELMORA_BUILD/logs/build-release-$arch.log" cmake --build "$dir" --target Velmora ||
            return 1
        version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$dir/CMakeCache.txt")
        stage=$dir/stage
        rm -rf "$stage" && mkdir -p "$stage"
        cp "$dir/Velmora.exe" "$stage/Velmora.exe"
        sed 's/$/\r/' "$VELMORA_ROOT/packaging/readme.txt" | iconv -f UTF-8 -t CP932 >"$stage/readme.txt" ||
            return 1
        rm -f "$VELMORA_DIST/Velmora-$version-$arch.zip"
        (cd "$stage" && cmake -E tar cf "$VELMORA_DIST/Velmora-$version-$arch.zip" --format=zip \
            Velmora.exe readme.txt) || return 1
        velmora_say "Release: dist/Velmora-$version-$arch.zip"
    done
}

# Wine's own loaders, called by their paths: Debian's `wine` wrapper takes the 32-bit loader
# whenever wine32 is installed, even on a machine that cannot execute it.
VELMORA_WINE32=${VELMORA_WINE32:-/usr/lib/wine/wine}
VELMORA_WINE64=${VELMORA_WINE64:-/usr/lib/wine/wine64}

# Whether this machine runs 32-bit x86 code, asked of the 32-bit loader itself; on failure
# VELMORA_X86_REASON says why in one line.
velmora_runs_x86() {
    local out
    if [[ ! -e $VELMORA_WINE32 ]]; then
        VELMORA_X86_REASON="the 32-bit Wine loader $VELMORA_WINE32 is not installed"
        return 1
    fi
    if ! out=$("$VELMORA_WINE32" --version 2>&1 </dev/null); then
        out=$(printf '%s' "$out" | tail -n 1)
        VELMORA_X86_REASON="this machine cannot execute 32-bit x86 code ($VELMORA_WINE32: ${out##*: })"
        return 1
    fi
}

# Chooses the Windows builds to test into VELMORA_ARCHES: VELMORA_WINE_ARCHES when set (x86, x64
# or both), else x64 always and x86 where the machine runs it. Asking for x86 on a machine that
# cannot run it is an error.
velmora_pick_arches() {
    local arch
    VELMORA_ARCHES=()
    if [[ -n ${VELMORA_WINE_ARCHES:-} ]]; then
        for arch in $VELMORA_WINE_ARCHES; do
            case $arch in
            x86)
                if ! velmora_runs_x86; then
                    velmora_say "VELMORA_WINE_ARCHES asks for x86, but $VELMORA_X86_REASON."
                    velmora_say "Test the 64-bit build alone with VELMORA_WINE_ARCHES=x64."
                    return 1
                fi
                ;;
            x64) ;;
            *)
                velmora_say "VELMORA_WINE_ARCHES: unknown build '$arch' (use x86, x64 or both)"
                return 1
                ;;
            esac
            VELMORA_ARCHES+=("$arch")
        done
        ((${#VELMORA_ARCHES[@]})) || {
            velmora_say "VELMORA_WINE_ARCHES names no build (use x86, x64 or both)"
            return 1
        }
        return 0
    fi
    if velmora_runs_x86; then
        VELMORA_ARCHES=(x86 x64)
    else
        VELMORA_ARCHES=(x64)
        velmora_say "Skipping the x86 build's Wine tests: $VELMORA_X86_REASON."
    fi
}

# Starts the wine server of one build's prefix (made on first use) with its output in a file, so
# that no process started later holds on to the caller's output.
velmora_start_wine() {
    export VELMORA_WINE_ARCH=$1
    # shellcheck source=wine-env.sh
    source "$VELMORA_ROOT/scripts/wine-env.sh" || return 1
    if [[ ! -f $WINEPREFIX/system.reg ]]; then
        velmora_say "Creating the $1 Wine prefix ${WINEPREFIX#"$VELMORA_ROOT"/}"
        mkdir -p "$(dirname "$WINEPREFIX")"
        {
            wineboot -i
            # The dialogs ask for MS PGothic; IPA's proportional Gothic stands in for it.
            wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'ＭＳ Ｐゴシック' /d 'IPAPGothic' /f
            wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'ＭＳ ゴシック' /d 'IPAGothic' /f
            # One virtual desktop for every program: Wine then draws captions and frames itself,
            # as no window manager runs on the virtual display.
            wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f
            wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f
        } >"$VELMORA_BUILD/logs/wineboot-$1.log" 2>&1
        wineserver -w
        [[ -f $WINEPREFIX/system.reg ]] || {
            tail -n 20 "$VELMORA_BUILD/logs/wineboot-$1.log" >&2
            velmora_say "Creating the Wine prefix failed (build/logs/wineboot-$1.log)"
            return 1
        }
    fi
    # A server left running in this prefix (another run, another display) is ended first.
    wineserver -k >/dev/null 2>&1 && wineserver -w >/dev/null 2>&1 || true
    wineserver -p >"$VELMORA_BUILD/logs/wineserver-$1.log" 2>&1 </dev/null || {
        cat "$VELMORA_BUILD/logs/wineserver-$1.log" >&2
        return 1
    }
    VELMORA_WINE_PREFIXES+=("$WINEPREFIX")
    # The first program of a session starts Wine's services, which stay; start them here.
    wineboot >"$VELMORA_BUILD/logs/wineboot-start-$1.log" 2>&1 </dev/null
}

# Ends the wine server of the current prefix and waits for it.
velmora_stop_wine() {
    wineserver -k >/dev/null 2>&1 || true
    wineserver -w >/dev/null 2>&1 || true
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

VELMORA_WINE_PREFIXES=()
# Runs from the EXIT trap, where set -e still holds: nothing here may fail the script's status.
velmora_cleanup() {
    local prefix
    for prefix in "${VELMORA_WINE_PREFIXES[@]}"; do
        WINEPREFIX=$prefix wineserver -k >/dev/null 2>&1 || true
        WINEPREFIX=$prefix wineserver -w >/dev/null 2>&1 || true
    done
    if [[ -n ${VELMORA_XVFB_PID:-} ]]; then
        kill "$VELMORA_XVFB_PID" 2>/dev/null || true
        wait "$VELMORA_XVFB_PID" 2>/dev/null || true
    fi
    return 0
}
