#!/bin/sh
# Usage: roll_program_test.sh path/to/tumblecast-roll
roll="$1"
fail() { echo "FAIL: $*"; exit 1; }

"$roll" 3d6 > /dev/null || fail "3d6 exits $?"
"$roll" --dice 10000 --sides 6 > /dev/null 2>&1; [ $? -eq 2 ] || fail "--dice 10000 does not exit 2"
"$roll" 3d6 > /dev/full 2> /dev/null; [ $? -eq 1 ] || fail "a full disk does not exit 1"
"$roll" --help > /dev/full 2> /dev/null; [ $? -eq 1 ] || fail "--help on a full disk does not exit 1"
# Die 4 of the generator's life, first of a roll started at counter 3.
fourth=$("$roll" --lf 4d1000 | sed -n 4p)
first=$("$roll" --lf --seed 3 1d1000 | sed -n 1p)
[ -n "$first" ] && [ "$first" = "$fourth" ] || fail "--seed 3 starts with '$first', not '$fourth'"
echo ok
