#!/bin/bash
# Measures what a viewer feels and what the demo costs, and prints one table:
# each row a figure, its target (when there is one) and whether it is met.
#   scripts/bench.sh [--smoke] [--capture | --sound] [--build DIR [--built]] [--plots DIR]
# It builds what it needs in DIR (default build-bench; --built: DIR is built
# already, web page included, as ctest leaves it), runs the X parts on an
# Xvfb of its own and the A/V offset and the clock through a PulseAudio and a
# PipeWire of its own.
# docs/benchmarks.md says what each figure means and holds this machine's.
# --smoke runs everything briefly (CI runs it so that it cannot rot): the
# figures then say little, and the clean builds are left out. --capture
# measures the capture program alone (section 8), --sound the music clock,
# the A/V offsets and the frames with a stalling soundtrack alone (sections 5
# to 6b). After the table it draws the run's series (frame times, A/V
# offsets, the clock's position) as PNG pictures in --plots DIR (default:
# bench-plots in the build DIR), the series themselves in its series/.
set -u
cd "$(dirname "$0")/.."
root=$PWD
arguments=("$@")
build=$root/build-bench
smoke=0
capture_only=0
sound_only=0
built=0
plots=""
while [ $# -gt 0 ]; do
  case $1 in
    --smoke) smoke=1 ;;
    --capture) capture_only=1 ;;
    --sound) sound_only=1 ;;
    --build) build=$(realpath -m "$2"); shift ;;
    --built) built=1 ;;
    --plots) plots=$(realpath -m "$2"); shift ;;
    *) echo "usage: scripts/bench.sh [--smoke] [--capture | --sound] [--build DIR [--built]] [--plots DIR]" >&2
       echo "  pictures of the run's series go to --plots DIR (default: bench-plots in the build DIR)" >&2
       exit 2 ;;
  esac
  shift
done
plots=${plots:-$build/bench-plots}

# The smoke run takes every benchmark once, briefly: the demo's A/V offset
# through each server (mpv, the reference player, only in the full run), the
# start-up and the clock through PulseAudio alone, the web page in chromium
# in silence and for 5 s through PipeWire (its A/V's first places are 2 s
# in), one short play of Firefox's freeze count through PulseAudio, two of
# the captures.
if [ "$smoke" -eq 1 ]; then
  frame_fps=1 count_fps=1 count_frames=1 count_size=160x120 clock_s=2 av_s=4 av_readings=2 av_quanta=2048
  av_references=0 startup_runs=1 run_s=2 stall_run_s=2 stall_after_s=1 stall_s=1 clock_servers=pulseaudio
  capture_whole_ms=200 capture_part_ms=100 capture_large_ms=100 web_show=(--seconds 2)
  web_av_show=(--seconds 5) web_pulseaudio="" web_pipewire=chromium web_quiet=chromium freeze_plays=1 freeze_s=2 freeze_servers=pulseaudio
else
  frame_fps=60 count_fps=5 count_frames=3 count_size=800x600 clock_s=130 av_s=30 av_readings=25
  av_quanta="256 1024 2048" av_references=1 startup_runs=10 run_s=0 stall_run_s=9 stall_after_s=2 stall_s=4
  clock_servers="pulseaudio pipewire"
  capture_whole_ms=123569 capture_part_ms=20000 capture_large_ms=10000 web_show=()
  web_av_show=() web_pulseaudio="chromium firefox" web_pipewire="chromium firefox" web_quiet="" freeze_plays=30 freeze_s=20
  freeze_servers="pulseaudio pipewire"
fi

# Everything below needs an X server: the script runs itself again on one.
if [ -z "${TIDEWASH_BENCH_ON_X:-}" ] && [ "$built" -eq 0 ]; then
  scripts/install-deps.sh >&2 || exit 1
  echo "building in $build" >&2
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTIDEWASH_WERROR=ON > /dev/null || exit 1
  targets=(tidewash-capture soundtrack run_measured)
  [ "$capture_only" -eq 1 ] || targets+=(tidewash frame_bench clock_bench av_offset startup_probe startup_launch
    allocation_tests swap_log make_tone tidewash_pack sink_recorder web_av_offset)
  cmake --build "$build" -j 2 --target "${targets[@]}" > /dev/null || exit 1
  # tidewash.exe for the rows under Wine (full runs only).
  if [ "$smoke" -eq 0 ] && [ "$capture_only" -eq 0 ]; then
    TIDEWASH_HOST_TOOLS=$build scripts/windows.sh > /dev/null || echo "scripts/windows.sh failed: no rows under Wine" >&2
  fi
  [ "$capture_only" -eq 1 ] ||
    tests/web/prepare.sh "$build/tools/pack/tidewash_pack" "$build/Quietfall.MP3" "$build/tests/web/site" > /dev/null || exit 1
