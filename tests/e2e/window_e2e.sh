#!/usr/bin/env bash
# End-to-end runs of the program in its window on a virtual X display:
#   1. answers 0.05, 10, 5; No to the closing question; Select All + Copy must
#      give the golden rows on a 128 x 48 grid; Ctrl+C ends with exit code 0;
#   2. the same answers and Yes: exit code 0;
#   3. "12a" as the number of observations: the run-time error box, OK, Yes:
#      exit code 1.
# Usage: window_e2e.sh <testetau> <golden rows> <artifact folder>
set -u

app=$1
golden=$2
artifacts=$3
step_timeout=20

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

for tool in Xvfb xdotool xclip import; do
    command -v "$tool" >/dev/null || fail "$tool is not installed"
done
[ -x "$app" ] || fail "program $app not found"
mkdir -p "$artifacts"

# A display number nobody uses.
display=""
for n in $(seq 90 160); do
    if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then
        display=$n
        break
    fi
done
[ -n "$display" ] || fail "no free X display number"

work=$(mktemp -d)
xvfb_pid=""
app_pid=""
cleanup() {
    [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    wait 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
export DISPLAY=":$display"
unset QT_QPA_PLATFORM WAYLAND_DISPLAY
for _ in $(seq 1 100); do
    timeout 2 xdotool getdisplaygeometry >/dev/null 2>&1 && break
    sleep 0.1
done
timeout 2 xdotool getdisplaygeometry >/dev/null 2>&1 || fail "Xvfb on :$display did not start"

# Prints the id of the first window whose name matches, waiting at most step_timeout.
wait_for_window() {
    local pattern=$1 id
    for _ in $(seq 1 $((step_timeout * 10))); do
        id=$(timeout 2 xdotool search --onlyvisible --name "$pattern" 2>/dev/null | head -1)
        if [ -n "$id" ]; then
            echo "$id"
            return 0
        fi
        sleep 0.1
    done
    return 1
}

# Keys go to the focused window; without a window manager focus is set directly.
focus() {
    timeout 5 xdotool mousemove --window "$1" 20 20 >/dev/null 2>&1
    timeout 5 xdotool windowfocus --sync "$1" >/dev/null 2>&1 || timeout 5 xdotool windowfocus "$1"
    sleep 0.2
}

start_app() {
    local run=$1
    mkdir -p "$work/$run"
    (cd "$work/$run" && TESTETAU_WINDOW_DEBUG=1 exec timeout 120 "$app" >stdout.txt 2>stderr.txt) &
    app_pid=$!
    frame=$(wait_for_window '^testetau - \[Graphic1\]$') || fail "$run: the frame 'testetau - [Graphic1]' did not appear"
    focus "$frame"
    sleep 0.5
}

answer() {
    local text
    for text in "$@"; do
        timeout 10 xdotool type --delay 40 "$text"
        timeout 5 xdotool key Return
        sleep 0.4
    done
}

# Waits for the program to end and checks its exit code.
expect_exit() {
    local run=$1 expected=$2 code
    for _ in $(seq 1 $((step_timeout * 10))); do
        kill -0 "$app_pid" 2>/dev/null || break
        sleep 0.1
    done
    kill -0 "$app_pid" 2>/dev/null && fail "$run: the program did not end"
    wait "$app_pid"
    code=$?
    app_pid=""
    [ "$code" -eq "$expected" ] || fail "$run: exit code $code, expected $expected (stderr: $(cat "$work/$run/stderr.txt"))"
    echo "ok: $run ends with exit code $code"
}

closing_question() {
    wait_for_window '^testetau$' || fail "$1: the closing question box 'testetau' did not appear"
}

# --- Run 1: the whole window through Select All + Copy --------------------
start_app copy
grep -q '^console grid 128x48$' "$work/copy/stderr.txt" || fail "copy: grid is not 128x48: $(cat "$work/copy/stderr.txt")"
echo "ok: console grid 128x48"
answer 0.05 10 5
box=$(closing_question copy)
import -window root "$artifacts/window_e2e_closing_question.png" || echo "warning: no screenshot" >&2
focus "$box"
timeout 5 xdotool key Return   # Enter answers No: the window stays
sleep 0.5
kill -0 "$app_pid" 2>/dev/null || fail "copy: the program ended after No"
focus "$frame"
timeout 5 xdotool key alt+e
sleep 0.3
timeout 5 xdotool key a        # Edit > Select All
sleep 0.3
timeout 5 xdotool key ctrl+Insert
sleep 0.5
timeout 10 xclip -o -selection clipboard >"$artifacts/window_e2e_copy.txt" || fail "copy: the clipboard could not be read"
import -window root "$artifacts/window_e2e_window.png" || echo "warning: no screenshot" >&2
rows=$(wc -l <"$artifacts/window_e2e_copy.txt")
[ "$rows" -eq 48 ] || fail "copy: $rows rows copied, expected 48"
head -31 "$artifacts/window_e2e_copy.txt" >"$work/first_rows.txt"
diff -u "$golden" "$work/first_rows.txt" || fail "copy: the window rows differ from the golden rows"
tail -n +32 "$artifacts/window_e2e_copy.txt" | grep -q . && fail "copy: rows 32 to 48 are not empty"
echo "ok: Select All + Copy gives the golden rows"
timeout 5 xdotool key ctrl+c
expect_exit copy 0

# --- Run 2: Yes in the closing question -----------------------------------
start_app yes
answer 0.05 10 5
box=$(closing_question yes)
focus "$box"
timeout 5 xdotool key alt+y
expect_exit yes 0

# --- Run 3: an unreadable answer -------------------------------------------
start_app error
answer 0.05 12a
error_box=$(wait_for_window '^run-time error $') || fail "error: the box 'run-time error ' did not appear"
import -window root "$artifacts/window_e2e_error.png" || echo "warning: no screenshot" >&2
focus "$error_box"
timeout 5 xdotool key Return   # OK
box=$(closing_question error)
focus "$box"
timeout 5 xdotool key alt+y
expect_exit error 1

echo "all window runs passed"
