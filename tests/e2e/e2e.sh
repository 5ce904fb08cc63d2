#!/usr/bin/env bash
# Drives the real program in a real X window under Xvfb and checks the catalogue it leaves behind.
#
#   e2e.sh CASE PROGRAM DIST_DIR
#
# CASE is one of: add, edit, delete, cancel, close, no-db, new-db, player, refuse, long, save-failed,
# file-dialog. Exits 77 (skipped) without Xvfb or xdotool. With CINAXO_E2E_SHOTS naming a folder, the
# cases that show a box or a file dialog leave a screenshot of it there.
set -u
case_name=$1
program=$2
dist=$3
here=$(cd "$(dirname "$0")" && pwd)

. "$here/common.sh"

original=$(printf 'Казабланка,DVD-001,DVD,D:\\VIDEO_TS\\VTS_01_1.VOB,,,Да\r\n"Smith, John",CD-002,DivX,,,,Не,Иван\r\nMatrix,DVD-002,DVD,,,,Да\r\n' | iconv -f UTF-8 -t CP1251 | base64 -w0)
case "$case_name" in no-db | new-db) ;; *) printf '%s' "$original" | base64 -d >"$prog/db.txt" ;; esac
[ -f "$prog/db.txt" ] && touch -d '2020-01-01 00:00:00' "$prog/db.txt"

(cd "$prog" && exec ./cinaxo >"$work/log" 2>&1) &
app_pid=$!

case "$case_name" in
add)
    main=$(window Cinaxo) || fail "no window named Cinaxo"
    focus "$main"
    xdotool key Insert
    dialog=$(window AddEditForm) || fail "no window named AddEditForm"
    # The title bar reads the window's caption and nothing more.
    title=$(xdotool getwindowname "$dialog")
    [ "$title" = AddEditForm ] || fail "the title bar reads $title"
    focus "$dialog"
    click "$dialog" 100 70
    type_text 'Нов филм, нов'
    click "$dialog" 305 372
    gone "$dialog"
    exit_by_menu "$main"
    wait_exit
    expect_db '"Нов филм, нов"\r\nКазабланка,DVD-001,DVD,D:\\VIDEO_TS\\VTS_01_1.VOB,,,Да\r\n"Smith, John",CD-002,DivX,,,,Не,Иван\r\nMatrix,DVD-002,DVD,,,,Да\r\n'
    ;;
edit)
    main=$(window Cinaxo) || fail "no window named Cinaxo"
    focus "$main"
    xdotool key Down F9
    dialog=$(window AddEditForm) || fail "no window named AddEditForm"
    focus "$dialog"
    click "$dialog" 100 70
    xdotool key ctrl+a
    type_text 'Смит'
    click "$dialog" 305 372
    gone "$dialog"
    exit_by_menu "$main"
    wait_exit
    expect_db 'Казабланка,DVD-001,DVD,D:\\VIDEO_TS\\VTS_01_1.VOB,,,Да\r\nСмит,CD-002,DivX,,,,Не,Иван\r\nMatrix,DVD-002,DVD,,,,Да\r\n'
    ;;
delete)
    main=$(window Cinaxo) || fail "no window named Cinaxo"
    focus "$main"
    xdotool key Delete
    confirm=$(window Confirm) || fail "no window named Confirm"
    focus "$confirm"
    xdotool key Return
    gone "$confirm"
    exit_by_menu "$main"
    wait_exit
    expect_db '"Smith, John",CD-002,DivX,,,,Не,Иван\r\nMatrix,DVD-002,DVD,,,,Да\r\n'
    ;;
cancel)
    main=$(window Cinaxo) || fail "no window named Cinaxo"
    focus "$main"
    xdotool key F9
    dialog=$(window AddEditForm) || fail "no window named AddEditForm"
    focus "$dialog"
    click "$dialog" 100 70
    type_text 'Отказано'
    click "$dialog" 377 372
    gone "$dialog"
    exit_by_menu "$main"
    wait_exit
    [ "$(base64 -w0 <"$prog/db.txt")" = "$original" ] || fail "the catalogue changed"
    [ "$(stat -c %Y "$prog/db.txt")" = "$(date -d '2020-01-01 00:00:00' +%s)" ] || fail "the catalogue was written"
    ;;