fi
if [ -z "${TIDEWASH_BENCH_ON_X:-}" ]; then
  export TIDEWASH_BENCH_ON_X=1
  exec bash tests/support/with_xvfb.sh "$0" "${arguments[@]}"
fi

bench=$build/bench
demo=$build/live/tidewash
capture=$build/capture/tidewash-capture
soundtrack=$build/Quietfall.MP3
work=$(mktemp -d /tmp/tidewash-bench-XXXXXX)
. "$root/tests/support/sound_server.sh"
cleanup() {
  stop_sound_server
  rm -rf "$work"
}
trap cleanup EXIT
cp "$soundtrack" "$work/Quietfall.MP3"
cd "$work"
log=$work/log.txt
failed=0
# The series that the pictures are drawn from: this run's alone.
series=$plots/series
mkdir -p "$series" && rm -f "$series"/*.txt
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

if [ "$capture_only" -eq 0 ]; then
if [ "$sound_only" -eq 0 ]; then
# 1. Frame cost per entry at 800 x 600, frames back to back on the virtual clock.
note "frame cost (frame_bench --fps $frame_fps)"
if "$bench/frame_bench" --fps "$frame_fps" --size 800x600 --series "$series/frames.txt" > frames.txt 2>> "$log"; then
  while read -r name _ frames _ fps _ mean _ p99 _ worst; do
    row "Frame cost, $name (800x600, llvmpipe, $frames frames at $frame_fps fps)" \
      "$fps fps, mean $mean ms, p99 $p99 ms, worst $worst ms" "p99 <= 16.7 ms (60 fps)" "$(met "$p99" '<=' 16.7)"
  done < frames.txt
else
  broken "Frame cost" "frame_bench failed" "p99 <= 16.7 ms (60 fps)"
fi

# 2. The demo's own share of the instructions of a frame, per entry.
own_share_rows() {
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
}
if [ "$smoke" -eq 1 ]; then
  # A smoke run counts on one core while the rest runs on the other; its
  # rows join the table at the end.
  (rows=() failed=0; own_share_rows; printf '%s\n' "${rows[@]}"; exit "$failed") > own_share.rows &
  own_share=$!
else
  own_share_rows
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
[ "$sound_only" -eq 1 ] || startup "SDL dummy audio" dummy

# 5. The music clock over a real-time run: with SDL's dummy driver, and
# through PulseAudio and PipeWire below.
clock_rows() {  # driver label
  note "clock quality ($2, ${clock_s} s)"
  local line excess drift
  line=$(SDL_AUDIODRIVER=$1 "$bench/clock_bench" --series "$series/clock.${2// /_}.txt" "$soundtrack" "$clock_s" 2>> "$log")
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
  # The position follows the device, whose clock runs a little off the
  # system's: the drift is held to the device's own pace where the server
  # reports it (PulseAudio's null sink ran 1 ms a minute fast by its own
  # reports).
  drift=$(field "$line" drift_ms_per_min)
  local device own=0 spread
  device=$(field "$line" device_drift_ms_per_min)
  [ "$device" = - ] || own=$device
  row "Clock: drift against the steady clock ($2)" \
    "$drift ms per minute (the device's own pace: $device; first moved $(field "$line" first_moved_ms) ms after the start)" \
    "within +-1 ms per minute of the device's" "$(met "$(awk -v a="$drift" -v b="$own" 'BEGIN { d = a - b; print d < 0 ? -d : d }')" '<=' 1)"
  spread=$(field "$line" spread_ms)
  row "Clock: spread against the steady clock, 5th to 95th percentile ($2)" \
    "$spread ms (about the device's own pace: $(field "$line" device_spread_ms) ms)" "<= 2 ms" "$(met "$spread" '<=' 2)"
  row "Clock: underruns before the music's end ($2)" "$(field "$line" underruns)" "0" \
    "$(met "$(field "$line" underruns)" '==' 0)"
}
clock_rows dummy "dummy driver"

# The web page in a browser playing into the null sink "bench" of the sound
# server at hand: the offset between its pictures and its sound, and (the
# first time for each browser) its frames per second and its own work per
# frame, entry by entry. With the server "quiet" the page plays in silence
# and gives only the second kind.
#   web_rows BROWSER SERVER
web_run() {  # browser [benchmark.js options]; its errors go to web_errors.txt and the log
  local browser=$1
  shift
  (cd "$root/tests/web" && TIDEWASH_BROWSER=$browser node benchmark.js "$build/tests/web/site" "$@" \
    2> "$work/web_errors.txt")
  cat "$work/web_errors.txt" >> "$log"
}
# The smallest of some numbers (or the largest, with -r).
least() { tr ' ' '\n' | grep -v '^$' | sort -g "$@" | head -n 1; }
web_rows() {
  note "web page in $1 $([ "$2" = quiet ] && echo "in silence" || echo "through $2")"
  local out line hung=""
  if [ "$2" = quiet ]; then
    out=$(web_run "$1" "${web_show[@]}")
    hung=$(grep -m 1 "Error: the show did not reach\|Error:.*timed out" "$work/web_errors.txt")
  else
    out=$(web_run "$1" "${web_av_show[@]}" --sink bench --server "${2,,}" --recorder "$bench/sink_recorder" \
      --matcher "$bench/web_av_offset" --soundtrack "$soundtrack")
  fi
  echo "$out" >> "$log"
  line=$(grep '^offset_ms' <<< "$out")
  if [ "$2" = quiet ]; then
    :
  elif [ -n "$line" ]; then
    local offset spread interval entries
    offset=$(field "$line" offset_ms) spread=$(field "$line" spread) interval=$(field "$line" interval_ms)
    # Each entry's spread, in schedule order ("-" where no frame was placed):
    # where the browser keeps the display's pace the spread is its own.
    entries=$(grep '^entry ' <<< "$out" | while read -r entry; do s=$(field "$entry" spread); echo "${s:--}"; done | xargs)
    row "Web page A/V offset, sound after picture ($1, $2, median of $(field "$line" frames) frames)" \
      "$offset ms, spread $spread ms ($(field "$line" p5) to $(field "$line" p95)) against frames every $interval ms (per entry: $entries ms); drawn $(field "$line" drawn_offset_ms) ms; $(field "$line" unknown) frames not placed" \
      "within +-5 ms, spread <= one frame" \
      "$( [ "$(met "${offset#-}" '<=' 5)" = yes ] && [ "$(met "$spread" '<=' "$interval")" = yes ] && echo yes || echo no)"
    local first first_offset
    first=$(grep '^first_22s offset_ms' <<< "$out")
    first_offset=$(field "$first" offset_ms)
    row "Web page A/V offset over the first 22 s ($1, $2, median of $(field "$first" frames) frames)" \
      "${first_offset:-no frame placed} ms, spread $(field "$first" spread) ms; $(awk -v a="${first_offset:-nan}" -v b="$offset" 'BEGIN { printf "%+.2f", a - b }') ms from the whole show's" \
      "within +-5 ms, and within 2 ms of the whole show's" \
      "$( [ -n "$first_offset" ] && [ "$(met "${first_offset#-}" '<=' 5)" = yes ] &&
          [ "$(awk -v a="$first_offset" -v b="$offset" 'BEGIN { d = a - b; print (d <= 2 && d >= -2) ? "yes" : "no" }')" = yes ] && echo yes || echo no)"
  elif line=$(grep "^no frame's position was found" <<< "$out"); then
    # The sound in the recording never kept the music's pace between two
    # places found in it (it dropped out or stalled all along): measured, and
    # not met.
    row "Web page A/V offset, sound after picture ($1, $2)" "no frame placed: $line" \
      "within +-5 ms, spread <= one frame" "no"
  elif hung=$(grep -m 1 "Error: the show did not reach\|Error:.*timed out" "$work/web_errors.txt"); then
    # The page stopped: measured, the browser hung; not met, and not run again.
    row "Web page A/V offset, sound after picture ($1, $2)" \
      "the page stopped: $(tr -d '|' <<< "$hung" | cut -c1-160)" "within +-5 ms, spread <= one frame" "no"
  else
    broken "Web page A/V offset ($1, $2)" "$(tail -n 1 <<< "$out")" "within +-5 ms"
  fi
  [ "$2" = PulseAudio ] || [ "$2" = quiet ] || return 0
  local where="$1, 800x600"
  [ "$2" = quiet ] && where="$where, in silence"
  line=$(grep '^fps_per_entry' <<< "$out")
  if [ -z "$line" ]; then
    if [ -n "$hung" ]; then
      row "Web page frames per second of music, per entry ($where)" "not measured: the page stopped" ">= 58 in every entry" "no"
      row "Web page work per frame, 95th percentile, per entry ($where)" "not measured: the page stopped" \
        "<= 4 ms in every entry" "no"
    else
      broken "Web page frames per second ($1)" "no figures" ">= 58 in every entry"
    fi
    return 0
  fi
  local rates work_p95 slowest
  rates=${line#fps_per_entry }
  slowest=$(least <<< "$rates")
  row "Web page frames per second of music, per entry ($where)" \
    "$rates ($(grep '^The page wrote' <<< "$out" | sed 's/^The page wrote: //'))" ">= 58 in every entry" "$(met "$slowest" '>=' 58)"
  work_p95=$(grep '^work_ms_p95_per_entry' <<< "$out")
  work_p95=${work_p95#work_ms_p95_per_entry }
  row "Web page work per frame, 95th percentile, per entry ($where)" "$work_p95 ms" "<= 4 ms in every entry" \
    "$(met "$(least -r <<< "$work_p95")" '<=' 4)"
  # An entry short of the display's pace at 800 x 600 that keeps it at a
  # smaller size, the page's work the same, is held back by the renderer's
  # fill, not by the page: 320 x 240, then 160 x 120 for what is still short.
  # The smoke run's short show proves nothing about fill; only the full run
  # steps down.
  [ "$smoke" -eq 1 ] && return 0
  local size small
  for size in 320x240 160x120; do
    [ "$(met "$slowest" '>=' 58)" = yes ] && return 0
    note "web page in $1 at $size"
    out=$(web_run "$1" "${web_show[@]}" --size "$size")
    echo "$out" >> "$log"
    line=$(grep '^fps_per_entry' <<< "$out")
    if [ -z "$line" ]; then
      # A page that stopped is measured, and not met; anything else is the
      # benchmark's own fault.
      if hung=$(grep -m 1 "Error: the show did not reach\|Error:.*timed out" "$work/web_errors.txt"); then
        row "Web page frames per second of music, per entry ($1, $size)" \
          "not measured: the page stopped: $(tr -d '|' <<< "$hung" | cut -c1-160)" ">= 58 where 800x600 fell short" "no"
      else
        broken "Web page frames per second, $size ($1)" "no figures: $(tail -n 1 "$work/web_errors.txt" | tr -d '|' | cut -c1-160)" \
          ">= 58 where 800x600 fell short"
      fi
      return 0
    fi
    small=${line#fps_per_entry }
    # Where the larger size fell short, the smaller one's rate counts.
    rates=$(paste -d ' ' <(tr ' ' '\n' <<< "$rates") <(tr ' ' '\n' <<< "$small") |
      awk '{ printf "%s%s", (NR > 1 ? " " : ""), ($1 < 58 ? $2 : $1) }')
    slowest=$(least <<< "$rates")
    row "Web page frames per second of music, per entry ($1, $size)" "$small (work per frame at the 95th percentile: $(grep '^work_ms_p95_per_entry' <<< "$out" | cut -d' ' -f2-) ms)" \
      ">= 58 in every entry short of it at the larger sizes" "$(met "$slowest" '>=' 58)"
  done
}

# Firefox's page stopping for good: PLAYS plays of the page for SECONDS with
# sound through the server at hand; a frozen play is counted, never made
# again.
freeze_rows() {  # label
  note "Firefox freezes through $1 ($freeze_plays plays of ${freeze_s} s)"
  local line
  line=$(cd "$root/tests/web" && TIDEWASH_BROWSER=firefox node latency_reads.js "$build/tests/web/site" page \
    "$freeze_plays" "$freeze_s" 2>> "$log")
  if [ -z "$(field "$line" frozen)" ]; then
    broken "Web page freezes (firefox, $1)" "latency_reads.js wrote: $line" "0"
    return
  fi
  row "Web page freezes, the page no longer answering (firefox, $1, plays of ${freeze_s} s)" \
    "$(field "$line" frozen) of $freeze_plays" "0" "$(met "$(field "$line" frozen)" '==' 0)"
}

# 6. A/V offset and the clock through a sound server of our own with a null
# sink: PulseAudio, and PipeWire (its pulse server and WirePlumber, on a
# session bus of its own), each as the user's daemons in a private
# XDG_RUNTIME_DIR. The A/V offset is the demo's and, beside it, mpv's (a
# player that says what it has heard), each recorded through the server's
# own client library with the server's stamps; through PipeWire at forced
# graph cycles of 256, 1024 and 2048 frames.
# av_line PLAYER SERVER SETTING: av_offset's summary line, empty when it
# failed; its readings go to the series av.SETTING.PLAYER.txt.
av_line() {
  "$bench/av_offset" "$1" "$soundtrack" "$av_s" bench "$2" "$av_readings" > av.txt 2>> "$log"
  cat av.txt >> "$log"
  awk 'BEGIN { print "# position_ms offset_ms" } /^position .* heard/ { print $2, $5 }' av.txt \
    > "$series/av.$3.$(case $1 in "$demo") echo demo ;; wine:*) echo exe ;; *) echo "$1" ;; esac).txt"
  grep '^offset_ms' av.txt
}
# av_figure LINE: "OFFSET ms (spread SPREAD ms)" for a row.
av_figure() {
  if [ -z "$1" ]; then echo "not measured: $(tail -n 1 av.txt | tr -d '|' | cut -c1-120)"; return; fi
  echo "$(field "$1" offset_ms) ms (spread $(field "$1" spread_ms) ms, $(field "$1" unmatched) unmatched)"
}
# difference A B: A - B to two places, or - when either is missing.
difference() { [ -n "$1" ] && [ -n "$2" ] && awk -v a="$1" -v b="$2" 'BEGIN { printf "%+.2f", a - b }' || echo -; }
# av_rows SERVER LABEL CYCLE [FRAMES]: the demo and mpv at the cycle the
# server runs.
av_rows() {
  note "A/V offset (${av_s} s through $2$3)"
  local demo_line mpv_pulse mpv_native="" outputs="pulse" setting=$2${4:+_cycle_$4}
  demo_line=$(av_line "$demo" "$1" "$setting")
  local offset spread measured
  offset=$(field "$demo_line" offset_ms) spread=$(field "$demo_line" spread_ms)
  measured="demo $(av_figure "$demo_line")"
  if [ "$av_references" -eq 1 ]; then
    mpv_pulse=$(av_line mpv:pulse "$1" "$setting")
    measured="$measured; mpv --ao=pulse $(av_figure "$mpv_pulse")"
    if [ "$1" = pipewire ]; then
      mpv_native=$(av_line mpv:pipewire "$1" "$setting")
      outputs="pulse, pipewire"
      measured="$measured; mpv --ao=pipewire $(av_figure "$mpv_native")"
    fi
    measured="$measured; demo minus mpv: $(difference "$offset" "$(field "$mpv_pulse" offset_ms)") ms (pulse)"
    [ "$1" = pipewire ] && measured="$measured, $(difference "$offset" "$(field "$mpv_native" offset_ms)") ms (pipewire)"
  else
    outputs="not in a smoke run"
  fi
  measured="$measured; the demo by parec's arrival stamps: $(field "$demo_line" arrival_offset_ms) ms"
  if [ -n "$offset" ]; then
    row "A/V offset, sound after position ($2 null sink$3, median of $(field "$demo_line" readings) readings, mpv ($outputs) beside)" \
      "$measured" "demo within +-5 ms, spread <= 2 ms" \
      "$( [ "$(met "${offset#-}" '<=' 5)" = yes ] && [ "$(met "$spread" '<=' 2)" = yes ] && echo yes || echo no)"
    av_offsets+=("$offset")
  else
    broken "A/V offset, $2$3" "$measured" "within +-5 ms"
  fi
}
# 6c. tidewash.exe under Wine (full runs only), in a prefix of its own, with
# openbox (Wine waits for a window manager to take a closing window away):
# its A/V offset through the server's null sink (WASAPI through Wine's
# PulseAudio driver), its start-up to the first frame and its size. The
# first frame is taken as the first Space answered: Space is pressed over and
# over from the moment the window is there, and the demo answers it after
# each frame.
# wine_av_row SETTING LINE: the exe's A/V offset row from av_offset's line.
wine_av_row() {
  local offset spread
  offset=$(field "$2" offset_ms) spread=$(field "$2" spread_ms)
  if [ -n "$offset" ]; then
    row "A/V offset, sound after position, tidewash.exe under Wine ($1, median of $(field "$2" readings) readings)" \
      "$(av_figure "$2")" "within +-5 ms, spread <= 2 ms" \
      "$( [ "$(met "${offset#-}" '<=' 5)" = yes ] && [ "$(met "$spread" '<=' 2)" = yes ] && echo yes || echo no)"
  else
    broken "A/V offset, tidewash.exe under Wine ($1)" "$(av_figure "$2")" "within +-5 ms"
  fi
}
windows_rows() {  # label
  local exe=$root/build-windows/tidewash.exe
  if [ ! -f "$exe" ]; then
    broken "A/V offset, tidewash.exe under Wine" "no build-windows/tidewash.exe (scripts/windows.sh)" "within +-5 ms"
    return
  fi
  note "tidewash.exe under Wine ($1)"
  export WINEPREFIX=$work/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  bash "$root/tests/windows/make_prefix.sh" "$WINEPREFIX" >> "$log" 2>&1
  openbox >> "$log" 2>&1 &
  local wm=$!
  for _ in $(seq 100); do wmctrl -m 2>/dev/null | grep -q '^Name: Openbox' && break; sleep 0.1; done
  wineserver --persistent
  # Wine's PulseAudio driver moves the exe's clock on a 10 ms timer of its
  # own, paced by the stream's time, whether or not the server has taken the
  # samples yet. A null sink with nothing playing renders in blocks of up to
  # 2 s, so a new stream may wait that long to be played while the clock
  # runs on, and the sound then trails the clock by what it ran ahead (0 to
  # 200 ms, the exe's buffer). A sound card renders all the time: the second
  # reading keeps the sink rendering as one does, with a silent stream of
  # 20 ms latency.
  wine_av_row "$1 null sink" "$(av_line "wine:$exe" pulseaudio PulseAudio)"
  pacat --playback --raw --format=s16le --rate=44100 --channels=2 --latency-msec=20 -d bench < /dev/zero 2>> "$log" &
  local keep=$!
  wine_av_row "$1 null sink kept rendering" "$(av_line "wine:$exe" pulseaudio PulseAudio_rendering)"
  kill "$keep"
  : > startup_wine.txt
  for _ in $(seq "$startup_runs"); do
    local started answered pid window
    started=$(date +%s%N)
    wine "$exe" > wine_out.txt 2>> "$log" &
    pid=$!
    window=$(xdotool search --sync --name "Vorn Tidewash Demo v 0.3" 2>/dev/null | head -n 1)
    xdotool windowfocus "$window" 2>/dev/null
    for _ in $(seq 2000); do
      [ -s wine_out.txt ] && break
      xdotool key space 2>/dev/null
    done
    answered=$(date +%s%N)
    [ -s wine_out.txt ] && echo $(( (answered - started) / 1000000 )) >> startup_wine.txt
    xdotool key Escape 2>/dev/null
    timeout 20 tail --pid="$pid" -f /dev/null || kill "$pid"
    wait "$pid"
  done
  if [ -s startup_wine.txt ]; then
    row "Start-up to the first frame shown, tidewash.exe under Wine ($1, median of $(wc -l < startup_wine.txt))" \
      "$(sort -n startup_wine.txt | sed -n "$(( ($(wc -l < startup_wine.txt) + 1) / 2 ))p") ms (all: $(sort -n startup_wine.txt | tr '\n' ' ')ms)" "none set" "-"
  else
    broken "Start-up, tidewash.exe under Wine" "no Space answered" "none set"
  fi
  row "Size of tidewash.exe (static, stripped)" \
    "$(stat -c %s "$exe") bytes ($(x86_64-w64-mingw32-strip -o stripped.exe "$exe" && stat -c %s stripped.exe) stripped)" "none set" "-"
  wineserver --kill
  kill "$wm"
  unset WINEPREFIX WINEDEBUG WINEDLLOVERRIDES
}
server_rows() {  # server label
  export XDG_RUNTIME_DIR=$work/$1 HOME=$work/$1
  mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
  if start_sound_server "$1" bench "$log"; then
    if [ "$1" = pipewire ]; then
      av_offsets=()
      for quantum in $av_quanta; do
        pw-metadata -n settings 0 clock.force-quantum "$quantum" > /dev/null 2>> "$log"
        av_rows "$1" "$2" ", cycle $quantum frames ($(awk -v q="$quantum" 'BEGIN { printf "%.1f", q / 48 }') ms)" "$quantum"
      done
      pw-metadata -n settings 0 clock.force-quantum 0 > /dev/null 2>> "$log"
      local range
      range=$(printf '%s\n' "${av_offsets[@]}" | sort -g | awk 'NR == 1 { low = $1 } { high = $1 } END { printf "%.2f", high - low }')
      row "A/V offset, the demo's from cycle to cycle ($2, cycles of $(echo $av_quanta | sed 's/ /, /g') frames)" \
        "varies by $range ms ($(echo "${av_offsets[@]}" | sed 's/ /, /g') ms)" "<= 3 ms" "$(met "$range" '<=' 3)"
    else
      av_rows "$1" "$2" ""
    fi
    if [[ " $clock_servers " == *" $1 "* ]]; then
      startup "$2" pulse
      clock_rows pulse "$2"
    fi
    for browser in $([ "$1" = pulseaudio ] && echo "$web_pulseaudio" || echo "$web_pipewire"); do
      web_rows "$browser" "$2"
    done
    [[ " $freeze_servers " != *" $1 "* ]] || freeze_rows "$2"
    [ "$smoke" -eq 0 ] && [ "$1" = pulseaudio ] && windows_rows "$2"
  else
    broken "A/V offset, $2" "$2 did not start" "within +-5 ms"
  fi
  stop_sound_server
  unset XDG_RUNTIME_DIR DBUS_SESSION_BUS_ADDRESS
}
server_rows pulseaudio PulseAudio
server_rows pipewire PipeWire
for browser in $web_quiet; do
  web_rows "$browser" quiet
done

# 6b. Frames while the soundtrack's source stalls: a FIFO fed at playing
# speed (128 kbit/s) whose writer pauses for 4 s after 2 s, beside the same
# tone as a plain file. The swaps are logged by a wrapper preloaded into the
# demo; the demo runs 9 s with SDL's dummy audio (a smoke run: 1 s after
# 1 s, in a run of 3 s).
swap_gaps() {  # directory label
  (cd "$1" && SDL_AUDIODRIVER=dummy LD_PRELOAD="$build/tests/system/libswap_log.so" TIDEWASH_SWAP_LOG="$work/$1.swaps" \
    "$demo" > /dev/null 2>> "$log") &
  local pid=$! median largest at limit
  sleep "$stall_run_s"
  # Escape to the shown window: a search that finds none, or one SDL has made
  # and not yet mapped, lost the key once, and the demo played the whole
  # show. Should it still not end, it is stopped: the swaps are logged as
  # they come.
  xdotool search --sync --onlyvisible --name "Vorn Tidewash Demo v 0.3" windowfocus --sync key Escape > /dev/null 2>&1
  timeout 10 tail --pid="$pid" -f /dev/null || kill "$pid" 2> /dev/null
  wait "$pid"
  if [ ! -s "$1.swaps" ]; then
    broken "Frames, $2" "no swaps logged" "<= median + 5 ms"
    return
  fi
  read -r median largest at <<< "$(awk 'NR == 1 { first = $1 } NR > 1 { print $1 - last, (last - first) / 1e6 } { last = $1 }' \
    "$1.swaps" | sort -n | awk '{ gap[NR] = $1; at[NR] = $2 } END { printf "%.2f %.2f %.1f", gap[int((NR + 1) / 2)] / 1000, gap[NR] / 1000, at[NR] }')"
  limit=$(awk -v m="$median" 'BEGIN { print m + 5 }')
  row "Frames, $2: largest gap between swaps ($(wc -l < "$1.swaps") frames in $stall_run_s s)" \
    "$largest ms, $at s after the first frame (median $median ms)" "<= median + 5 ms" "$(met "$largest" '<=' "$limit")"
}
note "frames with a stalling soundtrack"
mkdir stall plain
"$build/tests/system/make_tone" 12 plain/Quietfall.MP3
mkfifo stall/Quietfall.MP3
(
  exec 4> stall/Quietfall.MP3
  for chunk in $(seq 0 $(( $(stat -c %s plain/Quietfall.MP3) / 1600 ))); do
    [ "$chunk" -eq $(( stall_after_s * 10 )) ] && sleep "$stall_s"
    dd if=plain/Quietfall.MP3 bs=1600 skip="$chunk" count=1 status=none >&4 || exit 0
    sleep 0.1
  done
) &
feeder=$!
swap_gaps stall "soundtrack FIFO stalling $stall_s s"
kill "$feeder" 2> /dev/null
swap_gaps plain "the same tone as a plain file"

# 7. Size, memory and build.
if [ "$sound_only" -eq 0 ]; then
note "size and memory"
row "Binary size of tidewash (stripped)" \
  "$(stat -c %s "$demo") bytes ($(strip -o stripped "$demo" && stat -c %s stripped) stripped)" "none set" "-"
if [ "$run_s" -eq 0 ]; then
  SDL_AUDIODRIVER=dummy "$bench/run_measured" "$demo" > /dev/null 2> run.txt
  what="whole run"
else
  SDL_AUDIODRIVER=dummy "$bench/run_measured" "$demo" > /dev/null 2> run.txt &
  measured=$!
  sleep "$run_s"
  # The window shown, not one SDL has made and not yet mapped: a key sent to
  # that is lost, and the demo would play the whole show.
  xdotool search --sync --onlyvisible --name "Vorn Tidewash Demo v 0.3" windowfocus --sync key Escape > /dev/null 2>&1
  wait "$measured"
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
fi

fi

# 8. Capture throughput, against real time and against ffmpeg alone encoding
# the same frames from a raw file with the capture's settings (the capture
# adds rendering, reading back and the sound).
h264_settings=(-vf scale=out_color_matrix=bt709:out_range=tv,format=yuv420p -c:v libx264 -preset veryfast -crf 18
  -colorspace bt709 -color_primaries bt709 -color_trc bt709 -color_range tv -f mp4)
ffv1_settings=(-c:v ffv1 -level 3 -g 1 -slices 4 -slicecrc 1 -pix_fmt bgr0 -f matroska)
# capture_wall OUT SIZE MS OPTION...: the capture's wall time in ms, empty when it failed.
capture_wall() {
  local out=$1 size=$2 ms=$3
  shift 3
  rm -rf "$out"
  "$bench/run_measured" "$capture" --fps 60 --size "$size" --from 0 --to "$ms" --out "$out" "$@" \
    --soundtrack Quietfall.MP3 --force --quiet 2> capture.txt
  [ "$(field "$(grep '^run_measured' capture.txt)" status)" = 0 ] && field "$(grep '^run_measured' capture.txt)" wall_ms
}
capture_rows() {  # label size ms video with-target option...
  local label=$1 size=$2 ms=$3 video=$4 with_target=$5 seconds wall_frames wall_video
  shift 5
  seconds=$(awk -v m="$ms" 'BEGIN { print m / 1000 }')
  note "capture $label, $seconds s"
  wall_frames=$(capture_wall frames "$size" "$ms" "$@")
  wall_video=$(capture_wall "$video" "$size" "$ms" "$@")
  if [ -z "$wall_frames" ] || [ -z "$wall_video" ]; then
    broken "Capture $label" "$(head -n 1 capture.txt)" "none set"
    return
  fi
  local frames settings format=${video##*.}
  format=${format^^}
  frames=$(ls frames | wc -l)
  if [ "${video##*.}" = mkv ]; then settings=("${ffv1_settings[@]}"); else settings=("${h264_settings[@]}"); fi
  ffmpeg -nostdin -loglevel error -i frames/frame-%06d.png -f rawvideo -pix_fmt rgb24 -y raw.rgb
  rm -rf frames
  "$bench/run_measured" ffmpeg -nostdin -loglevel error -y -f rawvideo -pix_fmt rgb24 -video_size "$size" \
    -framerate 60 -i raw.rgb "${settings[@]}" "alone.${video##*.}" 2> ffmpeg.txt
  local wall_ffmpeg
  wall_ffmpeg=$(field "$(grep '^run_measured' ffmpeg.txt)" wall_ms)
  rm -f raw.rgb "$video" "alone.${video##*.}"
  local png_fps video_fps real_video vs_ffmpeg
  png_fps=$(awk -v f="$frames" -v w="$wall_frames" 'BEGIN { printf "%.1f", f / (w / 1000) }')
  video_fps=$(awk -v f="$frames" -v w="$wall_video" 'BEGIN { printf "%.1f", f / (w / 1000) }')
  real_video=$(awk -v s="$seconds" -v w="$wall_video" 'BEGIN { printf "%.2f", s / (w / 1000) }')
  vs_ffmpeg=$(awk -v a="$wall_video" -v b="$wall_ffmpeg" 'BEGIN { printf "%.2f", a / b }')
  row "Capture to PNG, $label ($frames frames)" \
    "$png_fps fps, $(awk -v s="$seconds" -v w="$wall_frames" 'BEGIN { printf "%.2f", s / (w / 1000) }') x real time" \
    "none set" "-"
  if [ "$with_target" = yes ]; then
    row "Capture to $format, $label ($frames frames)" "$video_fps fps, $real_video x real time" ">= 1 x real time" \
      "$(met "$real_video" '>=' 1)"
    row "Capture to $format, $label, time against ffmpeg alone" \
      "$vs_ffmpeg x (capture $wall_video ms, ffmpeg alone $wall_ffmpeg ms)" "<= 1.15 x" "$(met "$vs_ffmpeg" '<=' 1.15)"
  else
    row "Capture to $format, $label ($frames frames)" \
      "$video_fps fps, $real_video x real time, $vs_ffmpeg x ffmpeg alone (capture $wall_video ms, ffmpeg alone $wall_ffmpeg ms)" \
      "none set" "-"
  fi
}
if [ "$sound_only" -eq 0 ]; then
capture_rows "800x600, $( [ "$smoke" -eq 1 ] && echo "first $capture_whole_ms ms" || echo 'whole show')" 800x600 \
  "$capture_whole_ms" video.mp4 yes
[ "$smoke" -eq 1 ] || capture_rows "800x600, first $capture_part_ms ms (the particle clouds)" 800x600 "$capture_part_ms" video.mp4 no
capture_rows "800x600 lossless (.mkv), first $capture_part_ms ms" 800x600 "$capture_part_ms" video.mkv no
if [ "$smoke" -eq 0 ]; then
  capture_rows "800x600 --supersample 2, first $capture_part_ms ms" 800x600 "$capture_part_ms" video.mp4 no \
    --supersample 2
  capture_rows "1920x1080, first $capture_large_ms ms" 1920x1080 "$capture_large_ms" video.mp4 no
else
  row "Capture to MP4, 800x600 --supersample 2, and 1920x1080" "not measured in a smoke run" "none set" "-"
fi
fi

# The pictures of the run's series, drawn while a smoke run's count goes on.
note "pictures in $plots"
"$root/scripts/plot_bench.py" "$series" "$plots" > pictures.txt 2>> "$log" &
pictures=$!

if [ -n "${own_share:-}" ]; then
  wait "$own_share" || failed=1
  mapfile -t -O "${#rows[@]}" rows < own_share.rows
fi
wait "$pictures" || { echo "scripts/plot_bench.py failed" >> "$log"; failed=1; }

# The table.
echo
run_kind="full run"
[ "$capture_only" -eq 1 ] && run_kind="the capture alone"
[ "$sound_only" -eq 1 ] && run_kind="what plays through a sound server"
[ "$smoke" -eq 1 ] && run_kind="smoke run: short durations, figures not meaningful"
echo "Tidewash benchmarks ($run_kind; $(nproc) cores, load average $(cut -d' ' -f1-3 /proc/loadavg) at the end)"
echo
echo "| Figure | Measured | Target | Met |"
echo "|---|---|---|---|"
for entry in "${rows[@]}"; do
  IFS='|' read -r figure measured target ok <<< "$entry"
  echo "| $figure | $measured | $target | $ok |"
done
drawn=$(xargs -r -n 1 basename < pictures.txt | xargs)
echo
echo "Pictures of this run's series in $plots: ${drawn:-none}"
if [ "$failed" -ne 0 ]; then
  echo
  echo "Some figures could not be measured; the log follows."
  tail -n 40 "$log"
fi
exit "$failed"
