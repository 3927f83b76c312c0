#!/bin/bash
# Short runs of tidewash.exe under Wine: the missing soundtrack gives the one
# error line and exit status 1; through a sound server, the tone is heard,
# Space writes growing positions and Escape ends with the frame rate; with
# SDL's silent audio driver, odd soundtracks (truncated, random bytes, 8 kHz
# mono, VBR, 48 kHz) each play or give the error line, never a crash or a
# hang.
. "$(dirname "$0")/common.sh"
error_line='ERROR: Cannot find file quietfall.mp3!'

timeout 60 wine "$exe" > out.txt 2> err.txt
status=$?
[ "$status" -eq 1 ] || fail "missing soundtrack: exit status $status, expected 1"
[ "$(lines)" = "$error_line" ] || fail "missing soundtrack: stdout is not exactly the error line"
echo "ok: the missing soundtrack gives the error line"

# Through a PulseAudio server of the test's own (WASAPI through Wine's
# driver): Space until 2 s in, a second of the null sink's monitor holds the
# tone, then Escape.
. "$(dirname "$0")/../support/sound_server.sh"
mkdir -m 700 pulse
saved_home=$HOME
export XDG_RUNTIME_DIR=$work/pulse HOME=$work/pulse
start_sound_server pulseaudio check "$work/pulse.txt" || fail "PulseAudio did not start: $(tail -n 5 pulse.txt)"
"$make_tone" 20 Quietfall.MP3 || fail "cannot make the soundtrack"
unset SDL_AUDIODRIVER
wine "$exe" > out.txt 2> err.txt &
pid=$!
window=$(demo_window)
[ -n "$window" ] || fail "no demo window appeared"
xdotool windowfocus --sync "$window"
space_until 2000 "$pid"
timeout 10 parec -d check.monitor --raw --format=s16le --channels=1 --rate=44100 | head -c 88200 > heard.raw
peak=$(sox -t raw -r 44100 -e signed -b 16 -c 1 heard.raw -n stat 2>&1 | awk '/Maximum amplitude/ { print $3 }')
xdotool key Escape
timeout 20 tail --pid="$pid" -f /dev/null
kill -0 "$pid" 2>/dev/null && { kill "$pid"; fail "keys: the demo did not end on Escape"; }
wait "$pid"
status=$?
stop_sound_server
export HOME=$saved_home
unset XDG_RUNTIME_DIR
[ "$status" -eq 0 ] || fail "keys: exit status $status, expected 0"
[ "$(stat -c %s heard.raw)" -eq 88200 ] && [ "$(echo "${peak:-0} > 0.1" | bc -l)" -eq 1 ] ||
  fail "the sink heard no tone (peak ${peak:-none})"
count=$(lines | wc -l)
[ "$count" -ge 2 ] || fail "keys: expected positions and then the frame rate"
lines | head -n $((count - 1)) | grep -qvE '^(0|[1-9][0-9]*)$' && fail "keys: a position line is not digits only"
lines | head -n $((count - 1)) | sort -c -n || fail "keys: the positions do not grow"
[[ "$(lines | tail -n 1)" =~ ^FPS:\ [0-9]+$ ]] || fail "keys: the last line is not 'FPS: ' and digits"
echo "ok: the tone reaches PulseAudio (peak $peak), Space writes positions, Escape the frame rate"
export SDL_AUDIODRIVER=dummy

# Random bytes give the error line; the other odd soundtracks play, and the
# clock runs past the short music (Space until 2.5 s in, then Escape).
"$make_tone" 1.5 tone.mp3 || fail "cannot make a tone"
sox -q -n -r 8000 -c 1 mono8k.wav synth 1.5 sine 440
sox -q -n -r 48000 -c 2 rate48k.wav synth 1.5 sine 440
lame --quiet -m m mono8k.wav mono8k.mp3 && lame --quiet rate48k.wav rate48k.mp3 &&
  lame --quiet -V 2 rate48k.wav vbr.mp3 || fail "cannot encode the odd soundtracks"
head -c $(($(stat -c %s tone.mp3) / 2 + 77)) tone.mp3 > truncated.mp3
head -c 500000 /dev/urandom > random.mp3
cp random.mp3 Quietfall.MP3
timeout 60 wine "$exe" > out.txt 2> err.txt
status=$?
[ "$status" -eq 1 ] && [ "$(lines)" = "$error_line" ] || fail "random bytes: exit status $status, not the error line"
echo "ok: random bytes give the error line"
for name in truncated mono8k vbr rate48k; do
  cp "$name.mp3" Quietfall.MP3
  space_until_then_escape 2500 wine
  status=$?
  [ "$status" -eq 0 ] || fail "$name: exit status $status, expected 0"
  position=$(lines | tail -n 2 | head -n 1)
  [[ "$position" =~ ^[0-9]+$ ]] && [ "$position" -ge 2500 ] || fail "$name: the clock did not run on ($position)"
  [[ "$(lines | tail -n 1)" =~ ^FPS:\ [0-9]+$ ]] || fail "$name: no 'FPS: ' line"
  echo "ok: $name plays on past the music, to $position ms"
done
echo "PASS"
