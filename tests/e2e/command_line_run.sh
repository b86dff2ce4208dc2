#!/usr/bin/env bash
# A command line as Explorer makes it, then Run, with the real Velmora.exe under Wine: names with
# spaces quoted, others not, one in a subfolder, and names as the file system spells them: one
# outside code page 932, one with a character outside the BMP, one whose best-fit ANSI spelling
# names another existing file ("a¥b.txt" would become "a\b.txt"), and a path of over 300
# characters. Every file gets a row; with the first-start values (all four boxes ticked, today,
# 00:00:00) Alt+R changes them all and leaves the best-fit twin alone. The new times are checked
# on the Linux side.
# Usage: command_line_run.sh Velmora.exe SHOTS_DIR WORK_DIR
set -u
exe=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
mkdir -p "$2" && shots=$(cd "$2" && pwd)
work=$3
root=$(cd "$(dirname "$0")/../.." && pwd)
source "$root/scripts/wine-env.sh" || exit 1
rm -rf "$work" && mkdir -p "$work/sub dir" && cd "$work" || exit 1
caption='タイムスタンプ変更ツール' done_caption='タイムスタンプ変更'

source "$root/tests/e2e/lib.sh"

# Waits at most $1 tenths of a second for a window whose whole caption is $2.
wait_window() {
    local _
    for _ in $(seq "$1"); do
        xdotool search --name "^$2\$" >/dev/null 2>&1 && return 0
        kill -0 "$app" 2>/dev/null || return 1
        sleep 0.1
    done
    return 1
}
# Waits at most 2 s until no window has the whole caption $1.
gone() {
    local _
    for _ in $(seq 20); do
        xdotool search --name "^$1\$" >/dev/null 2>&1 || return 0
        sleep 0.1
    done
    return 1
}
ended() {
    local _
    for _ in $(seq 100); do
        kill -0 "$app" 2>/dev/null || { wait "$app"; return 0; }
        sleep 0.1
    done
    return 1
}

long=$work/$(printf 'd%.0s' {1..120})/$(printf 'e%.0s' {1..120})
mkdir -p "$long" "$work/a"
files=("$work/a b.txt" "$work/c.txt" "$work/sub dir/d.txt" "$work/한글.txt" "$work/café 😀.jpg"
    "$work/a¥b.txt" "$long/$(printf 'f%.0s' {1..60}).txt")
twin=$work/a/b.txt
old='2001-02-03 04:05:06'
for f in "${files[@]}" "$twin"; do echo "text" >"$f" && touch -d "$old" "$f"; done
check "no Velmora.ini in the start-up folder $work" test ! -e "$work/Velmora.ini"
# winepath stops at MAX_PATH: the long name is its folder's Windows path and the rest.
args=()
for f in "${files[@]:0:6}"; do args+=("$(winepath -w "$f")"); done
args+=("$(winepath -w "$work")\\${files[6]#"$work/"}")
args[6]=${args[6]//\//\\}
check "the long name is over 300 characters (${#args[6]})" test "${#args[6]}" -gt 300
printf 'Command line: %s\n' "${args[*]}"
day0=$(date +%F)
# wine quotes the arguments that hold spaces.
wine "$exe" "${args[@]}" >"$work/wine.log" 2>&1 </dev/null &
app=$!
check "the main window opens" wait_window 200 "$caption"
sleep 1
import -window root "$shots/e2e-command-line.png"
keys alt+r
if wait_window 100 "$done_caption"; then
    echo "ok: Alt+R runs and the closing message box ($done_caption) opens"
    sleep 0.5
    import -window root "$shots/e2e-run-done.png"
    keys Return
    check "Enter closes the message box" gone "$done_caption"
    keys Escape
    check "Esc ends the program" ended
else
    # No Enter here: on the main window it would press Run and hide the fault.
    check "Alt+R runs and the closing message box ($done_caption) opens" false
    import -window root "$shots/e2e-run-done.png"
fi
end_app

# All four boxes ticked with today's date and 00:00:00: the last-write time becomes today 00:00:00
# local time. The run writes the new creation time into the last-access time too; with both
# creation parts ticked that is the picked date and time, again today 00:00:00. (Wine keeps no
# creation time of its own on Linux, it derives one from the Unix times, so the last-access time
# is where the composed creation time can be seen.) The day is read before the start and now, so
# that a run over midnight passes.
midnights="$(date -d "$day0 00:00:00" +%s) $(date -d "$(date +%F) 00:00:00" +%s)"
is_midnight() { [[ " $midnights " == *" $1 "* ]]; }
for f in "${files[@]}"; do
    name=${f#"$work/"}
    check "$name: last write is today 00:00:00 ($(date -d "@$(stat -c %Y "$f")" '+%F %T'))" \
        is_midnight "$(stat -c %Y "$f")"
    check "$name: last access is today 00:00:00 ($(date -d "@$(stat -c %X "$f")" '+%F %T'))" \
        is_midnight "$(stat -c %X "$f")"
done
check "a/b.txt, the best-fit spelling of a¥b.txt, keeps its time" \
    test "$(stat -c %Y "$twin")" = "$(date -d "$old" +%s)"

((failures == 0)) || {
    echo "$failures check(s) failed"
    exit 1
}
echo "all checks passed"
