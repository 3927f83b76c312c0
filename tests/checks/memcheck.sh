#!/bin/bash
# A few seconds of the real demo under valgrind's memcheck, ended with Escape,
# with the OpenGL error check preloaded. Every error whose stack passes
# through our code fails the run; errors that lie wholly inside the system's
# libraries (Mesa, X, SDL) are counted and listed but not held against us:
# memcheck.sh DEMO GLCHECK SOUNDTRACK SUPPRESSIONS SOURCE_DIR
set -u
demo=$1
glcheck=$2
soundtrack=$3
suppressions=$4
sources=$5
playSeconds=8
work=$(mktemp -d /tmp/tidewash-checks-XXXXXX)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1

fail() {
  echo "FAIL: $*"
  echo "--- stdout:"; cat out.txt
  echo "--- valgrind (last lines):"; tail -n 80 valgrind.txt
  exit 1
}

cp "$soundtrack" Quietfall.MP3 || fail "no soundtrack at $soundtrack"
export SDL_AUDIODRIVER=dummy
# --keep-debuginfo names the frames of Mesa's driver, which is unloaded
# before the leak check, so that the suppressions can match them.
LD_PRELOAD=$glcheck valgrind --tool=memcheck --keep-debuginfo=yes --leak-check=full \
  --show-leak-kinds=definite --errors-for-leak-kinds=definite --num-callers=50 --fullpath-after= \
  --suppressions="$suppressions" --log-file=valgrind.txt "$demo" > out.txt 2> err.txt &
pid=$!
# The window takes a while under valgrind; a demo that ends first has none.
window=""
for _ in $(seq 240); do
  window=$(xdotool search --name "Vorn Tidewash Demo v 0.3" 2>/dev/null | head -n 1)
  [ -n "$window" ] || ! kill -0 "$pid" 2>/dev/null && break
  sleep 1
done
[ -n "$window" ] || fail "no demo window appeared"
sleep "$playSeconds"
xdotool windowfocus --sync "$window"
xdotool key Escape
timeout 240 tail --pid="$pid" -f /dev/null
wait "$pid"
status=$?

# One block per error: its message, then its stack. A block is ours when a
# frame lies in a source file of this repository (or of the build tree in it).
awk -v ours="$sources/" '
  /^==[0-9]+== [^ ]/ && !inBlock { inBlock = 1; message = substr($0, index($0, " ") + 1); isOurs = 0; frames = 0; next }
  /^==[0-9]+==    (at|by) / && inBlock { ++frames; if (index($0, "(" ours) > 0) isOurs = 1; next }
  /^==[0-9]+== *$/ {
    if (inBlock && frames > 0) {
      if (isOurs) { ++ourErrors; print "ours: " message } else { ++otherErrors; print "elsewhere: " message }
    }
    inBlock = 0; next
  }
  END { printf "errors in our code: %d, elsewhere: %d\n", ourErrors, otherErrors }
' valgrind.txt > errors.txt
cat errors.txt
grep -E "ERROR SUMMARY|definitely lost:|indirectly lost:" valgrind.txt
grep "^GL check" err.txt

[ "$status" -eq 0 ] || fail "exit status $status, expected 0"
grep -q "^FPS: [0-9]*$" out.txt || fail "no 'FPS: ' line"
grep -q "ERROR SUMMARY" valgrind.txt || fail "valgrind did not finish"
grep -q "^errors in our code: 0," errors.txt || fail "memcheck found errors in our code"
echo "PASS"
