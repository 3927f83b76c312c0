#!/bin/bash
# Whatever sits in Quietfall.MP3, the demo either plays it (what decodes plays
# and the clock runs on to the end) or ends with the one error line and exit
# status 1. Never a crash, a hang or a stuck clock.
. "$(dirname "$0")/common.sh"

error_line='ERROR: Cannot find file quietfall.mp3!'
"$make_tone" 1.5 tone.mp3 || fail "cannot make a tone"
tone_size=$(stat -c %s tone.mp3)

# Runs the demo in directory $1 and expects the error line and status 1.
expect_error() {
  (cd "$1" && timeout 60 "${run_as[@]}" "$demo" > out.txt 2> err.txt)
  local status=$?
  cp "$1/out.txt" out.txt; cp "$1/err.txt" err.txt
  [ "$status" -eq 1 ] || fail "$1: exit status $status, expected 1"
  [ "$(cat out.txt)" = "$error_line" ] || fail "$1: expected only the error line"
  echo "ok: $1 gives the error line"
}

# Runs the demo in directory $1 until its clock has run past the end of the
# short music, then quits with Escape.
expect_play() {
  cd "$1"
  space_until_then_escape 2500
  local status=$?
  cp out.txt err.txt "$work"
  cd "$work"
  [ "$status" -eq 0 ] || fail "$1: exit status $status, expected 0"
  local position
  position=$(tail -n 2 out.txt | head -n 1)
  [[ "$position" =~ ^[0-9]+$ ]] && [ "$position" -ge 2500 ] || fail "$1: the clock did not run on ($position)"
  [[ "$(tail -n 1 out.txt)" =~ ^FPS:\ [0-9]+$ ]] || fail "$1: no 'FPS: ' line"
  echo "ok: $1 plays on past the music, to $position ms"
}

# Makes directory $1 for a case; the soundtrack is written by the caller.
case_dir() { mkdir -p "$1"; chmod 755 "$1"; }
run_as=()

case_dir directory; mkdir directory/Quietfall.MP3
case_dir empty; : > empty/Quietfall.MP3
case_dir few_bytes; printf '\377\373\220' > few_bytes/Quietfall.MP3
case_dir id3_only; { printf 'ID3\003\000\000\000\000\001\000'; head -c 128 /dev/zero; } > id3_only/Quietfall.MP3
case_dir wav; sox -q -n -r 44100 -c 2 -t wav wav/Quietfall.MP3 synth 2 sine 300
case_dir ogg; sox -q -n -r 44100 -c 2 -t ogg ogg/Quietfall.MP3 synth 2 sine 300
case_dir png; convert -size 64x64 xc:teal png:png/Quietfall.MP3
case_dir random_bytes; head -c 500000 /dev/urandom > random_bytes/Quietfall.MP3
case_dir truncated; head -c $((tone_size / 2 + 77)) tone.mp3 > truncated/Quietfall.MP3
case_dir garbage_inside
{ head -c $((tone_size / 3)) tone.mp3; head -c 20000 /dev/urandom; tail -c +$((tone_size / 3 + 1)) tone.mp3; } > garbage_inside/Quietfall.MP3
case_dir very_large; cp tone.mp3 very_large/Quietfall.MP3; truncate -s 3G very_large/Quietfall.MP3

for name in directory empty few_bytes id3_only wav ogg png random_bytes; do expect_error "$name"; done
for name in truncated garbage_inside very_large; do expect_play "$name"; done

# A file the demo may not read. Root reads anything, so then the demo runs as
# nobody (the test's X server takes any local client).
case_dir unreadable; cp tone.mp3 unreadable/Quietfall.MP3; chmod 000 unreadable/Quietfall.MP3
if [ "$(id -u)" -eq 0 ]; then
  chmod 755 "$work"
  run_as=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
fi
expect_error unreadable
echo "PASS"
