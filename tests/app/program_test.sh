#!/bin/sh
# Usage: program_test.sh path/to/tumblecast
# Run as on a console: no display, and no platform chosen for Qt.
program="$1"
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM
fail() { echo "FAIL: $*"; exit 1; }

"$program" --help | head -1 | grep -q '^Usage: tumblecast ' || fail "--help does not print its usage"
# Qt's own options are let through to it.
[ "$("$program" -style Fusion --version)" = "tumblecast $2" ] || fail "--version does not print $2"
"$program" --help > /dev/full 2> /dev/null; [ $? -eq 1 ] || fail "--help on a full disk does not exit 1"
for bad in --bogus extra.txt -style; do
    said=$("$program" $bad 2>&1); status=$?
    [ $status -eq 2 ] && echo "$said" | grep -q "'$bad'" || fail "$bad exits $status saying: $said"
done
# No display: one line that says so, and a failure, instead of an abort.
said=$("$program" 2>&1); status=$?
[ $status -eq 1 ] && [ "$said" = "${said#*
}" ] && echo "$said" | grep -q '^tumblecast: cannot open a window: .*DISPLAY' ||
    fail "without a display the program exits $status saying: $said"
echo ok
