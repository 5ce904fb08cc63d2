# Sourced by the end-to-end scripts: a virtual X server, a program directory of the test's own and
# the helpers that drive the real program. Every step waits for what it needs (a window, a file, the
# end of the program) up to a deadline. Needs case_name, program and dist; sets work, prog and DISPLAY.
# Exits 77 (skipped) without Xvfb or xdotool.

if ! command -v Xvfb >/dev/null || ! command -v xdotool >/dev/null; then
    echo "SKIPPED: Xvfb and xdotool are needed for the end-to-end tests (scripts/setup.sh installs them)"
    exit 77
fi

work=$(mktemp -d)
xvfb_pid=""
app_pid=""
cleanup() {
    [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null
    # Waited for: a server still going away would remove the socket of the next one on its display.
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
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

# Xvfb picks a free display and tells its number. Without -noreset it starts afresh whenever its last
# client leaves (setxkbmap, just before the program connects), refusing connections meanwhile and
# dropping the keyboard map.
Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp -noreset 3>"$work/display" 2>"$work/xvfb.log" &
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
    # xdotool's search by a name pattern now and then misses a window that is on screen; the name
    # of each visible window, read one by one, does not.
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
gone() { wait_for "closing window $1" hidden "$1"; } # ID: waits until the window is closed
focused() { [ "$(xdotool getwindowfocus 2>/dev/null)" = "$1" ]; }
focus() {
    xdotool windowfocus --sync "$1"
    wait_for "focus on window $1" focused "$1"
}
type_text() { xdotool type --delay 20 "$1"; }
click() { xdotool mousemove --window "$1" "$2" "$3" click 1; }
holds() { grep -q "$2" "$1" 2>/dev/null; } # FILE TEXT
other_window() { # MAIN [WINDOW...]: waits for another visible window of the program (a menu, a message box)
    local id
    for _ in $(seq 200); do
        # Popup menus carry the program's name only in _NET_WM_NAME, which getwindowname reads.
        for id in $(xdotool search --onlyvisible --name '.*' 2>/dev/null); do
            if [[ " $* " != *" $id "* ]] && [ "$(xdotool getwindowname "$id" 2>/dev/null)" = Cinaxo ]; then
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
shot() { # NAME: a screenshot for a person to look at, when asked for
    [ -n "${CINAXO_E2E_SHOTS:-}" ] && mkdir -p "$CINAXO_E2E_SHOTS" && import -window root "$CINAXO_E2E_SHOTS/$1.png"
    return 0
}
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
