#!/usr/bin/env bash
# Drives the installed program under Xvfb, as a desktop user with a fresh home folder meets it.
#
#   desktop.sh CASE CMAKE BUILD_DIR
#
# installed: the first start seeds ~/.local/share/Cinaxo, shows an empty catalogue without any error
#   box, saves a new film there at exit, and writes nothing under the installation's prefix.
# mounted: a film whose catalogue names it on D:\ is played from a folder posing as the mounted disc
#   (CINAXO_TEST_VOLUMES), not from another volume holding a file of the same name.
# Exits 77 (skipped) without Xvfb or xdotool.
set -u
case_name=$1
cmake=$2
build=$3

. "$(dirname "$0")/xserver.sh"

# The installed copy, and a home folder that has never seen the program.
prefix="$work/prefix"
"$cmake" --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1 || fail "cmake --install: $(cat "$work/install.log")"
home="$work/home"
mkdir -p "$home" "$work/run"
chmod 700 "$work/run"
unset XDG_CONFIG_HOME XDG_DATA_HOME XDG_CACHE_HOME CINAXO_TEST_VOLUMES
export HOME="$home" XDG_RUNTIME_DIR="$work/run"
data="$home/.local/share/Cinaxo"
snapshot() { (cd "$prefix" && find . -printf '%p %y %s %m %T@\n' | sort); }
before=$(snapshot)

start() {
    (cd "$home" && exec "$prefix/bin/cinaxo" >"$work/log" 2>&1) &
    app_pid=$!
}
main_window_alone() { # the main window is up, and no box stands before or beside it
    local main ids id
    main=$(window Cinaxo) || { echo "no window named Cinaxo"; return 1; }
    # A box the start shows comes before the main window, so by now it would be found too.
    ids=$(for id in $(visible_windows); do
        [ "$(xdotool getwindowname "$id" 2>/dev/null)" = Cinaxo ] && echo "$id"
    done)
    [ "$ids" = "$main" ] || { echo "more than one window: $ids"; return 1; }
    [ "$(xdotool getwindowgeometry "$main" | sed -n 's/.*Geometry: //p')" = 544x375 ] || {
        echo "the first window is not the main window: $(xdotool getwindowgeometry "$main")"
        return 1
    }
    echo "$main"
}
cp1251() { printf "$1" | iconv -f UTF-8 -t CP1251; }

case "$case_name" in
installed)
    start
    main=$(main_window_alone) || fail "$main"
    cmp -s "$prefix/share/cinaxo/format.txt" "$data/format.txt" || fail "format.txt was not seeded"
    [ -f "$data/db.txt" ] && [ ! -s "$data/db.txt" ] || fail "no empty catalogue was seeded"
    focus "$main"
    xdotool key Insert
    dialog=$(window AddEditForm) || fail "no window named AddEditForm"
    focus "$dialog"
    click "$dialog" 100 70
    type_text 'Нов филм'
    click "$dialog" 305 372
    gone "$dialog"
    exit_by_menu "$main"
    wait_exit
    [ "$(base64 -w0 <"$data/db.txt")" = "$(cp1251 'Нов филм\r\n' | base64 -w0)" ] ||
        fail "db.txt holds: $(iconv -f CP1251 -t UTF-8 <"$data/db.txt" | sed -n l)"
    # Beside the catalogue only its schema and the dated copies kept at each save.
    [ "$(ls -A "$data")" = "$(printf 'backups\ndb.txt\nformat.txt')" ] || fail "the data folder holds: $(ls -A "$data")"
    [ "$(ls -A "$data/backups" | wc -l)" = 1 ] || fail "the backups: $(ls -A "$data/backups")"
    ;;
mounted)
    # Two folders pose as mounted volumes; both hold the film, the disc named in the catalogue second.
    volumes="$work/volumes"
    for volume in OTHER ДИСК_1; do
        mkdir -p "$volumes/$volume/Филми"
        echo "$volume" >"$volumes/$volume/Филми/Моят филм.avi"
        echo "$volume" >"$volumes/$volume/Филми/Моят филм.srt"
    done
    export CINAXO_TEST_VOLUMES="$volumes/OTHER:$volumes/ДИСК_1"
    mkdir -p "$data" "$home/.config/Cinaxo" "$work/bin"
    cp "$prefix/share/cinaxo/format.txt" "$data/"
    cp1251 'Моят филм,ДИСК_1,DivX,D:\\\\Филми\\\\Моят филм.avi,,D:\\\\Филми\\\\Моят филм.srt,Да\r\nЛипсващ,ДИСК_2,DVD,D:\\\\Филми\\\\Липсващ.avi,,,Да\r\n' >"$data/db.txt"
    touch -d '2020-01-01 00:00:00' "$data/db.txt"
    original=$(base64 -w0 <"$data/db.txt")
    # A stand-in player that writes down the arguments it was given.
    printf '#!/bin/sh\nfor a in "$@"; do printf "%%s\\n" "$a"; done >"%s/args.txt"\n' "$work" >"$work/bin/player"
    chmod +x "$work/bin/player"
    printf '[HKEY_LOCAL_MACHINE]\nSoftware\\Cinaxo\\Configuration\\.key=1\nSoftware\\Cinaxo\\Configuration\\MicroDVDPath=sz:%s\n' \
        "$work/bin/player" >"$home/.config/Cinaxo/registry.ini"
    start
    main=$(main_window_alone) || fail "$main"
    focus "$main"
    click "$main" 100 44
    xdotool key Return
    wait_for "starting the player" test -s "$work/args.txt"
    disc="$volumes/ДИСК_1/Филми"
    want=$(printf '/QuickINI\n/V:%s\n/A:\n/S:%s\n' "$disc/Моят филм.avi" "$disc/Моят филм.srt")
    [ "$(cat "$work/args.txt")" = "$want" ] || fail "the player got: $(cat "$work/args.txt")"
    # The second film's disc is mounted nowhere: the message asks for it, and no player starts.
    rm "$work/args.txt"
    xdotool key Down Return
    box=$(other_window "$main") || fail "no box for the missing film"
    [ -e "$work/args.txt" ] && fail "a player started for a missing film"
    focus "$box"
    xdotool key Return
    gone "$box"
    exit_by_menu "$main"
    wait_exit
    [ "$(base64 -w0 <"$data/db.txt")" = "$original" ] || fail "the catalogue changed"
    [ "$(stat -c %Y "$data/db.txt")" = "$(date -d '2020-01-01 00:00:00' +%s)" ] || fail "the catalogue was written"
    ;;
*)
    fail "unknown case $case_name"
    ;;
esac
[ "$(snapshot)" = "$before" ] || fail "the installation changed: $(diff <(echo "$before") <(snapshot))"
echo "PASSED: $case_name"
