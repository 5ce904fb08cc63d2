#!/usr/bin/env bash
# Drives the real program under Xvfb through lending, export and import: lends a disc of two films
# by the record menu, returns it by the grid's menu, exports the catalogue as CSV each time, then
# imports the export into an empty catalogue and checks that db.txt comes out byte for byte as the
# original.
#
#   transfer.sh PROGRAM DIST_DIR
#
# Exits 77 (skipped) without Xvfb or xdotool. The helpers are those of common.sh: every step waits for
# what it needs (a window, a file, the end of the program) up to a deadline.
set -u
program=$1
dist=$2
case_name=transfer

. "$(dirname "$0")/common.sh"

# Two films on the disc CD-002, both at home.
films='Казабланка,DVD-001,DVD,D:\\VIDEO_TS\\VTS_01_1.VOB,,,Да\r\n"Smith, John",CD-002,DivX,,,,Да\r\nMatrix,CD-002,DVD,,,,Да\r\nПод игото,CD-014,DivX,,,,Не,Мария\r\n'
printf "$films" | iconv -f UTF-8 -t CP1251 >"$prog/db.txt"
original=$(base64 -w0 <"$prog/db.txt")

start() {
    (cd "$prog" && exec ./cinaxo >"$work/log" 2>&1) &
    app_pid=$!
}
menu_item() { # MAIN X DOWNS: opens the bar menu at X and runs its item DOWNS arrows down
    click "$1" "$2" 8
    other_window "$1" >/dev/null || fail "the menu did not open"
    xdotool key $(printf 'Down %.0s' $(seq "$3")) Return
}
answer_yes() { # the question of the program: Yes
    local box
    box=$(window Confirm) || fail "no window named Confirm"
    focus "$box"
    xdotool key alt+y
    gone "$box"
}
file_dialog() { # TITLE PATH: types PATH into the file dialog of this title
    local dialog
    dialog=$(window "$1") || fail "no window named $1"
    focus "$dialog"
    xdotool key ctrl+a
    type_text "$2"
    xdotool key Return
    gone "$dialog"
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
main=$(window Cinaxo) || fail "no window named Cinaxo"
focus "$main"
# The second film, then Запис → Даден на..., the fifth item: to Петър, and the other film of the disc too.
xdotool key Down
menu_item "$main" 54 5
lend=$(window 'Даден на') || fail "no window named Даден на"
focus "$lend"
type_text 'Петър'
xdotool key Return
gone "$lend"
answer_yes
focus "$main"
# Файл → Експорт..., the second item (Изход is the fifth).
menu_item "$main" 20 2
file_dialog 'Експорт' "$work/lent.csv"
wait_for "the export" test -s "$work/lent.csv"
expect_file "$work/lent.csv" "$header"'Казабланка,DVD-001,DVD,D:\\VIDEO_TS\\VTS_01_1.VOB,,,Да,\r\n"Smith, John",CD-002,DivX,,,,Не,Петър\r\nMatrix,CD-002,DVD,,,,Не,Петър\r\nПод игото,CD-014,DivX,,,,Не,Мария\r\n'
# The grid's menu on the same film, its sixth item: Върнат, for both films.
focus "$main"
xdotool key shift+F10
other_window "$main" >/dev/null || fail "no other window of the program"
xdotool key Down Down Down Down Down Down Return
answer_yes
focus "$main"
menu_item "$main" 20 2
file_dialog 'Експорт' "$work/films.csv"
wait_for "the export" test -s "$work/films.csv"
expect_file "$work/films.csv" "$header"'Казабланка,DVD-001,DVD,D:\\VIDEO_TS\\VTS_01_1.VOB,,,Да,\r\n"Smith, John",CD-002,DivX,,,,Да,\r\nMatrix,CD-002,DVD,,,,Да,\r\nПод игото,CD-014,DivX,,,,Не,Мария\r\n'
focus "$main"
menu_item "$main" 20 5
wait_exit
expect_original_db

# The export into an empty catalogue: Файл → Импорт..., the third item.
: >"$prog/db.txt"
start
main=$(window Cinaxo) || fail "no window named Cinaxo"
focus "$main"
menu_item "$main" 20 3
file_dialog 'Импорт' "$work/films.csv"
answer_yes
focus "$main"
menu_item "$main" 20 5
wait_exit
expect_original_db
echo "PASSED: $case_name"
