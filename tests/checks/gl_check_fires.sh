#!/bin/bash
# The OpenGL error check on a probe program: three clean frames pass and are
# counted; an invalid call before the third swap stops the program there with
# the error and the frame number: gl_check_fires.sh PROBE GLCHECK
set -u
probe=$1
glcheck=$2
fail() { echo "FAIL: $*"; echo "--- output:"; cat "$log"; exit 1; }
log=$(mktemp /tmp/tidewash-glcheck-XXXXXX)
trap 'rm -f "$log"' EXIT

env LD_PRELOAD="$glcheck" "$probe" > "$log" 2>&1
status=$?
[ "$status" -eq 2 ] && fail "clean probe: no OpenGL window"
[ "$status" -eq 0 ] || fail "clean probe: exit status $status"
grep -q "^GL check: 3 frames without an OpenGL error$" "$log" || fail "clean probe: the three frames were not checked"

env LD_PRELOAD="$glcheck" "$probe" error > "$log" 2>&1
status=$?
[ "$status" -eq 2 ] && fail "probe with the error: no OpenGL window"
[ "$status" -ne 0 ] || fail "the invalid call went unnoticed (exit status 0)"
grep -q "^GL check: OpenGL error 0x0500 after frame 3$" "$log" || fail "no report of GL_INVALID_ENUM after frame 3"
grep -q "probe done" "$log" && fail "the probe ran on after the error"
echo "PASS"
