#!/usr/bin/env bash
# The program without a display: answers piped in, the rows on standard
# output, the run-time error report on standard error, and the exit codes.
set -u
program="$1"
golden="$2"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cd "$work"
failures=0

fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# run NAME INPUT EXPECTED_CODE: runs the program with INPUT on standard input.
run() {
  local name="$1" input="$2" expected="$3"
  printf '%b' "$input" | timeout 60 "$program" >"$work/$name.out" 2>"$work/$name.err"
  local code=$?
  [ "$code" -eq "$expected" ] || fail "$name: exit code $code, expected $expected"
}

run normal '0.05\n10\n5\n' 0
cmp -s "$work/normal.out" "$golden/answers_0.05_10_5.txt" ||
  { fail "normal: rows differ from the golden file"; diff "$golden/answers_0.05_10_5.txt" "$work/normal.out"; }
[ -s "$work/normal.err" ] && fail "normal: unexpected standard error: $(cat "$work/normal.err")"
[ -f .txt ] && [ ! -s .txt ] || fail "normal: the report file .txt is missing or not empty"

# A display that does not answer falls back to the terminal, not to an abort.
DISPLAY=:199 run unreachable_display '0.05\n10\n5\n' 0
cmp -s "$work/unreachable_display.out" "$golden/answers_0.05_10_5.txt" ||
  fail "unreachable_display: rows differ from the golden file"

run bad_answer '0.05\n12a\n' 1
grep -q '^run-time error F6101: READ(CON) - ' "$work/bad_answer.err" ||
  fail "bad_answer: standard error is: $(cat "$work/bad_answer.err")"
grep -q 'valor de critico' "$work/bad_answer.out" && fail "bad_answer: a result was written"

run end_of_input '0.05\n' 1
grep -q '^run-time error F6501: READ(CON) - ' "$work/end_of_input.err" ||
  fail "end_of_input: standard error is: $(cat "$work/end_of_input.err")"

run division_by_zero '0.05\n0\n5\n' 1
grep -q '^- floating-point error: divide by zero$' "$work/division_by_zero.err" ||
  fail "division_by_zero: standard error is: $(cat "$work/division_by_zero.err")"

printf 'conteudo' >.txt
touch -d '2001-01-01' .txt
run existing_report '0.05\n10\n5\n' 0
[ "$(cat .txt)" = conteudo ] || fail "existing_report: the report file changed"
[ "$(stat -c %Y .txt)" = "$(date -d 2001-01-01 +%s)" ] || fail "existing_report: modification time changed"

rm .txt && mkdir .txt
run report_is_a_directory '0.05\n10\n5\n' 1
grep -q '^run-time error F6414: OPEN(' "$work/report_is_a_directory.err" ||
  fail "report_is_a_directory: standard error is: $(cat "$work/report_is_a_directory.err")"
grep -q 'Entre com o valor' "$work/report_is_a_directory.out" && fail "report_is_a_directory: a question was asked"

if [ "$failures" -eq 0 ]; then
  echo "terminal program: all runs as expected"
fi
exit "$failures"
