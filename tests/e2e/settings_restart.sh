#!/usr/bin/env bash
# Settings kept across a restart, with the real Velmora.exe under Wine. A first start in an empty
# folder shows the first-start values; the creation date check box is cleared with the keyboard
# and Esc closes the program, which leaves Velmora.ini with the six keys. With the stored-value
# modes and two stamp texts written into the file, a second start shows those values, and Esc
# writes them back unchanged. Usage: settings_restart.sh Velmora.exe SHOTS_DIR WORK_DIR
set -u
exe=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
mkdir -p "$2" && shots=$(cd "$2" && pwd)
work=$3
root=$(cd "$(dirname "$0")/../.." && pwd)
source "$root/scripts/wine-env.sh" || exit 1
rm -rf "$work" && mkdir -p "$work" && cd "$work" || exit 1
ini=$work/Velmora.ini
caption='タイムスタンプ変更ツール'

source "$root/tests/e2e/lib.sh"

# Starts the program and waits (at most 20 s) for its window.
start_app() {
    wine "$exe" >>"$work/wine.log" 2>&1 </dev/null &
    app=$!
    local _
    for _ in $(seq 100); do
        xdotool search --name "^$caption\$" >/dev/null 2>&1 && break
        kill -0 "$app" 2>/dev/null || break
        sleep 0.2
    done
    sleep 1
    xdotool search --name "^$caption\$" >/dev/null 2>&1
}


# Esc closes the program; waits at most 10 s for the process to end.
close_app() {
    keys Escape
    local _
    for _ in $(seq 50); do
        kill -0 "$app" 2>/dev/null || break
        sleep 0.2
    done
    if kill -0 "$app" 2>/dev/null; then
        end_app
        return 1
    fi
    wait "$app"
    echo "   (exit code $?)"
}

value() { sed -n "s/^$1=//p" "$ini" | tr -d '\r'; }
has_value() { [[ $(value "$1") == "$2" ]]; }
# Every line, the last one too, ends in CR LF.
crlf_lines() {
    [[ -s $ini && $(tail -c 2 "$ini" | od -An -c | tr -d ' ') == '\r\n' &&
        $(grep -c $'\r$' "$ini") -eq $(wc -l <"$ini") ]]
}
# The file's key names, sorted, one a line.
keys_in_file() { sed -n 's/^\([^=[]*\)=.*/\1/p' "$ini" | sort; }
six_keys() {
    [[ $(head -n 1 "$ini" | tr -d '\r') == '[Settings]' && $(grep -c '^\[' "$ini") -eq 1 &&
        $(keys_in_file) == $(printf '%s\n' 'make date' 'make date time' 'make time' 'modify date' \
            'modify time' 'update date time' | sort) ]]
}
# A stamp text of today at 00:00.00; the day is read before the start and now, so that a run
# over midnight passes.
midnight_stamp() {
    local text
    text=$(value "$1")
    [[ $text =~ ^[0-9]{4}/[0-9]{2}/[0-9]{2}\ [0-9]{2}:[0-9]{2}\.[0-9]{2}$ ]] &&
        [[ $text == "$day0 00:00.00" || $text == "$(date +%Y/%m/%d) 00:00.00" ]]
}

echo "First start, no Velmora.ini in $work"
day0=$(date +%Y/%m/%d)
check "the main window opens" start_app
import -window root "$shots/e2e-first-start.png"
# The focus starts on the add button; Tab passes the list and reaches the creation date check box.
keys Tab Tab space
import -window root "$shots/e2e-first-start-unticked.png"
check "Esc ends the program" close_app
check "Velmora.ini was written in the start-up folder" test -f "$ini"
check "Velmora.ini has CRLF line ends" crlf_lines
check "Velmora.ini holds exactly the six keys in [Settings]" six_keys
check "make date=false (the cleared box)" has_value 'make date' false
for key in 'make time' 'modify date' 'modify time'; do
    check "$key=true" has_value "$key" true
done
for key in 'make date time' 'update date time'; do
    check "$key is today 00:00.00 ($(value "$key"))" midnight_stamp "$key"
done

echo "Second start with stored-value modes and stored stamp texts"
# "modify time" is taken out: a missing flag reads as on, and the close must write it again.
sed -i -e 's|^make date time=.*|make date time=2010/09/21 13:45.07\r|' \
    -e 's|^update date time=.*|update date time=2009/01/02 03:04.05\r|' -e '/^modify time=/d' "$ini"
printf 'default day=1\r\ndefault time=2\r\n' >>"$ini"
check "the main window opens" start_app
import -window root "$shots/e2e-second-start.png"
check "Esc ends the program" close_app
for pair in 'make date time=2010/09/21 13:45.07' 'update date time=2009/01/02 03:04.05'; do
    check "$pair written back" has_value "${pair%%=*}" "${pair#*=}"
done
check "make date=false kept" has_value 'make date' false
check "make time=true kept" has_value 'make time' true
check "modify date=true kept" has_value 'modify date' true
check "modify time=true written again" has_value 'modify time' true
check "default day=1 kept" has_value 'default day' 1
check "default time=2 kept" has_value 'default time' 2
check "Velmora.ini still has CRLF line ends" crlf_lines

((failures == 0)) || {
    echo "$failures check(s) failed; Velmora.ini:"
    cat -A "$ini" 2>/dev/null
    exit 1
}
echo "all checks passed"
