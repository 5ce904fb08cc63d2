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

if ! command -v Xvfb >/dev/null || ! command -v xdotool >/dev/null; then
    echo "SKIPPED: Xvfb and xdotool are needed for the end-to-end tests (scripts/setup.sh installs them)"
    exit 77
fi

work=$(mktemp -d)
xvfb_pid=""
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill -9 "$pid" 2>/dev/null; done
    # Waited for: a server still going away would remove the socket of the next one on its display.
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAILED: $*" | tee -a /tmp/cinaxo-e2e-failures.log
    [ -n "$xvfb_pid" ] && command -v import >/dev/null && import -window root "$work/screen.png" 2>/dev/null &&
        cp "$work/screen.png" "/tmp/cinaxo-safety-$case_name.png" && echo "screen: /tmp/cinaxo-safety-$case_name.png"
    for log in "$work"/log*; do [ -f "$log" ] && { echo "--- $log"; cat "$log"; }; done
    exit 1
}

# Waits up to ten seconds for a command to succeed.
wait_for() {
    for _ in $(seq 200); do
        "$@" && return 0
        sleep 0.05
    done
    return 1
}
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

# Xvfb picks a free display and tells its number.
Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp -noreset 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
wait_for test -s "$work/display" || fail "Xvfb did not start"
export DISPLAY=":$(cat "$work/display")"

# A program directory of the test's own, and a home of its own.
prog="$work/prog"
mkdir -p "$prog/Skin" "$work/config" "$work/run" "$work/data"
chmod 700 "$work/run"
export XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/run" XDG_DATA_HOME="$work/data" HOME="$work"
cp "$program" "$prog/cinaxo"
cp "$dist/format.txt" "$prog/"
cp "$dist/Skin/btnsource.bmp" "$prog/Skin/"
films='Казабланка,DVD-001,DVD,D:\\VIDEO_TS\\VTS_01_1.VOB,,,Да\r\n"Smith, John",CD-002,DivX,,,,Не,Иван\r\nMatrix,DVD-002,DVD,,,,Да\r\n'
without_first='"Smith, John",CD-002,DivX,,,,Не,Иван\r\nMatrix,DVD-002,DVD,,,,Да\r\n'
printf "$films" | iconv -f UTF-8 -t CP1251 >"$prog/db.txt"

start() { # NAME: starts the program; its pid goes into the variable NAME
    (cd "$prog" && exec ./cinaxo >"$work/log.$1" 2>&1) &
    pids+=($!)
    printf -v "$1" '%s' $!
}
window() { # NAME [PID]: the id of a visible window with exactly this name (of this process)
    local id
    id=$(timeout 10 xdotool search --all --sync --onlyvisible ${2:+--pid "$2"} --name "^$1\$" 2>/dev/null | head -1)
    [ -n "$id" ] || fail "no window named $1"
    echo "$id"
}
gone() { ! xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1; }
visible() { ! gone "$1"; }
has_other_window() { # PID EXCEPT: another visible window of the process (a menu, a message box)
    local id
    # Popup menus carry the program's name only in _NET_WM_NAME, which getwindowname reads.
    for id in $(xdotool search --all --onlyvisible --pid "$1" --name '.*' 2>/dev/null); do
        if [ "$id" != "$2" ] && [ "$(xdotool getwindowname "$id" 2>/dev/null)" = Cinaxo ]; then
            echo "$id"
            return 0
        fi
    done
    return 1
}
no_other_window() { ! has_other_window "$@" >/dev/null; }
box_shown() { has_other_window "$@" >/dev/null; }
shown() { # PID WINDOW: whether this window of the process is visible
    xdotool search --all --onlyvisible --pid "$1" --name '.*' 2>/dev/null | grep -qx "$2"
}
hidden() { ! shown "$@"; }
shot() { # NAME: a screenshot for a person to look at, when asked for
    [ -n "${CINAXO_E2E_SHOTS:-}" ] && mkdir -p "$CINAXO_E2E_SHOTS" && import -window root "$CINAXO_E2E_SHOTS/$1.png"
    return 0
}
other_window() { # PID EXCEPT
    for _ in $(seq 200); do
        has_other_window "$1" "$2" && return 0
        sleep 0.05
    done
    fail "no other window of the program"
}
focus() { xdotool windowfocus --sync "$1"; }
keys() { # WINDOW KEY...: focuses the window and sends the keys
    focus "$1"
    shift
    xdotool key --clearmodifiers "$@"
}
ended() { ! kill -0 "$1" 2>/dev/null; }
wait_exit() { wait_for ended "$1" || fail "the program $1 did not end"; }
db_is() { # EXPECTED_UTF8 [FILE]
    [ "$(printf "$1" | iconv -f UTF-8 -t CP1251 | base64 -w0)" = "$(base64 -w0 <"${2:-$prog/db.txt}")" ]
}
expect_db() { # EXPECTED_UTF8 [FILE]
    db_is "$@" || fail "${2:-db.txt} holds: $(iconv -f CP1251 -t UTF-8 <"${2:-$prog/db.txt}" | sed -n l)"
}
journalled() { grep -q "^$1\$" "$prog/db.txt.journal" 2>/dev/null; }
# Deletes the first film; returns once the deletion is in the journal.
delete_first() { # MAIN_WINDOW
    until_then visible Confirm -- keys "$1" Delete || fail "no confirmation of the deletion"
    local confirm
    confirm=$(window Confirm)
    until_then journalled 'D 0' -- keys "$confirm" Return || fail "the deletion was not posted"
}
# Asks the window to close, as its border's close button does: the same path as File, Exit.
close_window() { # WINDOW
    python3 "$here/xclose.py" "$1" 2>/dev/null
}

