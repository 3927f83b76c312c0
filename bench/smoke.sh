#!/bin/bash
# The benchmark command with short durations, as a test, so that it cannot
# rot: every figure must be measured, the table printed and the series drawn.
# No figure is held to its target here; that is what the full run is for.
#   smoke.sh SOURCE_DIR BUILD_DIR   (BUILD_DIR built by ctest's run, web page included)
out=$(bash "$1/scripts/bench.sh" --smoke --build "$2" --built)
status=$?
echo "$out"
[ "$status" -eq 0 ] || { echo "FAIL: scripts/bench.sh --smoke exited with status $status"; exit 1; }
grep -qx '| Figure | Measured | Target | Met |' <<< "$out" || { echo "FAIL: no table"; exit 1; }
for figure in "Frame cost, entry8" "Own share of a frame's instructions, entry 8" "Heap allocations in frames" \
  "Start-up to the first frame shown" "Clock: drift against the steady clock (dummy driver)" "Clock: underruns before the music's end (PulseAudio" "A/V offset" "Binary size" \
  "A/V offset, sound after position (PipeWire" "Clock: spread against the steady clock, 5th to 95th percentile (PulseAudio)" \
  "Frames, soundtrack FIFO stalling" \
  "Peak resident memory" "Clean build" "Capture to PNG, 800x600" "Capture to MP4, 800x600, first" "Capture to MKV, 800x600" \
  "Web page frames per second of music, per entry (chromium, 800x600, in silence" \
  "Web page work per frame, 95th percentile, per entry (chromium, 800x600, in silence" \
  "Web page freezes, the page no longer answering (firefox, PulseAudio" \
  "Web page A/V offset, sound after picture (chromium, PipeWire"; do
  grep -qF "| $figure" <<< "$out" || { echo "FAIL: the table has no row for \"$figure\""; exit 1; }
done
# Each program's series reached its picture: a series whose columns changed
# shape, or readings no longer found in av_offset's output, leave one out.
grep -q "^Pictures of this run's series in .*: frame_times.png clock_position.png av_offsets.png$" <<< "$out" ||
  { echo "FAIL: not every picture was drawn"; exit 1; }
echo "the table has every row, and every picture was drawn"
