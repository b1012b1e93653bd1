#!/bin/sh
# Usage: roll_program_test.sh path/to/tumblecast-roll
roll="$1"
fail() { echo "FAIL: $*"; exit 1; }
CR=$(printf '\r')
dir=$(mktemp -d) && cd "$dir" || exit 1
trap 'rm -rf "$dir"' EXIT

# Fresh dice at every call; a seed replays them, and --verbose names the seed that did.
[ "$("$roll" 6x4d6dl1)" != "$("$roll" 6x4d6dl1)" ] || fail "two calls rolled the same dice"
[ "$("$roll" --seed 5 6x4d6dl1)" = "$("$roll" --seed 5 6x4d6dl1)" ] || fail "--seed 5 does not replay"
first=$("$roll" --verbose 2d20kh1+5 8d6! 2> seed.txt)
seed=$(sed -n 's/^tumblecast-roll: seed \([0-9]*\)$/\1/p' seed.txt)
[ -n "$seed" ] && [ "$("$roll" --seed "$seed" 2d20kh1+5 8d6!)" = "$first" ] || fail "--verbose seed '$seed' does not replay"

# Each expression takes the dice after the one before; lines and totals agree across the chunks rolled apart.
dice() { sed 's/^[^:]*: //; s/ = .*//; s/[][]//g'; }
[ "$("$roll" --seed 7 3d6 2d6 | dice | tr '\n' ' ')" = "$("$roll" --seed 7 5d6 | dice) " ] ||
    fail "the second expression does not take the next dice"
"$roll" --seed 3 --times 2100 1000d6dl1 | sed 's/.* = //' > lines.txt
"$roll" --seed 3 --times 2100 --total 1000d6dl1 > totals.txt
cmp -s lines.txt totals.txt || fail "--total differs from the totals of the lines"

# Seed 0 is the window's first roll after a start, byte for byte with --crlf.
hyphens=--------------------------------
expected=$(printf '1\r\n5\r\n2\r\n\r\nTotal:8 + 2 = 10\r\n%s\r\n\r\n' "$hyphens" | od -c)
[ "$("$roll" --seed 0 --record --crlf 3d6+2 | od -c)" = "$expected" ] || fail "--record is not the window's first record"
[ "$("$roll" --seed 0 --crlf --dice 3 --sides 6 --total-modify 2 | od -c)" = "$expected" ] || fail "--dice record differs"
"$roll" --seed 0 --record 3d6+2 | grep -q "$CR" && fail "--record without --crlf has CR line ends"
# A record's repetitions, and the next expression, take the dice that follow.
[ "$("$roll" --seed 9 --record --times 2 3d6 1d6 | grep -v '[^0-9]' | grep . | tr '\n' ' ')" = \
  "$("$roll" --seed 9 8d6 | dice) " ] || fail "--record's repetitions do not take the dice that follow"
[ "$("$roll" --seed 0 --total --dice 3 --sides 6 --total-modify 2)" = 10 ] || fail "--total of the window's roll"
[ "$("$roll" --seed 0 --total --dice 3 --sides 6 --modify 1)" = 11 ] || fail "--total with --modify"
[ "$("$roll" --total --times 5 3d6 | wc -l)" -eq 5 ] || fail "--total --times 5 is not five lines"

"$roll" --odds 4d6kh3 | grep -q "^mean 12.245, " || fail "--odds 4d6kh3 does not print mean 12.245"
"$roll" 4d6kh7 > /dev/null 2> error.txt; [ $? -eq 2 ] || fail "4d6kh7 does not exit 2"
grep -q "^tumblecast-roll: 4d6kh7: keeps 7 of 4 dice$" error.txt && grep -q '^     ^~~$' error.txt ||
    fail "4d6kh7 does not name the fault and its column: $(cat error.txt)"

for args in "3d6" "--odds 3d6" "--record 3d6" "--total 3d6" "--help"; do
    # shellcheck disable=SC2086
    "$roll" $args > /dev/full 2> /dev/null; [ $? -eq 1 ] || fail "$args on a full disk does not exit 1"
done
echo ok
