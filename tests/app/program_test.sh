#!/bin/sh
# Usage: program_test.sh path/to/tumblecast
# Run as on a console: no display, and no platform chosen for Qt.
program="$1"
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM
fail() { echo "FAIL: $*"; exit 1; }
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

"$program" --help > "$out/help" 2>&1 || fail "--help exits $?"
head -1 "$out/help" | grep -q '^Usage: tumblecast ' || fail "--help prints: $(head -1 "$out/help")"
# Qt's own options are let through to it, and do not hide a --version after them.
"$program" -style Fusion --version > "$out/version" 2>&1 || fail "--version exits $?"
grep -qx 'tumblecast [0-9][0-9.]*' "$out/version" || fail "--version prints: $(cat "$out/version")"
"$program" --help > /dev/full 2> /dev/null; [ $? -eq 1 ] || fail "--help on a full disk does not exit 1"

for bad in --bogus extra.txt -style; do
    "$program" $bad > "$out/bad" 2>&1; status=$?
    [ $status -eq 2 ] || fail "$bad exits $status, not 2"
    head -1 "$out/bad" | grep -q "^tumblecast: .*'$bad'" || fail "$bad says: $(head -1 "$out/bad")"
done

# No display: one line that says so, and a failure, instead of an abort.
"$program" > "$out/nodisplay" 2>&1; status=$?
[ $status -eq 1 ] || fail "without a display the program exits $status, not 1"
[ "$(wc -l < "$out/nodisplay")" -eq 1 ] && grep -q '^tumblecast: cannot open a window: .*DISPLAY' "$out/nodisplay" ||
    fail "without a display the program says: $(cat "$out/nodisplay")"
echo ok
