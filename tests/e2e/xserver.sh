# Sourced by the end-to-end scripts: a virtual X server of the test's own with a Bulgarian keyboard
# group (keyboard_layout, when set, names another), a work folder removed at the end, `fail` and the
# helpers that wait for windows and the program. Needs case_name; sets work, app_pid (empty), pids
# (empty) and DISPLAY. Exits 77 (skipped) without Xvfb or xdotool.
#
# The helpers that look for a window print its id and return non-zero when there is none; inside
# $(...) a `fail` would end only the subshell, so callers add `|| fail`.

if ! command -v Xvfb >/dev/null || ! command -v xdotool >/dev/null; then
    echo "SKIPPED: Xvfb and xdotool are needed for the end-to-end tests (scripts/setup.sh installs them)"
    exit 77
fi

work=$(mktemp -d)
xvfb_pid=""
app_pid=""
pids=()
cleanup() {
    [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null
    for pid in "${pids[@]}"; do kill -9 "$pid" 2>/dev/null; done
    # Waited for: a server still going away would remove the socket of the next one on its display.
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

fail() { # MESSAGE: ends the test; the screen and the program's output go to a folder of this run
    echo "FAILED: $*"
    local kept
    kept=$(mktemp -d "${TMPDIR:-/tmp}/cinaxo-e2e-$case_name.XXXXXX") || exit 1
    [ -n "$xvfb_pid" ] && command -v import >/dev/null && import -window root "$kept/screen.png" 2>/dev/null &&
        echo "screen: $kept/screen.png"
    local log
    for log in "$work"/log*; do
        [ -f "$log" ] || continue
        echo "--- $(basename "$log")"
        cat "$log"
        cp "$log" "$kept/"
    done
    exit 1
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

# Xvfb picks a free display and tells its number. Without -noreset it starts afresh whenever its last
# client leaves (setxkbmap, just before the program connects), refusing connections meanwhile and
# dropping the keyboard map.
Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp -noreset 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
wait_for "the start of Xvfb" test -s "$work/display"
export DISPLAY=":$(cat "$work/display")"
# Cyrillic letters on a second keyboard group, so that xdotool finds every letter in the keyboard
# map and never maps a key anew while the program may still be reading the last one.
setxkbmap -layout "${keyboard_layout:-us,bg}" || fail "the keyboard map could not be set"

visible_windows() { # [PID]: the ids of the visible windows (of this process)
    if [ -n "${1:-}" ]; then
        xdotool search --all --onlyvisible --pid "$1" --name '.*' 2>/dev/null
    else
        xdotool search --onlyvisible --name '.*' 2>/dev/null
    fi
}
named_window() { # NAME [PID]: one look for a visible window with exactly this name
    local id
    # xdotool's search by a name pattern now and then misses a window that is on screen; the name
    # of each visible window, read one by one, does not.
    for id in $(visible_windows "${2:-}"); do
        if [ "$(xdotool getwindowname "$id" 2>/dev/null)" = "$1" ]; then
            echo "$id"
            return 0
        fi
    done
    return 1
}
visible() { named_window "$@" >/dev/null; } # NAME [PID]
window() { # NAME [PID]: waits for a visible window with exactly this name (of this process)
    local id
    for _ in $(seq 300); do
        named_window "$@" && return 0
        sleep 0.05
    done
    echo "$(date +%T) no window named $1; visible windows:" >&2
    for id in $(visible_windows); do
        echo "  $id $(xdotool getwindowname "$id" 2>/dev/null)" >&2
    done
    return 1
}
find_other_window() { # [--pid PID] EXCEPT...: one look for another visible window of the program
    local pid="" id
    if [ "${1:-}" = --pid ]; then
        pid=$2
        shift 2
    fi
    # Popup menus carry the program's name only in _NET_WM_NAME, which getwindowname reads.
    for id in $(visible_windows "$pid"); do
        if [[ " $* " != *" $id "* ]] && [ "$(xdotool getwindowname "$id" 2>/dev/null)" = Cinaxo ]; then
            echo "$id"
            return 0
        fi
    done
    return 1
}
other_window() { # [--pid PID] EXCEPT...: waits for another visible window of the program (a menu, a box)
    for _ in $(seq 200); do
        find_other_window "$@" && return 0
        sleep 0.05
    done
    echo "$(date +%T) no other window of the program" >&2
    return 1
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
click() { xdotool mousemove --window "$1" "$2" "$3" click "${4:-1}"; } # WINDOW X Y [BUTTON]
ended() { ! kill -0 "${1:-$app_pid}" 2>/dev/null; } # [PID]
wait_exit() { # [PID]: waits for the end of the program (started as app_pid when none is named)
    wait_for "the end of the program ${1:-}" ended "${1:-$app_pid}"
    [ -n "${1:-}" ] || app_pid=""
}
open_file_menu() {
    click "$1" 20 8
    other_window "$1" >/dev/null || fail "the File menu did not open"
}
exit_by_menu() { # File, then its last item: Exit
    open_file_menu "$1"
    xdotool key Up Return
}
shot() { # NAME: a screenshot for a person to look at, when asked for
    [ -n "${CINAXO_E2E_SHOTS:-}" ] && mkdir -p "$CINAXO_E2E_SHOTS" && import -window root "$CINAXO_E2E_SHOTS/$1.png"
    return 0
}
