#!/usr/bin/env bash
# The release archives as users download them. For each Windows build,
# dist/Velmora-VERSION-ARCH.zip holds exactly Velmora.exe and readme.txt; Velmora.exe is a
# Windows GUI program for that machine, at most 512 KiB, stripped, importing nothing but the
# system's own DLLs, and carries VERSION in its version resource; readme.txt is code page 932
# text with CRLF line ends. Usage: check_release.sh DIST_DIR VERSION
set -u
dist=$(cd "$1" && pwd) version=$2
max=$((512 * 1024))
# DLLs every supported Windows has in its system folder.
system_dlls=" kernel32.dll user32.dll gdi32.dll comctl32.dll comdlg32.dll shell32.dll ole32.dll "
system_dlls+=" oleaut32.dll advapi32.dll shlwapi.dll msvcrt.dll uxtheme.dll "
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

# The version resource holds its texts in UTF-16: "1, 43, 0, 0" as a byte pattern for grep -P.
utf16_pattern() {
    local text=$1 out="" i
    for ((i = 0; i < ${#text}; i++)); do out+="\\x$(printf '%02x' "'${text:i:1}")\\x00"; done
    printf '%s' "$out"
}

for arch in x86 x64; do
    case $arch in
    x86) objdump=i686-w64-mingw32-objdump format=pei-i386 ;;
    x64) objdump=x86_64-w64-mingw32-objdump format=pei-x86-64 ;;
    esac
    zip=$dist/Velmora-$version-$arch.zip
    echo "== $zip"
    [[ -f $zip ]] || { fail "$zip is missing (run ./release.sh)"; continue; }
    work=$(mktemp -d)
    (cd "$work" && cmake -E tar xf "$zip") || fail "$zip does not unpack"
    contents=$(cd "$work" && find . -mindepth 1 | sort | tr '\n' ' ')
    [[ $contents == "./Velmora.exe ./readme.txt " ]] || fail "contents are '$contents'"
    exe=$work/Velmora.exe
    if [[ -f $exe ]]; then
        size=$(stat -c %s "$exe")
        echo "Velmora.exe: $size bytes"
        ((size <= max)) || fail "Velmora.exe is $size bytes, more than $max"
        "$objdump" -f "$exe" | grep -q "file format $format" || fail "Velmora.exe is not $format"
        "$objdump" -p "$exe" | grep -q 'Subsystem.*(Windows GUI)' || fail "Velmora.exe is no GUI program"
        "$objdump" -h "$exe" | grep -q '\.debug' && fail "Velmora.exe carries debug sections"
        imports=$("$objdump" -p "$exe" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z')
        [[ -n $imports ]] || fail "no imports found"
        for dll in $imports; do
            [[ $system_dlls == *" $dll "* ]] ||
                fail "Velmora.exe imports $dll, which is not a system DLL"
        done
        echo "imports: $(echo $imports)"
        LC_ALL=C grep -qaP "$(utf16_pattern "${version//./, }")" "$exe" ||
            fail "the version resource does not say ${version//./, }"
    fi
    readme=$work/readme.txt
    if [[ -f $readme ]]; then
        iconv -f CP932 -t UTF-8 "$readme" >/dev/null 2>&1 || fail "readme.txt is not code page 932"
        iconv -f CP932 -t UTF-8 "$readme" 2>/dev/null | grep -q 'Velmora.ini' ||
            fail "readme.txt does not say where the settings are kept"
        [[ $(grep -c $'\r$' "$readme") == $(wc -l <"$readme") ]] || fail "readme.txt has lines without CRLF"
    fi
    rm -rf "$work"
done
echo "$failures failures"
((failures == 0))
