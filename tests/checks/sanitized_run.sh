#!/bin/bash
# Plays the whole schedule in real time with the demo built with
# AddressSanitizer and UndefinedBehaviorSanitizer and the OpenGL error check
# preloaded (with whatever else PRELOAD lists). The demo must end by itself
# after the schedule with only the "FPS: " line and exit status 0; no
# sanitizer may report anything and every frame must have been checked:
# sanitized_run.sh DEMO PRELOAD SOUNDTRACK LEAK_SUPPRESSIONS
set -u
demo=$1
preload=$2
soundtrack=$3
suppressions=$4
scheduleSeconds=123  # the schedule runs 123.6 s of music
work=$(mktemp -d /tmp/tidewash-checks-XXXXXX)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1

fail() {
  echo "FAIL: $*"
  echo "--- stdout:"; cat out.txt
  echo "--- stderr (last lines):"; grep -v '^ALSA' err.txt | tail -n 60
  exit 1
}

cp "$soundtrack" Quietfall.MP3 || fail "no soundtrack at $soundtrack"
export SDL_AUDIODRIVER=dummy
# The preloaded libraries come before the sanitizer runtime in the library
# list, which is harmless here.
export ASAN_OPTIONS=verify_asan_link_order=0:check_initialization_order=1:strict_init_order=1:detect_stack_use_after_return=1:detect_leaks=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
export LSAN_OPTIONS=suppressions=$suppressions:print_suppressions=1

started=$(date +%s)
# The show takes two minutes whatever the frame rate, and the demo draws as
# fast as it can: at a lower priority it leaves the cores to the tests that
# run beside it and still draws every scene.
timeout 400 nice -n 10 env LD_PRELOAD="$preload" "$demo" > out.txt 2> err.txt
status=$?
seconds=$(( $(date +%s) - started ))
echo "ran $seconds s, exit status $status"
grep "^GL check" err.txt
sed -n '/^Suppressions used/,/^---/p' err.txt

grep -q -E "Sanitizer|runtime error:" err.txt && fail "a sanitizer reported"
[ "$status" -eq 0 ] || fail "exit status $status, expected 0"
[ "$(wc -l < out.txt)" -eq 1 ] || fail "expected only the FPS line"
[[ "$(cat out.txt)" =~ ^FPS:\ [0-9]+$ ]] || fail "the output is not 'FPS: ' and digits"
[ "$seconds" -ge "$scheduleSeconds" ] || fail "ended after $seconds s, before the schedule was over"
frames=$(sed -n 's/^GL check: \([0-9]*\) frames without an OpenGL error$/\1/p' err.txt)
# At least a frame a second, each checked.
[ "${frames:-0}" -ge "$scheduleSeconds" ] || fail "the OpenGL check saw ${frames:-no} frames"
cat out.txt
echo "PASS"
