#!/usr/bin/env bash
# Drives the disc scan of the real program under Xvfb: a folder posed as a mounted volume is scanned
# from Запис → Добави от диск..., one film is unticked, the others added; the catalogue the program
# leaves must hold them byte for byte.
#
#   discscan.sh PROGRAM DIST_DIR
#
# Exits 77 (skipped) without Xvfb or xdotool. With CINAXO_E2E_SHOTS=DIR, a screenshot of the review
# is left in DIR.
set -u
program=$1
dist=$2
case_name=discscan

. "$(dirname "$0")/common.sh"

printf 'Matrix,DVD-002,DVD,,,,Да\r\n' | iconv -f UTF-8 -t CP1251 >"$prog/db.txt"
disc="$work/FILMS"
for film in Amelie/amelie.avi Amelie/amelie.srt Brazil/brazil.avi 'Под игото/pod_igoto.avi' Matrix/matrix.mkv; do
    mkdir -p "$disc/$(dirname "$film")"
    echo 'not a film' >"$disc/$film"
done
export CINAXO_TEST_VOLUMES="$disc"

(cd "$prog" && exec ./cinaxo >"$work/log" 2>&1) &
app_pid=$!
main=$(window Cinaxo)
focus "$main"
# Запис, its seventh item: Добави от диск...
click "$main" 54 8
other_window "$main" >/dev/null
xdotool key Down Down Down Down Down Down Down Return
scan=$(window 'Добави от диск')
focus "$scan"
# Сканирай; the title names the disc once the films are listed, the first one current.
click "$scan" 497 35
window 'Добави от диск: FILMS' >/dev/null
shot discscan
# The second film, Brazil, unticked.
xdotool key Down space
# Добави
click "$scan" 527 400
gone "$scan"
focus "$main"
exit_by_menu "$main"
wait_exit
expect_db "Matrix,DVD-002,DVD,,,,Да\r\nAmelie,FILMS,AVI,$disc/Amelie/amelie.avi,,$disc/Amelie/amelie.srt,Да\r\nMatrix,FILMS,MKV,$disc/Matrix/matrix.mkv,,,Да\r\nПод игото,FILMS,AVI,$disc/Под игото/pod_igoto.avi,,,Да\r\n"
echo "PASSED: $case_name"
