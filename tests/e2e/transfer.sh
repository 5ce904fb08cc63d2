#!/usr/bin/env bash
# Drives the real program under Xvfb through lending, export and import: lends a disc of two films
# by the record menu, returns it by the grid's menu, exports the catalogue as CSV each time, then
# imports the export into an empty catalogue and checks that db.txt comes out byte for byte as the
# original.
#
#   transfer.sh PROGRAM DIST_DIR
#
# Exits 77 (skipped) without Xvfb or xdotool. The helpers are those of e2e.sh: every step waits for
# what it needs (a window, a file, the end of the program) up to a deadline.
set -u
program=$1
dist=$2
case_name=transfer

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

Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    sleep 0.05
done
[ -s "$work/display" ] || fail "Xvfb did not start"
export DISPLAY=":$(cat "$work/display")"
setxkbmap -layout us,bg || fail "the keyboard map could not be set"

prog="$work/prog"
mkdir -p "$prog/Skin" "$work/config" "$work/run"
chmod 700 "$work/run"
export XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/run" HOME="$work"
cp "$program" "$prog/cinaxo"
cp "$dist/format.txt" "$prog/"
cp "$dist/Skin/btnsource.bmp" "$prog/Skin/"
# Two films on the disc CD-002, both at home.
films='Казабланка,DVD-001,DVD,D:\\VIDEO_TS\\VTS_01_1.VOB,,,Да\r\n"Smith, John",CD-002,DivX,,,,Да\r\nMatrix,CD-002,DVD,,,,Да\r\nПод игото,CD-014,DivX,,,,Не,Мария\r\n'
printf "$films" | iconv -f UTF-8 -t CP1251 >"$prog/db.txt"
original=$(base64 -w0 <"$prog/db.txt")

start() {
    (cd "$prog" && exec ./cinaxo >"$work/log" 2>&1) &
    app_pid=$!
}
wait_for() { # WHAT COMMAND...: runs COMMAND until it succeeds, for ten seconds at most
    local what=$1
    shift
    for _ in $(seq 200); do
        "$@" && return 0
        sleep 0.05
    done
    fail "$what did not happen"
}
window() { # NAME: the id of the first visible window with exactly this name
    local id
    for _ in $(seq 300); do
        for id in $(xdotool search --onlyvisible --name '.*' 2>/dev/null); do
            if [ "$(xdotool getwindowname "$id" 2>/dev/null)" = "$1" ]; then
                echo "$id"
                return 0
            fi
        done
        sleep 0.05
    done
    echo "$(date +%T) visible windows:" >&2
    for id in $(xdotool search --onlyvisible --name '.*' 2>/dev/null); do
        echo "  $id $(xdotool getwindowname "$id" 2>/dev/null)" >&2
    done
    fail "no window named $1"
}
shown() { xwininfo -id "$1" 2>/dev/null | grep -q 'Map State: IsViewable'; }
hidden() { ! shown "$1"; }
gone() { wait_for "closing window $1" hidden "$1"; }
focused() { [ "$(xdotool getwindowfocus 2>/dev/null)" = "$1" ]; }
focus() {
    xdotool windowfocus --sync "$1"
    wait_for "focus on window $1" focused "$1"
}
type_text() { xdotool type --delay 20 "$1"; }
click() { xdotool mousemove --window "$1" "$2" "$3" click 1; }
other_window() { # MAIN: waits for another visible window of the program (a menu, a message box)
    local id
    for _ in $(seq 200); do
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
menu_item() { # MAIN X DOWNS: opens the bar menu at X and runs its item DOWNS arrows down
    click "$1" "$2" 8
    other_window "$1" >/dev/null
    xdotool key $(printf 'Down %.0s' $(seq "$3")) Return
}
answer_yes() { # the question of the program: Yes
    local box
    box=$(window Confirm)
    focus "$box"
    xdotool key alt+y
    gone "$box"
}
file_dialog() { # TITLE PATH: types PATH into the file dialog of this title
    local dialog
    dialog=$(window "$1")
    focus "$dialog"
    xdotool key ctrl+a
    type_text "$2"
    xdotool key Return
    gone "$dialog"
}
ended() { ! kill -0 "$app_pid" 2>/dev/null; }
wait_exit() {
    wait_for "the end of the program" ended
    app_pid=""
}
expect_file() { # FILE EXPECTED_UTF8
    [ "$(base64 -w0 <"$1")" = "$(printf "$2" | base64 -w0)" ] || fail "$1 holds: $(sed -n l "$1")"
}
expect_original_db() {
    [ "$(base64 -w0 <"$prog/db.txt")" = "$original" ] ||
        fail "db.txt holds: $(iconv -f CP1251 -t UTF-8 <"$prog/db.txt" | sed -n l)"
}
header='Заглавие,Етикет,Формат,Видео,Аудио,Субтитри,Наличен,Даден\r\n'

start
main=$(window Cinaxo)
focus "$main"
# The second film, then Запис → Даден на..., the fifth item: to Петър, and the other film of the disc too.
xdotool key Down
menu_item "$main" 54 5
lend=$(window 'Даден на')
focus "$lend"
type_text 'Петър'
xdotool key Return
gone "$lend"
answer_yes
focus "$main"
# Файл → Експорт..., the second item.
menu_item "$main" 20 2
file_dialog 'Експорт' "$work/lent.csv"
wait_for "the export" test -s "$work/lent.csv"
expect_file "$work/lent.csv" "$header"'Казабланка,DVD-001,DVD,D:\\VIDEO_TS\\VTS_01_1.VOB,,,Да,\r\n"Smith, John",CD-002,DivX,,,,Не,Петър\r\nMatrix,CD-002,DVD,,,,Не,Петър\r\nПод игото,CD-014,DivX,,,,Не,Мария\r\n'
# The grid's menu on the same film, its sixth item: Върнат, for both films.
focus "$main"
xdotool key shift+F10
other_window "$main" >/dev/null
xdotool key Down Down Down Down Down Down Return
answer_yes
focus "$main"
menu_item "$main" 20 2
file_dialog 'Експорт' "$work/films.csv"
wait_for "the export" test -s "$work/films.csv"
expect_file "$work/films.csv" "$header"'Казабланка,DVD-001,DVD,D:\\VIDEO_TS\\VTS_01_1.VOB,,,Да,\r\n"Smith, John",CD-002,DivX,,,,Да,\r\nMatrix,CD-002,DVD,,,,Да,\r\nПод игото,CD-014,DivX,,,,Не,Мария\r\n'
focus "$main"
menu_item "$main" 20 4
wait_exit
expect_original_db

# The export into an empty catalogue: Файл → Импорт..., the third item.
: >"$prog/db.txt"
start
main=$(window Cinaxo)
focus "$main"
menu_item "$main" 20 3
file_dialog 'Импорт' "$work/films.csv"
answer_yes
focus "$main"
menu_item "$main" 20 4
wait_exit
expect_original_db
echo "PASSED: $case_name"
