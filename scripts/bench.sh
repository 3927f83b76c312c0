#!/bin/bash
# Measures what a viewer feels and what the demo costs, and prints one table:
# each row a figure, its target (when there is one) and whether it is met.
#   scripts/bench.sh [--smoke] [--build DIR]
# It builds what it needs in DIR (default build-bench), runs the X parts on an
# Xvfb of its own and the A/V offset through a PulseAudio of its own.
# docs/benchmarks.md says what each figure means and holds this machine's.
# --smoke runs everything briefly (CI runs it so that it cannot rot): the
# figures then say little, and the clean builds are left out.
set -u
cd "$(dirname "$0")/.."
root=$PWD
arguments=("$@")
build=$root/build-bench
smoke=0
while [ $# -gt 0 ]; do
  case $1 in
    --smoke) smoke=1 ;;
    --build) build=$(realpath -m "$2"); shift ;;
    *) echo "usage: scripts/bench.sh [--smoke] [--build DIR]" >&2; exit 2 ;;
  esac
  shift
done

if [ "$smoke" -eq 1 ]; then
  frame_fps=5 count_fps=1 count_frames=1 count_size=160x120 clock_s=8 av_s=10 startup_runs=3 run_s=4
  capture_small_ms=1000 capture_large_ms=500 web_show=(--seconds 8) web_pipewire=chromium
else
  frame_fps=60 count_fps=5 count_frames=3 count_size=800x600 clock_s=130 av_s=40 startup_runs=10 run_s=0
  capture_small_ms=30000 capture_large_ms=10000 web_show=() web_pipewire="chromium firefox"
fi

# Everything below needs an X server: the script runs itself again on one
# (tests/support/with_xvfb.sh tries again when it loses the race for a display).
if [ -z "${TIDEWASH_BENCH_ON_X:-}" ]; then
  scripts/install-deps.sh >&2 || exit 1
  echo "building in $build" >&2
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTIDEWASH_WERROR=ON > /dev/null || exit 1
  cmake --build "$build" -j 2 --target tidewash tidewash-capture soundtrack frame_bench clock_bench av_offset \
    startup_probe startup_launch run_measured allocation_tests tidewash_pack web_av_offset > /dev/null || exit 1
  tests/web/prepare.sh "$build/tools/pack/tidewash_pack" "$build/Quietfall.MP3" "$build/tests/web/site" > /dev/null || exit 1
  export TIDEWASH_BENCH_ON_X=1
  exec bash tests/support/with_xvfb.sh "$0" "${arguments[@]}"
fi
xdotool getdisplaygeometry > /dev/null 2>&1 || exit 75

bench=$build/bench
demo=$build/runtime/tidewash
capture=$build/capture/tidewash-capture
soundtrack=$build/Quietfall.MP3
work=$(mktemp -d /tmp/tidewash-bench-XXXXXX)
pulse_pid=""
pipewire_pids=""
cleanup() {
  [ -n "$pulse_pid" ] && kill "$pulse_pid" 2> /dev/null && wait "$pulse_pid" 2> /dev/null
  [ -n "$pipewire_pids" ] && kill $pipewire_pids 2> /dev/null
  rm -rf "$work"
}
trap cleanup EXIT
cp "$soundtrack" "$work/Quietfall.MP3"
cd "$work"
log=$work/log.txt
failed=0
rows=()

# row FIGURE MEASURED TARGET MET
row() { rows+=("$1|$2|$3|$4"); }
# A figure that could not be measured: the command fails at the end.
broken() { row "$1" "not measured: $2" "$3" "no"; failed=1; }
# met VALUE OP LIMIT: "yes" or "no" (OP as in awk).
met() { awk -v v="$1" -v l="$3" "BEGIN { print (v $2 l) ? \"yes\" : \"no\" }"; }
# field LINE NAME: the word after NAME in LINE.
field() { awk -v name="$2" '{ for (i = 1; i < NF; i++) if ($i == name) { print $(i + 1); exit } }' <<< "$1"; }
note() { echo "== $*" >&2; }

