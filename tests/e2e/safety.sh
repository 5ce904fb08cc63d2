#!/usr/bin/env bash
# Drives the real program under Xvfb where the catalogue is at risk, and checks the bytes of db.txt.
#
#   safety.sh CASE PROGRAM DIST_DIR
#
# CASE is one of:
#   two-windows      a second program on the same catalogue opens it read-only, or quits
#   other-program    another program rewrites db.txt while ours has a change
#   sigterm          SIGTERM with an unsaved deletion
#   x-gone           the X server goes away with an unsaved deletion
#   crash            SIGKILL with an unsaved deletion, and the next start
# Exits 77 (skipped) without Xvfb or xdotool. With CINAXO_E2E_SHOTS naming a folder, the cases leave
# a screenshot of each question there.
set -u
[ -n "${SAFETY_TRACE:-}" ] && set -x
case_name=$1
program=$2
dist=$3
here=$(cd "$(dirname "$0")" && pwd)

. "$here/common.sh"

# Does ACTION until CONDITION holds, giving it a second each time: a window that has just appeared
# may miss the first keys or the first close request.
until_then() { # CONDITION... -- ACTION...
    local condition=()
    while [ "$1" != -- ]; do
        condition+=("$1")
        shift
    done
    shift
    for _ in $(seq 10); do
        "$@"
        for _ in $(seq 20); do
            "${condition[@]}" && return 0
            sleep 0.05
        done
    done
    return 1
}

# The lock and the journal go to a data folder of the test's own when the catalogue's folder
# cannot be written.
mkdir -p "$work/data"
export XDG_DATA_HOME="$work/data"
films='Казабланка,DVD-001,DVD,D:\\VIDEO_TS\\VTS_01_1.VOB,,,Да\r\n"Smith, John",CD-002,DivX,,,,Не,Иван\r\nMatrix,DVD-002,DVD,,,,Да\r\n'
without_first='"Smith, John",CD-002,DivX,,,,Не,Иван\r\nMatrix,DVD-002,DVD,,,,Да\r\n'
printf "$films" | iconv -f UTF-8 -t CP1251 >"$prog/db.txt"

start() { # NAME: starts the program; its pid goes into the variable NAME
    (cd "$prog" && exec ./cinaxo >"$work/log.$1" 2>&1) &
    pids+=($!)
    printf -v "$1" '%s' $!
}
box_shown() { find_other_window --pid "$1" "$2" >/dev/null; } # PID EXCEPT
no_other_window() { ! box_shown "$@"; }
keys() { # WINDOW KEY...: focuses the window and sends the keys
    xdotool windowfocus --sync "$1"
    shift
    xdotool key --clearmodifiers "$@"
}
journalled() { grep -q "^$1\$" "$prog/db.txt.journal" 2>/dev/null; }
# Deletes the first film; returns once the deletion is in the journal.
delete_first() { # MAIN_WINDOW
    until_then visible Confirm -- keys "$1" Delete || fail "no confirmation of the deletion"
    local confirm
    confirm=$(window Confirm) || fail "no confirmation of the deletion"
    until_then journalled 'D 0' -- keys "$confirm" Return || fail "the deletion was not posted"
}
# Asks the window to close, as its border's close button does: the same path as File, Exit.
close_window() { # WINDOW
    python3 "$here/xclose.py" "$1" 2>/dev/null
}

