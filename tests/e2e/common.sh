# Sourced by the end-to-end scripts that drive a program directory: the X server of xserver.sh, a
# program directory of the test's own and the helpers that drive the real program. Every step waits
# for what it needs (a window, a file, the end of the program) up to a deadline. Needs case_name,
# program and dist; sets work, prog and DISPLAY.

. "$(dirname "${BASH_SOURCE[0]}")/xserver.sh"

# A program directory of the test's own, and a settings folder of its own.
prog="$work/prog"
mkdir -p "$prog/Skin" "$work/config" "$work/run"
chmod 700 "$work/run"
export XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/run" HOME="$work"
cp "$program" "$prog/cinaxo"
cp "$dist/format.txt" "$prog/"
cp "$dist/Skin/btnsource.bmp" "$prog/Skin/"
cp1251() { printf '%s' "$1" | iconv -f UTF-8 -t CP1251; }

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
shot() { # NAME: a screenshot for a person to look at, when asked for
    [ -n "${CINAXO_E2E_SHOTS:-}" ] && mkdir -p "$CINAXO_E2E_SHOTS" && import -window root "$CINAXO_E2E_SHOTS/$1.png"
    return 0
}
expect_db() { # EXPECTED_UTF8
    local want got
    want=$(printf "$1" | iconv -f UTF-8 -t CP1251 | base64 -w0)
    got=$(base64 -w0 <"$prog/db.txt")
    [ "$want" = "$got" ] || fail "db.txt holds: $(iconv -f CP1251 -t UTF-8 <"$prog/db.txt" | sed -n l)"
}