close)
    main=$(window Cinaxo) || fail "no window named Cinaxo"
    focus "$main"
    xdotool key Delete
    confirm=$(window Confirm) || fail "no window named Confirm"
    focus "$confirm"
    xdotool key Return
    gone "$confirm"
    python3 "$here/xclose.py" "$main"
    wait_exit
    expect_db '"Smith, John",CD-002,DivX,,,,Не,Иван\r\nMatrix,DVD-002,DVD,,,,Да\r\n'
    ;;
no-db)
    # No to the empty catalogue, then the error.
    question=$(window Cinaxo) || fail "no window named Cinaxo"
    focus "$question"
    xdotool key Escape
    gone "$question"
    error=$(window Cinaxo) || fail "no window named Cinaxo"
    focus "$error"
    xdotool key Return
    gone "$error"
    main=$(window Cinaxo) || fail "no window named Cinaxo"
    exit_by_menu "$main"
    wait_exit
    [ -e "$prog/db.txt" ] && fail "a catalogue was made"
    ;;
new-db)
    question=$(window Cinaxo) || fail "no window named Cinaxo"
    focus "$question"
    shot new-db
    xdotool key Return
    gone "$question"
    main=$(window Cinaxo) || fail "no window named Cinaxo"
    focus "$main"
    xdotool key Insert
    dialog=$(window AddEditForm) || fail "no window named AddEditForm"
    focus "$dialog"
    type_text 'Matrix'
    click "$dialog" 305 372
    gone "$dialog"
    exit_by_menu "$main"
    wait_exit
    expect_db 'Matrix\r\n'
    ;;
refuse)
    # The keys typed right after Insert land in the title box; a letter that the catalogue's code
    # page lacks is refused, and the dialog keeps everything typed.
    main=$(window Cinaxo) || fail "no window named Cinaxo"
    focus "$main"
    xdotool key Insert
    dialog=$(window AddEditForm) || fail "no window named AddEditForm"
    focus "$dialog"
    type_text 'Amélie'
    xdotool key Tab
    type_text 'CD-9'
    click "$dialog" 305 372
    box=$(other_window "$main" "$dialog") || fail "no other window of the program"
    shot refuse
    focus "$box"
    xdotool key Return
    gone "$box"
    shown "$dialog" || fail "the dialog closed"
    focus "$dialog"
    click "$dialog" 100 70
    xdotool key ctrl+a
    type_text 'Amelie'
    click "$dialog" 305 372
    gone "$dialog"
    exit_by_menu "$main"
    wait_exit
    expect_db 'Amelie,CD-9\r\nКазабланка,DVD-001,DVD,D:\\VIDEO_TS\\VTS_01_1.VOB,,,Да\r\n"Smith, John",CD-002,DivX,,,,Не,Иван\r\nMatrix,DVD-002,DVD,,,,Да\r\n'
    ;;
long)
    # Typing stops at the title's width of 100.
    main=$(window Cinaxo) || fail "no window named Cinaxo"
    focus "$main"
    xdotool key Insert
    dialog=$(window AddEditForm) || fail "no window named AddEditForm"
    focus "$dialog"
    type_text "$(printf '0123456789%.0s' $(seq 12))"
    click "$dialog" 305 372
    gone "$dialog"
    exit_by_menu "$main"
    wait_exit
    expect_db "$(printf '0123456789%.0s' $(seq 10))"'\r\nКазабланка,DVD-001,DVD,D:\\VIDEO_TS\\VTS_01_1.VOB,,,Да\r\n"Smith, John",CD-002,DivX,,,,Не,Иван\r\nMatrix,DVD-002,DVD,,,,Да\r\n'
    ;;
