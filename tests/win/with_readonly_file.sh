#!/usr/bin/env bash
# Runs a Windows test under Wine with VELMORA_READONLY_FILE naming a file that Linux refuses to
# open for writing even for root (immutable), where the file system allows that.
set -u
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
source "$root/scripts/wine-env.sh" || exit 1
dir=$(mktemp -d "${TMPDIR:-/tmp}/velmora-ro.XXXXXX")
file=$dir/readonly.txt
: >"$file"
if chattr +i "$file" 2>/dev/null; then
    VELMORA_READONLY_FILE=$(winepath -w "$file" 2>/dev/null)
    export VELMORA_READONLY_FILE
elif [[ $(id -u) -eq 0 ]]; then
    # Root writes to read-only files, and this file system has no immutable ones: no file can
    # be refused to the test here.
    export VELMORA_READONLY_UNSUPPORTED=1
fi
"$root/scripts/wine-test.sh" "$@"
status=$?
chattr -i "$file" 2>/dev/null
rm -rf "$dir"
exit $status
