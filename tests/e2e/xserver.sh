# Sourced by the end-to-end scripts: a virtual X server of the test's own with a Bulgarian keyboard
# group (keyboard_layout, when set, names another), a work folder removed at the end, `fail` and the
# helpers that wait for windows and the program. Needs case_name; sets work, app_pid (empty) and
# DISPLAY. Exits 77 (skipped) without Xvfb or xdotool.

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
setxkbmap -layout "${keyboard_layout:-us,bg}" || fail "the keyboard map could not be set"

wait_for() { # WHAT COMMAND...: runs COMMAND until it succeeds, for ten seconds at most
    local what=$1
    shift
    for _ in $(seq 200); do
        "$@" && return 0
        sleep 0.05
    done
    fail "$what did not happen"
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
ended() { ! kill -0 "$app_pid" 2>/dev/null; }
wait_exit() {
    wait_for "the end of the program" ended
    app_pid=""
}