save-failed)
    # The catalogue's folder goes away, so the save at exit fails; the box's buttons are, in order,
    # "Опитай отново", "Запиши другаде...", "Изход без запис" and "Отказ".
    main=$(window Cinaxo) || fail "no window named Cinaxo"
    focus "$main"
    xdotool key Delete
    confirm=$(window Confirm) || fail "no window named Confirm"
    focus "$confirm"
    xdotool key Return
    gone "$confirm"
    mv "$prog" "$work/gone"
    exit_by_menu "$main"
    box=$(other_window "$main") || fail "no other window of the program"
    shot save-failed
    focus "$box"
    xdotool key Escape
    gone "$box"
    ended && fail "Escape ended the program"
    exit_by_menu "$main"
    box=$(other_window "$main") || fail "no other window of the program"
    focus "$box"
    xdotool key Tab Tab space
    wait_exit
    [ "$(base64 -w0 <"$work/gone/db.txt")" = "$original" ] || fail "the catalogue changed"
    ;;
file-dialog)
    main=$(window Cinaxo) || fail "no window named Cinaxo"
    focus "$main"
    open_file_menu "$main"
    xdotool key Down Return
    settings=$(window 'Програмни настройки') || fail "no window named Програмни настройки"
    focus "$settings"
    click "$settings" 361 85
    chooser=$(window 'Посочете пълният път до MicroDVD ...') || fail "no window named Посочете пълният път до MicroDVD ..."
    focus "$chooser"
    shot file-dialog
    xdotool key Escape
    gone "$chooser"
    focus "$settings"
    xdotool key Escape
    gone "$settings"
    exit_by_menu "$main"
    wait_exit
    ;;
player)
    # A stand-in player that writes down the arguments it was given.
    mkdir -p "$work/films" "$work/bin"
    printf '#!/bin/sh\nfor a in "$@"; do printf "%%s\\n" "$a"; done >"%s/args.txt"\n' "$work" >"$work/bin/player.exe"
    chmod +x "$work/bin/player.exe"
    film="$work/films/My \"Film\" (2003) \$x.avi"
    echo video >"$film"
    late="$work/late/film.avi"
    printf 'Филм,CD-1,DivX,%s,,,Да\r\nЛипсващ,CD-2,DivX,/media/cdrom/none.avi,,,Да\r\nКъсен,CD-3,DivX,%s,,,Да\r\n' \
        "$film" "$late" | iconv -f UTF-8 -t CP1251 >"$prog/db.txt"
    main=$(window Cinaxo) || fail "no window named Cinaxo"
    focus "$main"
    open_file_menu "$main"
    xdotool key Down Return
    settings=$(window 'Програмни настройки') || fail "no window named Програмни настройки"
    focus "$settings"
    click "$settings" 361 85
    chooser=$(window 'Посочете пълният път до MicroDVD ...') || fail "no window named Посочете пълният път до MicroDVD ..."
    focus "$chooser"
    type_text "$work/bin/player.exe"
    xdotool key Return
    gone "$chooser"
    focus "$settings"
    click "$settings" 309 276
    gone "$settings"
    wait_for "storing the player path" holds "$work/config/Cinaxo/registry.ini" 'MicroDVDPath='
    focus "$main"
    click "$main" 100 44
    xdotool key Return
    wait_for "starting the player" test -s "$work/args.txt"
    want=$(printf '/QuickINI\n/V:%s\n/A:\n/S:\n' "$film")
    [ "$(cat "$work/args.txt")" = "$want" ] || fail "the player got: $(cat "$work/args.txt")"
    # The second film's disc is not in the drive.
    rm "$work/args.txt"
    xdotool key Down Return
    box=$(other_window "$main") || fail "no other window of the program"
    [ -e "$work/args.txt" ] && fail "a player started for a missing film"
    focus "$box"
    xdotool key Return
    gone "$box"
    # The third film's disc arrives while the message waits: the message closes, the player starts.
    focus "$main"
    xdotool key Down Return
    box=$(other_window "$main") || fail "no other window of the program"
    [ -e "$work/args.txt" ] && fail "a player started before the disc arrived"
    mkdir -p "$work/late" && echo video >"$late"
    wait_for "starting the player on the disc's arrival" test -s "$work/args.txt"
    gone "$box"
    want=$(printf '/QuickINI\n/V:%s\n/A:\n/S:\n' "$late")
    [ "$(cat "$work/args.txt")" = "$want" ] || fail "the player got: $(cat "$work/args.txt")"
    exit_by_menu "$main"
    wait_exit
    ;;
*)
    fail "unknown case $case_name"
    ;;
esac
echo "PASSED: $case_name"