case "$case_name" in
two-windows)
    start first
    main=$(window Cinaxo "$first")
    wait_for test -e "$prog/db.txt.lock" || fail "no lock beside the catalogue"
    # The question comes before the window; Escape is "Само за четене".
    start second
    question=$(window Cinaxo "$second")
    shot two-windows
    until_then hidden "$second" "$question" -- keys "$question" Escape || fail "Escape did not answer"
    readonly_main=$(window Cinaxo "$second")
    # The read-only window refuses the deletion and writes nothing at its end.
    keys "$readonly_main" Delete
    refusal=$(other_window "$second" "$readonly_main")
    until_then no_other_window "$second" "$readonly_main" -- keys "$refusal" Return || fail "the refusal stayed"
    until_then ended "$second" -- close_window "$readonly_main" || fail "the read-only window did not end"
    expect_db "$films"
    # A third one whose user prefers to quit.
    start third
    question=$(window Cinaxo "$third")
    keys "$question" Tab space # "Изход"
    wait_exit "$third"
    # The first one changes and saves as ever.
    delete_first "$main"
    until_then ended "$first" -- close_window "$main" || fail "the first window did not end"
    expect_db "$without_first"
    ;;
other-program)
    start app
    main=$(window Cinaxo "$app")
    delete_first "$main"
    printf 'Чужд запис,X-1\r\n' | iconv -f UTF-8 -t CP1251 >"$prog/db.txt"
    # The buttons: "Запиши върху него", "Запиши другаде...", "Изход без запис", "Отказ".
    until_then box_shown "$app" "$main" -- close_window "$main" || fail "no question about the other program"
    question=$(other_window "$app" "$main")
    shot other-program
    until_then no_other_window "$app" "$main" -- keys "$question" Escape || fail "the question stayed" # back
    ended "$app" && fail "the program ended"
    expect_db 'Чужд запис,X-1\r\n'
    until_then box_shown "$app" "$main" -- close_window "$main" || fail "no question about the other program"
    question=$(other_window "$app" "$main")
    keys "$question" Tab space # ours elsewhere
    wait_for visible 'Запиши каталога като' || fail "no file dialog"
    chooser=$(window 'Запиши каталога като' "$app")
    keys "$chooser" ctrl+a
    xdotool type --delay 20 "$work/ours.txt"
    xdotool key Return
    wait_exit "$app"
    expect_db 'Чужд запис,X-1\r\n'
    expect_db "$without_first" "$work/ours.txt"
    ;;
sigterm)
    start app
    main=$(window Cinaxo "$app")
    delete_first "$main"
    kill -TERM "$app"
    wait_exit "$app"
    expect_db "$without_first"
    [ -e "$prog/db.txt.journal" ] && fail "the journal stayed after the save"
    ;;
x-gone)
    start app
    main=$(window Cinaxo "$app")
    delete_first "$main"
    kill "$xvfb_pid"
    wait "$xvfb_pid" 2>/dev/null
    xvfb_pid=""
    wait_exit "$app"
    expect_db "$without_first"
    ;;
crash)
    start app
    main=$(window Cinaxo "$app")
    delete_first "$main"
    kill -KILL "$app"
    wait_exit "$app"
    expect_db "$films"
    # Escape keeps the changes for the next start; "Да" applies them.
    start later
    question=$(window Cinaxo "$later")
    shot crash
    until_then hidden "$later" "$question" -- keys "$question" Escape || fail "Escape did not answer"
    main=$(window Cinaxo "$later")
    until_then ended "$later" -- close_window "$main" || fail "the program did not end"
    expect_db "$films"
    journalled 'D 0' || fail "the journal was not kept"
    start again
    question=$(window Cinaxo "$again")
    until_then hidden "$again" "$question" -- keys "$question" Return || fail "the offer did not take Да"
    main=$(window Cinaxo "$again")
    until_then ended "$again" -- close_window "$main" || fail "the program did not end"
    expect_db "$without_first"
    ;;
*)
    fail "unknown case $case_name"
    ;;
esac
echo "PASSED: $case_name"
