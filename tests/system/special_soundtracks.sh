#!/bin/bash
# A Quietfall.MP3 that is a FIFO, a socket or a terminal. One that gives
# nothing to read (a FIFO with no writer, or with a writer that writes nothing,
# a socket, a terminal nobody types into) is a soundtrack that cannot be
# opened: the error line and exit status 1 within a few seconds, where a plain
# open of the FIFO would wait for ever. A FIFO that a writer feeds plays, and
# when its writer stalls the frames keep coming.
. "$(dirname "$0")/common.sh"
hold_special_file=$3
swap_log=$4

error_line='ERROR: Cannot find file quietfall.mp3!'
"$make_tone" 5 tone.mp3 || fail "cannot make a tone"
holders=()
trap 'kill "${holders[@]}" 2>/dev/null; rm -rf "$work"' EXIT

# Runs the demo in directory $1; expects the error line and status 1, and an
# end within 5 s of the start (the demo waits a second for data).
expect_error() {
  local started ended status
  started=$(date +%s%N)
  (cd "$1" && timeout 20 "$demo" > out.txt 2> err.txt)
  status=$?
  ended=$(date +%s%N)
  cp "$1/out.txt" out.txt; cp "$1/err.txt" err.txt
  [ "$status" -ne 124 ] || fail "$1: the demo hung"
  [ "$status" -eq 1 ] || fail "$1: exit status $status, expected 1"
  [ "$(cat out.txt)" = "$error_line" ] || fail "$1: expected only the error line"
  local took_ms=$(( (ended - started) / 1000000 ))
  [ "$took_ms" -le 5000 ] || fail "$1: took $took_ms ms to give up"
  echo "ok: $1 gives the error line after $took_ms ms"
}

# Starts hold_special_file for kind $1 at path $2 and waits until it is ready.
hold() {
  "$hold_special_file" "$1" "$2" > "$2.ready" &
  holders+=($!)
  for _ in $(seq 50); do
    grep -q ready "$2.ready" 2>/dev/null && return 0
    sleep 0.1
  done
  fail "cannot make a $1 at $2"
}

mkdir no_writer idle_writer socket terminal fed stalled
mkfifo no_writer/Quietfall.MP3 idle_writer/Quietfall.MP3 fed/Quietfall.MP3 stalled/Quietfall.MP3
expect_error no_writer

# The test holds the FIFO open for writing (read-write opens without waiting)
# and writes nothing.
exec 3<> idle_writer/Quietfall.MP3
expect_error idle_writer
exec 3>&-

hold socket socket/Quietfall.MP3
[ -S socket/Quietfall.MP3 ] || fail "socket/Quietfall.MP3 is not a socket"
expect_error socket

hold terminal terminal/Quietfall.MP3
[ -c terminal/Quietfall.MP3 ] || fail "terminal/Quietfall.MP3 is not a character device"
expect_error terminal

# A writer feeds the FIFO: the music plays. The tone is larger than a pipe
# holds, so the writer ends well only when the demo has read the music.
cat tone.mp3 > fed/Quietfall.MP3 &
writer=$!
holders+=($writer)
cd fed
space_until_then_escape 2500
status=$?
cp out.txt err.txt "$work"
cd "$work"
[ "$status" -eq 0 ] || fail "fed: exit status $status, expected 0"
position=$(tail -n 2 out.txt | head -n 1)
[[ "$position" =~ ^[0-9]+$ ]] && [ "$position" -ge 2500 ] || fail "fed: the clock did not run ($position)"
[[ "$(tail -n 1 out.txt)" =~ ^FPS:\ [0-9]+$ ]] || fail "fed: no 'FPS: ' line"
timeout 10 tail --pid="$writer" -f /dev/null
kill -0 "$writer" 2>/dev/null && fail "fed: the writer is still waiting: the demo did not read the music"
wait "$writer"
writer_status=$?
[ "$writer_status" -eq 0 ] || fail "fed: the writer ended with status $writer_status: the demo did not read the music"
echo "ok: fed plays, to position $position, the writer's $(stat -c %s tone.mp3) bytes all read"

# A writer feeds the FIFO at playing speed (the tone is 128 kbit/s: 1600
# bytes every 100 ms), stalls for 4 s after 2 s, then feeds on, as a slow
# network share would. The music ends a second into the stall and the show
# plays on in silence; the frames must keep coming throughout. The swaps are
# logged from outside the demo by a preloaded wrapper.
(
  exec 4> stalled/Quietfall.MP3
  for chunk in $(seq 0 $(( $(stat -c %s tone.mp3) / 1600 ))); do
    [ "$chunk" -eq 20 ] && sleep 4
    dd if=tone.mp3 bs=1600 skip="$chunk" count=1 status=none >&4 || exit 0
    sleep 0.1
  done
) &
holders+=($!)
cd stalled
space_until_then_escape 8000 env LD_PRELOAD="$swap_log" TIDEWASH_SWAP_LOG="$work/swaps.txt"
status=$?
cp out.txt err.txt "$work"
cd "$work"
[ "$status" -eq 0 ] || fail "stalled: exit status $status, expected 0"
position=$(tail -n 2 out.txt | head -n 1)
[[ "$(tail -n 1 out.txt)" =~ ^FPS:\ [0-9]+$ ]] || fail "stalled: no 'FPS: ' line"
frames=$(wc -l < swaps.txt)
[ "$frames" -ge 100 ] || fail "stalled: only $frames frames logged"
gap_ms=$(awk 'NR > 1 && $1 - last > gap { gap = $1 - last } { last = $1 } END { printf "%d", gap / 1000 }' swaps.txt)
[ "$gap_ms" -le 100 ] || fail "stalled: $gap_ms ms between two frames"
echo "ok: stalled plays on to position $position, $frames frames, at most $gap_ms ms between two"
echo "PASS"