case "$case_name" in
two-windows)
    start first
    main=$(window Cinaxo "$first") || fail "no window named Cinaxo"
    wait_for "a lock beside the catalogue" test -e "$prog/db.txt.lock"
    # The question comes before the window; Escape is "Само за четене".
    start second
    question=$(window Cinaxo "$second") || fail "no window named Cinaxo"
    shot two-windows
    until_then hidden "$question" -- keys "$question" Escape || fail "Escape did not answer"
    readonly_main=$(window Cinaxo "$second") || fail "no window named Cinaxo"
    # The read-only window refuses the deletion and writes nothing at its end.
    keys "$readonly_main" Delete
    refusal=$(other_window --pid "$second" "$readonly_main") || fail "no other window of the program"
    until_then no_other_window "$second" "$readonly_main" -- keys "$refusal" Return || fail "the refusal stayed"
    until_then ended "$second" -- close_window "$readonly_main" || fail "the read-only window did not end"
    expect_db "$films"
    # A third one whose user prefers to quit.
    start third
    question=$(window Cinaxo "$third") || fail "no window named Cinaxo"
    keys "$question" Tab space # "Изход"
    wait_exit "$third"
    # The first one changes and saves as ever.
    delete_first "$main"
    until_then ended "$first" -- close_window "$main" || fail "the first window did not end"
    expect_db "$without_first"
    ;;
other-program)
    start app
    main=$(window Cinaxo "$app") || fail "no window named Cinaxo"
    delete_first "$main"
    printf 'Чужд запис,X-1\r\n' | iconv -f UTF-8 -t CP1251 >"$prog/db.txt"
    # The buttons: "Запиши върху него", "Запиши другаде...", "Изход без запис", "Отказ".
    until_then box_shown "$app" "$main" -- close_window "$main" || fail "no question about the other program"
    question=$(other_window --pid "$app" "$main") || fail "no other window of the program"
    shot other-program
    until_then no_other_window "$app" "$main" -- keys "$question" Escape || fail "the question stayed" # back
    ended "$app" && fail "the program ended"
    expect_db 'Чужд запис,X-1\r\n'
    until_then box_shown "$app" "$main" -- close_window "$main" || fail "no question about the other program"
    question=$(other_window --pid "$app" "$main") || fail "no other window of the program"
    keys "$question" Tab space # ours elsewhere
    chooser=$(window 'Запиши каталога като' "$app") || fail "no window named Запиши каталога като"
    keys "$chooser" ctrl+a
    xdotool type --delay 20 "$work/ours.txt"
    xdotool key Return
    wait_exit "$app"
    expect_db 'Чужд запис,X-1\r\n'
    expect_db "$without_first" "$work/ours.txt"
    ;;
sigterm)
    start app
    main=$(window Cinaxo "$app") || fail "no window named Cinaxo"
    delete_first "$main"
    kill -TERM "$app"
    wait_exit "$app"
    expect_db "$without_first"
    [ -e "$prog/db.txt.journal" ] && fail "the journal stayed after the save"
    ;;
x-gone)
    start app
    main=$(window Cinaxo "$app") || fail "no window named Cinaxo"
    delete_first "$main"
    kill "$xvfb_pid"
    wait "$xvfb_pid" 2>/dev/null
    xvfb_pid=""
    wait_exit "$app"
    expect_db "$without_first"
    ;;
crash)
    start app
    main=$(window Cinaxo "$app") || fail "no window named Cinaxo"
    delete_first "$main"
    kill -KILL "$app"
    wait_exit "$app"
    expect_db "$films"
    # Escape keeps the changes for the next start; "Да" applies them.
    start later
    question=$(window Cinaxo "$later") || fail "no window named Cinaxo"
    shot crash
    until_then hidden "$question" -- keys "$question" Escape || fail "Escape did not answer"
    main=$(window Cinaxo "$later") || fail "no window named Cinaxo"
    until_then ended "$later" -- close_window "$main" || fail "the program did not end"
    expect_db "$films"
    journalled 'D 0' || fail "the journal was not kept"
    start again
    question=$(window Cinaxo "$again") || fail "no window named Cinaxo"
    until_then hidden "$question" -- keys "$question" Return || fail "the offer did not take Да"
    main=$(window Cinaxo "$again") || fail "no window named Cinaxo"
    until_then ended "$again" -- close_window "$main" || fail "the program did not end"
    expect_db "$without_first"
    ;;
*)
    fail "unknown case $case_name"
    ;;
esac
echo "PASSED: $case_name"
