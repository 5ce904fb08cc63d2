#!/usr/bin/env bash
# Drives the owner-drawn menus of the real program in a real X window under Xvfb: the main menu
# with the mouse and with Alt and a letter, the grid's pop-up menu with a right click, Shift+F10
# and the menu key; then checks the catalogue the commands left behind.
#
#   menus.sh CASE PROGRAM DIST_DIR
#
# CASE is one of: menu-mouse, menu-keys, popup-mouse, popup-keys. Exits 77 (skipped) without Xvfb
# or xdotool. Every step waits for what it needs (a window, a file) up to a deadline.
set -u
case_name=$1
program=$2
dist=$3

# Alt with a Cyrillic letter is sent through a key mapped anew, which a second group would hide.
keyboard_layout=us
. "$(dirname "$0")/common.sh"

films='Казабланка,DVD-001,DVD,D:\\VIDEO_TS\\VTS_01_1.VOB,,,Да\r\n"Smith, John",CD-002,DivX,,,,Не,Иван\r\nMatrix,DVD-002,DVD,,,,Да\r\n'
printf "$films" | iconv -f UTF-8 -t CP1251 >"$prog/db.txt"

(cd "$prog" && exec ./cinaxo >"$work/log" 2>&1) &
app_pid=$!

# The menus of the program are windows of their own with the program's name.
menus_open() {
    local id count=0
    for id in $(visible_windows); do
        [ "$id" != "$main" ] && [ "$(xdotool getwindowname "$id" 2>/dev/null)" = Cinaxo ] && count=$((count + 1))
    done
    echo "$count"
}
menu_shown() { [ "$(menus_open)" -ge 1 ]; }
no_menu() { [ "$(menus_open)" -eq 0 ]; }
open_menu() { # ACTION...: does ACTION and waits for a menu
    "$@"
    wait_for "a menu after: $*" menu_shown
}
close_menus() {
    xdotool key Escape
    no_menu || xdotool key Escape
    wait_for "closing the menu" no_menu
}
# The title of the menu bar item N (0, 1, 2) lies about this far from the window's left edge.
bar_x() { echo $((14 + 40 * $1)); }
exit_by_keys() { # Alt+Ф, up to the last item, Enter
    open_menu xdotool key alt+Cyrillic_ef
    xdotool key Up Return
    wait_exit
}

main=$(window Cinaxo) || fail "no window named Cinaxo"
focus "$main"

case "$case_name" in
menu-mouse)
    # Each menu opens under the mouse and closes with Escape; the arrows walk it.
    for n in 0 1 2; do
        open_menu click "$main" "$(bar_x $n)" 8
        xdotool key Down Down Up
        close_menus
    done
    # Запис → Редакция with the arrows and Enter: the record dialog opens on the current film.
    open_menu click "$main" "$(bar_x 1)" 8
    xdotool key Down Down Return
    dialog=$(window AddEditForm) || fail "no window named AddEditForm"
    focus "$dialog"
    xdotool key Escape
    gone "$dialog"
    focus "$main"
    # Запис → Изтрий with the mouse: it asks first.
    open_menu click "$main" "$(bar_x 1)" 8
    xdotool key Down Down Down Return
    confirm=$(window Confirm) || fail "no window named Confirm"
    focus "$confirm"
    xdotool key Return
    gone "$confirm"
    focus "$main"
    # Файл → Изход.
    open_menu click "$main" "$(bar_x 0)" 8
    xdotool key Up Return
    wait_exit
    expect_db '"Smith, John",CD-002,DivX,,,,Не,Иван\r\nMatrix,DVD-002,DVD,,,,Да\r\n'
    ;;
menu-keys)
    # Alt and the first letter of each title opens its menu.
    for letter in Cyrillic_ef Cyrillic_ze Cyrillic_pe; do
        open_menu xdotool key "alt+$letter"
        close_menus
    done
    # Помощ → За програмата: the about window.
    open_menu xdotool key alt+Cyrillic_pe
    xdotool key Down Return
    about=$(window 'За програмата') || fail "no window named За програмата"
    focus "$about"
    xdotool key Escape
    gone "$about"
    focus "$main"
    # The second film, then Запис → Изтрий by its letter.
    xdotool key Down
    open_menu xdotool key alt+Cyrillic_ze
    xdotool key Cyrillic_i
    confirm=$(window Confirm) || fail "no window named Confirm"
    focus "$confirm"
    xdotool key Return
    gone "$confirm"
    focus "$main"
    exit_by_keys
    expect_db 'Казабланка,DVD-001,DVD,D:\\VIDEO_TS\\VTS_01_1.VOB,,,Да\r\nMatrix,DVD-002,DVD,,,,Да\r\n'
    ;;
popup-mouse)
    # A right click on the third film makes it current and opens the record menu there.
    open_menu click "$main" 100 80 3
    xdotool key Down Down Down Return
    confirm=$(window Confirm) || fail "no window named Confirm"
    focus "$confirm"
    xdotool key Return
    gone "$confirm"
    focus "$main"
    exit_by_keys
    expect_db 'Казабланка,DVD-001,DVD,D:\\VIDEO_TS\\VTS_01_1.VOB,,,Да\r\n"Smith, John",CD-002,DivX,,,,Не,Иван\r\n'
    ;;
popup-keys)
    # Shift+F10 opens the record menu; Escape closes it; the menu key opens it too.
    open_menu xdotool key shift+F10
    close_menus
    open_menu xdotool key Menu
    xdotool key Down Return
    dialog=$(window AddEditForm) || fail "no window named AddEditForm"
    focus "$dialog"
    xdotool key Escape
    gone "$dialog"
    focus "$main"
    exit_by_keys
    expect_db "$films"
    ;;
*)
    fail "unknown case $case_name"
    ;;
esac
echo "PASSED: $case_name"
