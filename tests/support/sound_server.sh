# A sound server of the caller's own, sourced by the tests and the benchmarks
# that play through one: PulseAudio, or PipeWire with its pulse server and
# WirePlumber on a session bus of its own, as the user's daemons in the
# private XDG_RUNTIME_DIR the caller has set, with a null sink as the default.
#   start_sound_server pulseaudio|pipewire SINK LOG   (status 1: it did not start)
#   stop_sound_server
sound_server_pids=()

start_sound_server() {  # kind sink log
  local kind=$1 sink=$2 log=$3
  unset DBUS_SESSION_BUS_ADDRESS PULSE_SERVER
  if [ "$kind" = pulseaudio ]; then
    pulseaudio -n --daemonize=no --exit-idle-time=-1 --use-pid-file=no --log-target=stderr \
      -L "module-null-sink sink_name=$sink rate=44100" -L module-native-protocol-unix 2>> "$log" &
    sound_server_pids+=($!)
  else
    dbus-daemon --session --address="unix:path=$XDG_RUNTIME_DIR/bus" --nofork --nopidfile 2>> "$log" &
    sound_server_pids+=($!)
    export DBUS_SESSION_BUS_ADDRESS=unix:path=$XDG_RUNTIME_DIR/bus
    for _ in $(seq 50); do [ -S "$XDG_RUNTIME_DIR/bus" ] && break; sleep 0.1; done
    # WirePlumber and the pulse server give up at once ("Failed to connect to
    # PipeWire") if PipeWire is not listening yet: they start once it is.
    pipewire >> "$log" 2>&1 &
    sound_server_pids+=($!)
    for _ in $(seq 100); do [ -S "$XDG_RUNTIME_DIR/pipewire-0" ] && break; sleep 0.05; done
    for daemon in wireplumber pipewire-pulse; do
      "$daemon" >> "$log" 2>&1 &
      sound_server_pids+=($!)
    done
  fi
  for _ in $(seq 100); do pactl info > /dev/null 2>&1 && break; sleep 0.1; done
  if [ "$kind" = pipewire ]; then
    pactl load-module module-null-sink sink_name="$sink" > /dev/null 2>> "$log" || return 1
  fi
  # WirePlumber takes a moment before it lets the default sink be set, and
  # another before the server reports the new default.
  for _ in $(seq 50); do
    pactl set-default-sink "$sink" 2> /dev/null && [ "$(pactl get-default-sink 2>> "$log")" = "$sink" ] && return 0
    sleep 0.1
  done
  return 1
}

stop_sound_server() {
  [ ${#sound_server_pids[@]} -gt 0 ] && kill "${sound_server_pids[@]}" 2> /dev/null &&
    wait "${sound_server_pids[@]}" 2> /dev/null
  sound_server_pids=()
}
