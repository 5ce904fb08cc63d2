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

holds() { grep -q "$2" "$1" 2>/dev/null; } # FILE TEXT
db_is() { # EXPECTED_UTF8 [FILE]
    [ "$(printf "$1" | iconv -f UTF-8 -t CP1251 | base64 -w0)" = "$(base64 -w0 <"${2:-$prog/db.txt}")" ]
}
expect_db() { # EXPECTED_UTF8 [FILE]
    db_is "$@" || fail "${2:-db.txt} holds: $(iconv -f CP1251 -t UTF-8 <"${2:-$prog/db.txt}" | sed -n l)"
}
