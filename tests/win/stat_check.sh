#!/usr/bin/env bash
# The run under Wine stamps a file and a folder; Linux's stat must see the picked times:
# last write 2010-09-21 14:05:07 and last access 2009-01-02 03:04:05 (the new creation time),
# Tokyo time. Usage: stat_check.sh PROBE.exe WORKDIR
set -u
probe=$1 work=$2
rm -rf "$work" && mkdir -p "$work/folder" && : >"$work/file.txt"
export TZ=JST-9
source "$(dirname "$0")/../../scripts/wine-env.sh" || exit 1
"$(dirname "$0")/../../scripts/wine-test.sh" "$probe" "$(winepath -w "$work/file.txt")" \
    "$(winepath -w "$work/folder")" || { echo "the run did not complete"; exit 1; }
want_write=$(date -d '2010-09-21 14:05:07' +%s)
want_access=$(date -d '2009-01-02 03:04:05' +%s)
fail=0
for path in "$work/file.txt" "$work/folder"; do
    read -r write access < <(stat -c '%Y %X' "$path")
    echo "$path: write $write (want $want_write), access $access (want $want_access)"
    [[ $write == "$want_write" && $access == "$want_access" ]] || fail=1
done
exit $fail
