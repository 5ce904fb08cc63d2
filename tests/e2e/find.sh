#!/usr/bin/env bash
# Drives finding in the real program in a real X window under Xvfb: Ctrl+F, typing Cyrillic, F3,
# the "only matching" check box, a click on a column title, an edit in the filtered view; then
# checks the catalogue the program leaves behind.
#
#   find.sh CASE PROGRAM DIST_DIR
#
# CASE is: find-filter-sort. Exits 77 (skipped) without Xvfb or xdotool. With SHOTS set to a
# folder, screenshots of the steps are left there.
set -u
case_name=$1
program=$2
dist=$3
shots=${SHOTS:-}

if ! command -v Xvfb >/dev/null || ! command -v xdotool >/dev/null; then
    echo "SKIPPED: Xvfb and xdotool are needed for the end-to-end tests (scripts/setup.sh installs them)"
    exit 77
fi

work=$(mktemp -d)
xvfb_pid=""
app_pid=""
cleanup() {
    [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAILED: $*" | tee -a /tmp/cinaxo-e2e-failures.log
    [ -n "${DISPLAY:-}" ] && command -v import >/dev/null && import -window root "$work/screen.png" 2>/dev/null &&
        cp "$work/screen.png" "/tmp/cinaxo-e2e-$case_name.png" && echo "screen: /tmp/cinaxo-e2e-$case_name.png"
    [ -f "$work/log" ] && cat "$work/log"
    exit 1
}

# Xvfb picks a free display and tells its number.
Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    sleep 0.05
done
[ -s "$work/display" ] || fail "Xvfb did not start"
export DISPLAY=":$(cat "$work/display")"
# Cyrillic letters on a second keyboard group, so that xdotool finds every letter in the keyboard
# map and never maps a key anew while the program may still be reading the last one.
setxkbmap -layout us,bg || fail "the keyboard map could not be set"

# A program directory of the test's own, and a settings folder of its own.
prog="$work/prog"
mkdir -p "$prog/Skin" "$work/config" "$work/run"
chmod 700 "$work/run"
export XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/run" HOME="$work"
cp "$program" "$prog/cinaxo"
cp "$dist/format.txt" "$prog/"
cp "$dist/Skin/btnsource.bmp" "$prog/Skin/"
cp1251() { printf '%s' "$1" | iconv -f UTF-8 -t CP1251; }
original='Казабланка,DVD-001,DVD,D:\\VIDEO_TS\\VTS_01_1.VOB,,,Да\r\n"Smith, John",CD-002,DivX,,,,Не,Иван\r\nMatrix,DVD-002,DVD,,,,Да\r\nПод игото,CD-014,DivX,,,,Да\r\nПодземие,CD-015,VHS,,,,Не,Петър\r\n'
printf "$original" | iconv -f UTF-8 -t CP1251 >"$prog/db.txt"

(cd "$prog" && exec ./cinaxo >"$work/log" 2>&1) &
app_pid=$!

wait_for() { # WHAT COMMAND...: runs COMMAND until it succeeds, for ten seconds at most
    local what=$1
    shift
    for _ in $(seq 200); do
        "$@" && return 0
        sleep 0.05
    done
    fail "$what did not happen"
}
window() { # NAME: the id of the first window with exactly this name
    local id
    id=$(timeout 10 xdotool search --sync --onlyvisible --name "^$1\$" 2>/dev/null | head -1)
    [ -n "$id" ] || fail "no window named $1"
    echo "$id"
}
shown() { xwininfo -id "$1" 2>/dev/null | grep -q 'Map State: IsViewable'; }
hidden() { ! shown "$1"; }
gone() { wait_for "closing window $1" hidden "$1"; } # ID: waits until the window is closed
focused() { [ "$(xdotool getwindowfocus 2>/dev/null)" = "$1" ]; }
focus() {
    xdotool windowfocus --sync "$1"
    wait_for "focus on window $1" focused "$1"
}
type_text() { xdotool type --delay 20 "$1"; }
click() { xdotool mousemove --window "$1" "$2" "$3" click 1; }
holds() { grep -q "$2" "$1" 2>/dev/null; } # FILE TEXT
other_window() { # MAIN: waits for another visible window of the program (a menu, a message box)
    local id
    for _ in $(seq 200); do
        # Popup menus carry the program's name only in _NET_WM_NAME, which getwindowname reads.
        for id in $(xdotool search --onlyvisible --name '.*' 2>/dev/null); do
            if [ "$id" != "$1" ] && [ "$(xdotool getwindowname "$id" 2>/dev/null)" = Cinaxo ]; then
                echo "$id"
                return 0
            fi
        done
        sleep 0.05
    done
    fail "no other window of the program"
}
open_file_menu() {
    click "$1" 20 8
    other_window "$1" >/dev/null
}
exit_by_menu() { # File, then its last item: Exit
    open_file_menu "$1"
    xdotool key Up Return
}
ended() { ! kill -0 "$app_pid" 2>/dev/null; }
wait_exit() {
    wait_for "the end of the program" ended
    app_pid=""
}
expect_db() { # EXPECTED_UTF8
    local want got
    want=$(printf "$1" | iconv -f UTF-8 -t CP1251 | base64 -w0)
    got=$(base64 -w0 <"$prog/db.txt")
    [ "$want" = "$got" ] || fail "db.txt holds: $(iconv -f CP1251 -t UTF-8 <"$prog/db.txt" | sed -n l)"
}

shot() { # NAME: a screenshot of the screen, when asked for
    [ -n "$shots" ] && import -window root "$shots/$1.png"
    return 0
}

case "$case_name" in
find-filter-sort)
    main=$(window Cinaxo)
    focus "$main"
    # Typing finds the first film that holds the text; F3 the next, here by its disc label.
    xdotool key ctrl+f
    type_text 'под'
    shot match
    xdotool key F3 Escape F9
    dialog=$(window AddEditForm)
    focus "$dialog"
    click "$dialog" 100 70
    xdotool key ctrl+a
    type_text 'Подземие II'
    click "$dialog" 305 372
    gone "$dialog"
    focus "$main"
    # The bar again, with its text: a letter more finds nothing.
    xdotool key ctrl+f
    xdotool key End
    type_text 'я'
    shot no-match
    xdotool key BackSpace
    # Only the matching films, sorted by title down: the second row is "Под игото".
    click "$main" 376 305
    click "$main" 148 27
    sleep 0.6 # two clicks, not a double click
    click "$main" 148 27
    shot filtered-sorted
    click "$main" 100 62
    xdotool key F9
    dialog=$(window AddEditForm)
    focus "$dialog"
    click "$dialog" 100 70
    xdotool key ctrl+a
    type_text 'Игото'
    click "$dialog" 305 372
    gone "$dialog"
    shot edited
    exit_by_menu "$main"
    wait_exit
    expect_db 'Казабланка,DVD-001,DVD,D:\\VIDEO_TS\\VTS_01_1.VOB,,,Да\r\n"Smith, John",CD-002,DivX,,,,Не,Иван\r\nMatrix,DVD-002,DVD,,,,Да\r\nИгото,CD-014,DivX,,,,Да\r\nПодземие II,CD-015,VHS,,,,Не,Петър\r\n'
    ;;
*)
    fail "unknown case $case_name"
    ;;
esac
echo "PASSED: $case_name"
