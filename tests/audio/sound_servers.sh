#!/bin/bash
# The audio layer through real sound servers: PulseAudio, and PipeWire with its
# pulse server and WirePlumber, each started here as the user's daemons in a
# private XDG_RUNTIME_DIR (PipeWire with a session bus of its own) with a null
# sink, PipeWire's graph forced to cycles of 2048 frames (the longest a
# desktop runs at, and the one the heard position must take off). The
# playback test plays a tone through each; the sink's monitor must hear it,
# from the audio layer's own stream, while the position moves on steadily.
#   sound_servers.sh AUDIO_PLAYBACK_TESTS
set -u
tests=$1
work=$(mktemp -d /tmp/tidewash-servers-XXXXXX)
. "$(dirname "$0")/../support/sound_server.sh"
pids=()
trap 'kill "${pids[@]}" 2> /dev/null; stop_sound_server; rm -rf "$work"' EXIT
fail() {
  echo "FAIL: $*"
  tail -n 20 "$run/log.txt" "$run/test.txt" 2> /dev/null
  exit 1
}

for server in pulseaudio pipewire; do
  run=$work/$server
  mkdir -p "$run/runtime" "$run/home"
  chmod 700 "$run/runtime"
  export XDG_RUNTIME_DIR=$run/runtime HOME=$run/home
  start_sound_server "$server" check "$run/log.txt" || fail "$server did not start with the null sink as default"
  if [ "$server" = pipewire ]; then
    pw-metadata -n settings 0 clock.force-quantum 2048 > /dev/null 2>> "$run/log.txt" || fail "the cycle could not be forced"
  fi
  parec --raw --format=s16le --rate=44100 --channels=2 --latency-msec=20 -d check.monitor > "$run/heard.raw" 2>> "$run/log.txt" &
  recorder=$!
  pids+=($recorder)
  for _ in $(seq 100); do [ -s "$run/heard.raw" ] && break; sleep 0.05; done
  ( for _ in $(seq 100); do
      pactl list sink-inputs 2> /dev/null | grep -q 'application.name = "Tidewash"' && { touch "$run/seen"; exit; }
      sleep 0.05
    done ) &
  watcher=$!
  "$tests" --gtest_filter='AudioPlayback.ThroughASoundServer*' > "$run/test.txt" 2>&1
  status=$?
  wait "$watcher"
  # What the sink played last reaches the recorder a moment later.
  for _ in $(seq 25); do
    loud=$(od -An -v -td2 -w2 "$run/heard.raw" | awk '$1 > 3000 || $1 < -3000 { n++ } END { print n + 0 }')
    [ "$loud" -ge 88200 ] && break
    sleep 0.2
  done
  kill "$recorder"
  [ "$status" -eq 0 ] || fail "$server: the playback test failed"
  grep -q '^\[  PASSED  \] 1 test' "$run/test.txt" || fail "$server: the playback test did not run"
  [ -e "$run/seen" ] || fail "$server: no stream of the audio layer's own reached the server"
  [ "$loud" -ge 88200 ] || fail "$server: the sink heard $loud loud samples of the tone"
  echo "ok: $server played the tone ($loud loud samples at the sink)"
  stop_sound_server
done
echo "PASS"
