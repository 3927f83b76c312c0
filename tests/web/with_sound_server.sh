#!/bin/bash
# Runs a browser test with sound through a sound server of its own
# (tests/support/sound_server.sh: PulseAudio, or PipeWire with its pulse
# server) in a private XDG_RUNTIME_DIR, its null sink the default, while
# parec records the sink's monitor into RECORDING (raw s16le, 44100 Hz,
# stereo) for the test to listen to.
#   with_sound_server.sh pulseaudio|pipewire RECORDING COMMAND ARGS...
kind=$1 recording=$2
shift 2
XDG_RUNTIME_DIR=$(mktemp -d "${TMPDIR:-/tmp}/tidewash-sound.XXXXXX")
export XDG_RUNTIME_DIR
. "$(dirname "$0")/../support/sound_server.sh"
log=$XDG_RUNTIME_DIR/server.log
if ! start_sound_server "$kind" tidewash "$log"; then
  cat "$log" >&2
  echo "with_sound_server.sh: $kind did not start" >&2
  stop_sound_server
  exit 1
fi
parec --device=tidewash.monitor --format=s16le --rate=44100 --channels=2 --latency-msec=20 > "$recording" &
recorder=$!
"$@"
status=$?
kill "$recorder" 2> /dev/null
wait "$recorder" 2> /dev/null
stop_sound_server
rm -rf "$XDG_RUNTIME_DIR"
exit "$status"