# 1. Frame cost per entry at 800 x 600, frames back to back on the virtual clock.
note "frame cost (frame_bench --fps $frame_fps)"
if "$bench/frame_bench" --fps "$frame_fps" --size 800x600 > frames.txt 2>> "$log"; then
  while read -r name _ frames _ fps _ mean _ p99 _ worst; do
    row "Frame cost, $name (800x600, llvmpipe, $frames frames at $frame_fps fps)" \
      "$fps fps, mean $mean ms, p99 $p99 ms, worst $worst ms" "p99 <= 16.7 ms (60 fps)" "$(met "$p99" '<=' 16.7)"
  done < frames.txt
else
  broken "Frame cost" "frame_bench failed" "p99 <= 16.7 ms (60 fps)"
fi

# 2. The demo's own share of the instructions of a frame, per entry.
note "own share (callgrind, $count_frames frames an entry at $count_size)"
if LP_NUM_THREADS=0 valgrind --tool=callgrind --instr-atstart=no --callgrind-out-file="$work/callgrind.out" \
    "$bench/frame_bench" --fps "$count_fps" --size "$count_size" --count-frames "$count_frames" \
    > /dev/null 2>> "$log" && ls callgrind.out.* > /dev/null 2>&1; then
  for dump in $(ls callgrind.out.* | sort -t. -k3 -n); do
    entry=${dump##*.}
    # Own code: functions of the benchmark's own object (the demo is linked
    # into it) except those of the harness (bench/) and the headless GL
    # (capture/); everything else is libGL, the driver and the C libraries.
    share=$(callgrind_annotate --inclusive=no --threshold=100 "$dump" | awk -v obj="[$bench/frame_bench]" '
      /PROGRAM TOTALS/ { gsub(",", "", $1); total = $1 }
      index($0, obj) && !/\/bench\/[A-Za-z]+\.(cpp|h):/ && !/\/capture\/[A-Za-z]+\.(cpp|h):/ {
        n = $1; gsub(",", "", n); own += n }
      END { if (total > 0) printf "%.2f %d %d", 100 * own / total, own, total }')
    read -r percent own total <<< "$share"
    if [ -n "$percent" ]; then
      row "Own share of a frame's instructions, entry $entry ($count_size, $count_frames frames)" \
        "$percent % ($own of $total)" "<= 2 %" "$(met "$percent" '<=' 2)"
    else
      broken "Own share, entry $entry" "no totals in $dump" "<= 2 %"
    fi
  done
else
  broken "Own share of a frame's instructions" "callgrind run failed" "<= 2 %"
fi

# 3. Heap allocations per frame, over the whole schedule with the recording GL.
note "allocations"
if "$build/tests/scenes/allocation_tests" > allocations.txt 2>&1; then
  frames=$(awk '/^entry/ { sum += $3 } END { print sum + 0 }' allocations.txt)
  count=$(awk '/^entry/ { sum += $5 } END { print sum + 0 }' allocations.txt)
  row "Heap allocations in frames (all 8 entries, recording GL)" "$count in $frames frames" "0" "$(met "$count" '==' 0)"
else
  count=$(awk '/^entry/ { sum += $5 } END { print sum + 0 }' allocations.txt)
  row "Heap allocations in frames (all 8 entries, recording GL)" "$count (the test failed)" "0" "no"
fi

# 4. Start-up: process start to the first frame shown, under Xvfb.
startup() {  # label driver
  note "start-up ($1)"
  : > startup.txt
  for _ in $(seq "$startup_runs"); do
    SDL_AUDIODRIVER=$2 "$bench/startup_launch" "$bench/libstartup_probe.so" "$demo" 2>&1 | grep '^startup_ms' >> startup.txt
  done
  if [ -s startup.txt ]; then
    median=$(sort -t' ' -k3 -n startup.txt | sed -n "$(( ($(wc -l < startup.txt) + 1) / 2 ))p")
    total=$(field "$median" total)
    parts=$(sed 's/^startup_ms total [0-9.]* //' <<< "$median")
    row "Start-up to the first frame shown, $1 (median of $(wc -l < startup.txt))" \
      "$total ms: $parts" "<= 100 ms" "$(met "$total" '<=' 100)"
  else
    broken "Start-up, $1" "the probe wrote nothing" "<= 100 ms"
  fi
}
startup "SDL dummy audio" dummy

# 5. The music clock over a real-time run: with SDL's dummy driver (the
# targets), and through PulseAudio below (for comparison).
clock_rows() {  # driver label
  note "clock quality ($2, ${clock_s} s)"
  local line excess drift
  line=$(SDL_AUDIODRIVER=$1 "$bench/clock_bench" "$soundtrack" "$clock_s" 2>> "$log")
  if [ -z "$(field "$line" decreases)" ]; then
    broken "Clock quality, $2" "clock_bench failed: $line" "see rows"
    return
  fi
  local what="$2, ${clock_s} s, $(field "$line" frames) frames"
  row "Clock: position decreases ($what)" "$(field "$line" decreases)" "0" "$(met "$(field "$line" decreases)" '==' 0)"
  excess=$(field "$line" largest_excess_ms)
  row "Clock: largest step beyond the time between two frames ($2)" \
    "$excess ms at $(field "$line" at_position_ms) ms (largest step $(field "$line" largest_step_ms) ms, frames every $(field "$line" interval_ms) ms)" \
    "<= 2 ms" "$(met "$excess" '<=' 2)"
  drift=$(field "$line" drift_ms_per_min)
  row "Clock: drift against the steady clock ($2)" \
    "$drift ms per minute (first moved $(field "$line" first_moved_ms) ms after the start)" \
    "within +-1 ms per minute" "$(met "${drift#-}" '<=' 1)"
  row "Clock: underruns before the music's end ($2)" "$(field "$line" underruns)" "0" \
    "$(met "$(field "$line" underruns)" '==' 0)"
}
clock_rows dummy "dummy driver"

# The web page in a browser playing into the null sink "bench" of the sound
# server at hand: the offset between its pictures and its sound, and (the
# first time for each browser) its frames per second per entry.
#   web_rows BROWSER SERVER
web_rows() {
  note "web page in $1 through $2"
  local out line
  out=$(cd "$root/tests/web" && TIDEWASH_BROWSER=$1 node benchmark.js "$build/tests/web/site" "${web_show[@]}" \
    --sink bench --matcher "$bench/web_av_offset" --soundtrack "$soundtrack" 2>> "$log")
  echo "$out" >> "$log"
  line=$(grep '^offset_ms' <<< "$out")
  if [ -n "$line" ]; then
    local offset spread interval
    offset=$(field "$line" offset_ms) spread=$(field "$line" spread) interval=$(field "$line" interval_ms)
    row "Web page A/V offset, sound after picture ($1, $2, median of $(field "$line" frames) frames)" \
      "$offset ms, spread $spread ms ($(field "$line" p5) to $(field "$line" p95)) against frames every $interval ms; drawn $(field "$line" drawn_offset_ms) ms; $(field "$line" unknown) frames not placed" \
      "within +-5 ms, spread <= one frame" \
      "$( [ "$(met "${offset#-}" '<=' 5)" = yes ] && [ "$(met "$spread" '<=' "$interval")" = yes ] && echo yes || echo no)"
  else
    broken "Web page A/V offset ($1, $2)" "$(tail -n 1 <<< "$out")" "within +-5 ms"
  fi
  if [ "$2" = PulseAudio ]; then
    line=$(grep '^fps_per_entry' <<< "$out")
    if [ -n "$line" ]; then
      row "Web page frames per second of music, per entry ($1, 800x600)" \
        "${line#fps_per_entry } ($(grep '^The page wrote' <<< "$out" | sed 's/^The page wrote: //'))" "none set" "-"
    else
      broken "Web page frames per second ($1)" "no figures" "none set"
    fi
  fi
}

# 6. A/V offset through a PulseAudio of our own with a null sink.
note "A/V offset (${av_s} s through PulseAudio)"
export XDG_RUNTIME_DIR=$work/pulse HOME=$work/pulse
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
pulseaudio -n --daemonize=no --exit-idle-time=-1 --use-pid-file=no --log-target=stderr \
  -L "module-null-sink sink_name=bench rate=44100" -L module-native-protocol-unix 2>> "$log" &
pulse_pid=$!
for _ in $(seq 100); do pactl info > /dev/null 2>&1 && break; sleep 0.1; done
if pactl info > /dev/null 2>&1; then
  "$bench/av_offset" "$demo" "$soundtrack" "$av_s" bench > av.txt 2>> "$log"
  summary=$(grep '^offset_ms' av.txt)
  if [ -n "$summary" ]; then
    offset=$(field "$summary" offset_ms)
    row "A/V offset, sound after position (PulseAudio null sink, median of $(field "$summary" presses) presses)" \
      "$offset ms (min $(field "$summary" min), max $(field "$summary" max), $(field "$summary" unmatched) unmatched; sink played at $(field "$summary" sink_rate_hz) Hz)" \
      "within +-5 ms" "$(met "${offset#-}" '<=' 5)"
  else
    broken "A/V offset" "$(tail -n 1 av.txt)" "within +-5 ms"
  fi
  startup "PulseAudio" pulse
  clock_rows pulse "PulseAudio, for comparison"
  web_rows chromium PulseAudio
  web_rows firefox PulseAudio
else
  broken "A/V offset" "PulseAudio did not start" "within +-5 ms"
fi
kill "$pulse_pid" 2> /dev/null; wait "$pulse_pid" 2> /dev/null; pulse_pid=""

# The web page's A/V offset again through PipeWire (its PulseAudio server,
# wireplumber, and a session bus for them), with a null sink of the same name.
note "PipeWire"
export XDG_RUNTIME_DIR=$work/pipewire HOME=$work/pipewire
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
export DBUS_SESSION_BUS_ADDRESS=unix:path=$XDG_RUNTIME_DIR/bus
dbus-daemon --session --nofork --address="$DBUS_SESSION_BUS_ADDRESS" 2>> "$log" &
pipewire_pids=$!
for _ in $(seq 50); do [ -S "$XDG_RUNTIME_DIR/bus" ] && break; sleep 0.1; done
for server in pipewire wireplumber pipewire-pulse; do
  "$server" 2>> "$log" &
  pipewire_pids="$! $pipewire_pids"
done
for _ in $(seq 100); do pactl info > /dev/null 2>&1 && break; sleep 0.1; done
# wireplumber takes a moment before it lets the default sink be set.
default_sink() {
  for _ in $(seq 50); do pactl set-default-sink bench 2> /dev/null && return 0; sleep 0.1; done
  return 1
}
if pactl load-module module-null-sink sink_name=bench rate=44100 channels=2 > /dev/null 2>> "$log" && default_sink; then
  for browser in $web_pipewire; do web_rows "$browser" PipeWire; done
else
  broken "Web page A/V offset through PipeWire" "PipeWire did not start" "within +-5 ms"
fi
kill $pipewire_pids 2> /dev/null; wait $pipewire_pids 2> /dev/null; pipewire_pids=""
unset XDG_RUNTIME_DIR DBUS_SESSION_BUS_ADDRESS

# 7. Size, memory and build.
note "size and memory"
row "Binary size of tidewash (stripped)" \
  "$(stat -c %s "$demo") bytes ($(strip -o stripped "$demo" && stat -c %s stripped) stripped)" "none set" "-"
if [ "$run_s" -eq 0 ]; then
  SDL_AUDIODRIVER=dummy "$bench/run_measured" "$demo" > /dev/null 2> run.txt
  what="whole run"
else
  SDL_AUDIODRIVER=dummy "$bench/run_measured" "$demo" > /dev/null 2> run.txt &
  sleep "$run_s"
  xdotool search --name "Vorn Tidewash Demo v 0.3" windowfocus --sync key Escape > /dev/null 2>&1
  wait
  what="${run_s} s run"
fi
rss=$(field "$(grep '^run_measured' run.txt)" peak_rss_kb)
if [ -n "$rss" ]; then row "Peak resident memory, $what" "$rss kB" "none set" "-"; else broken "Peak memory" "no figure" "none set"; fi
if [ "$smoke" -eq 0 ]; then
  for target in tidewash all; do
    note "clean build ($target)"
    rm -rf "$work/clean"
    cmake -S "$root" -B "$work/clean" -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null 2>> "$log"
    start=$(date +%s.%N)
    if cmake --build "$work/clean" -j 2 --target "$target" > /dev/null 2>> "$log"; then
      row "Clean build on 2 cores, $( [ $target = all ] && echo everything || echo 'the demo alone')" \
        "$(awk -v s="$start" -v e="$(date +%s.%N)" 'BEGIN { printf "%.0f s", e - s }')" "none set" "-"
    else
      broken "Clean build, $target" "the build failed" "none set"
    fi
  done
  rm -rf "$work/clean"
else
  row "Clean build on 2 cores" "not measured in a smoke run" "none set" "-"
fi

# 8. Capture throughput, against real time and against ffmpeg alone encoding
# the same frames from a raw file with the capture's settings.
capture_rows() {  # size ms
  local size=$1 ms=$2 seconds
  seconds=$(awk -v m="$2" 'BEGIN { print m / 1000 }')
  note "capture $size, $seconds s"
  for out in frames video.mp4; do
    rm -rf "$out"
    "$bench/run_measured" "$capture" --fps 60 --size "$size" --from 0 --to "$ms" --out "$out" \
      --soundtrack Quietfall.MP3 --force --quiet 2> capture.txt
    local wall
    wall=$(field "$(grep '^run_measured' capture.txt)" wall_ms)
    if [ "$(field "$(grep '^run_measured' capture.txt)" status)" != 0 ]; then
      broken "Capture $size to $out" "$(head -n 1 capture.txt)" "none set"
      return
    fi
    eval "wall_${out%%.*}=$wall"
  done
  local frames
  frames=$(ls frames | wc -l)
  ffmpeg -nostdin -loglevel error -i frames/frame-%06d.png -f rawvideo -pix_fmt rgb24 -y raw.rgb
  "$bench/run_measured" ffmpeg -nostdin -loglevel error -y -f rawvideo -pix_fmt rgb24 -video_size "$size" \
    -framerate 60 -i raw.rgb -c:v libx264 -preset veryfast -crf 18 -pix_fmt yuv420p -f mp4 alone.mp4 2> ffmpeg.txt
  local wall_ffmpeg
  wall_ffmpeg=$(field "$(grep '^run_measured' ffmpeg.txt)" wall_ms)
  rm -rf frames raw.rgb video.mp4 alone.mp4
  local png_fps mp4_fps real_mp4 vs_ffmpeg
  png_fps=$(awk -v f="$frames" -v w="$wall_frames" 'BEGIN { printf "%.1f", f / (w / 1000) }')
  mp4_fps=$(awk -v f="$frames" -v w="$wall_video" 'BEGIN { printf "%.1f", f / (w / 1000) }')
  real_mp4=$(awk -v s="$seconds" -v w="$wall_video" 'BEGIN { printf "%.2f", s / (w / 1000) }')
  vs_ffmpeg=$(awk -v a="$wall_video" -v b="$wall_ffmpeg" 'BEGIN { printf "%.2f", a / b }')
  row "Capture to PNG, $size ($frames frames)" \
    "$png_fps fps, $(awk -v s="$seconds" -v w="$wall_frames" 'BEGIN { printf "%.2f", s / (w / 1000) }') x real time" \
    "none set" "-"
  if [ "$size" = 800x600 ]; then
    row "Capture to MP4, $size ($frames frames)" "$mp4_fps fps, $real_mp4 x real time" ">= 1 x real time" \
      "$(met "$real_mp4" '>=' 1)"
    row "Capture to MP4, $size, time against ffmpeg alone" "$vs_ffmpeg x (ffmpeg alone: $wall_ffmpeg ms)" "<= 1.15 x" \
      "$(met "$vs_ffmpeg" '<=' 1.15)"
  else
    row "Capture to MP4, $size ($frames frames)" \
      "$mp4_fps fps, $real_mp4 x real time, $vs_ffmpeg x ffmpeg alone ($wall_ffmpeg ms)" "none set" "-"
  fi
}
capture_rows 800x600 "$capture_small_ms"
capture_rows 1920x1080 "$capture_large_ms"

# The table.
echo
echo "Tidewash benchmarks ($( [ "$smoke" -eq 1 ] && echo 'smoke run: short durations, figures not meaningful' || echo 'full run'); $(nproc) cores, load average $(cut -d' ' -f1-3 /proc/loadavg) at the end)"
echo
echo "| Figure | Measured | Target | Met |"
echo "|---|---|---|---|"
for entry in "${rows[@]}"; do
  IFS='|' read -r figure measured target ok <<< "$entry"
  echo "| $figure | $measured | $target | $ok |"
done
if [ "$failed" -ne 0 ]; then
  echo
  echo "Some figures could not be measured; the log follows."
  tail -n 40 "$log"
fi
exit "$failed"
