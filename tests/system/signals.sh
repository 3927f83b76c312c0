#!/bin/bash
# SIGINT and SIGTERM end the demo like Escape: the "FPS: " line and exit
# status 0, on both SDL 1.2 libraries.
. "$(dirname "$0")/common.sh"
. "$(dirname "$0")/sdl_library.sh"

"$make_tone" 20 Quietfall.MP3 || fail "cannot make the soundtrack"
for name in classic compat; do
  use_library "$name"
  for signal in INT TERM; do
    # A job that bash starts in the background ignores SIGINT; a viewer's
    # demo in a terminal does not, so the demo starts with the default.
    env --default-signal=INT "$demo" > out.txt 2> err.txt &
    pid=$!
    [ -n "$(demo_window)" ] || fail "$name: no demo window appeared"
    check_library "$pid"
    sleep 1
    kill -s "$signal" "$pid"
    timeout 20 tail --pid="$pid" -f /dev/null
    kill -0 "$pid" 2>/dev/null && { kill -s KILL "$pid"; fail "$name: the demo did not end on SIG$signal"; }
    wait "$pid"
    status=$?
    [ "$status" -eq 0 ] || fail "$name: exit status $status after SIG$signal, expected 0"
    [[ "$(cat out.txt)" =~ ^FPS:\ [0-9]+$ ]] || fail "$name: the output after SIG$signal is not just the 'FPS: ' line"
    echo "ok: SIG$signal ends the demo on the $name SDL 1.2: $(cat out.txt)"
  done
done
echo "PASS"
