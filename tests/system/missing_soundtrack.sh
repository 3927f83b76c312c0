#!/bin/bash
# Without Quietfall.MP3 the demo writes one error line and exits with 1.
. "$(dirname "$0")/common.sh"

timeout 60 "$demo" > out.txt 2> err.txt
status=$?
[ "$status" -eq 1 ] || fail "exit status $status, expected 1"
printf 'ERROR: Cannot find file quietfall.mp3!\n' > expected.txt
cmp -s out.txt expected.txt || fail "stdout is not exactly the error line"
echo "PASS"
