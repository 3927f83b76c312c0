# Shared by the tests that run the real demo. Sourced with the demo's path and
# the tone maker's path as $1 and $2.
set -u
demo=$1
make_tone=$2
work=$(mktemp -d /tmp/tidewash-system-XXXXXX)
trap 'rm -rf "$work"' EXIT
cd "$work"
export SDL_AUDIODRIVER=dummy

fail() {
  echo "FAIL: $*"
  echo "--- stdout:"; cat "$work/out.txt" 2>/dev/null
  echo "--- stderr (last lines):"; grep -v '^ALSA' "$work/err.txt" 2>/dev/null | tail -n 20
  exit 1
}

# Waits for the demo's window to appear (at most 20 s) and prints its id. A
# search fails outright when a window goes away while it reads the window
# list, as SDL's short-lived start-up windows do: the search runs again.
demo_window() {
  local deadline=$((SECONDS + 20)) window
  while [ "$SECONDS" -lt "$deadline" ]; do
    window=$(xdotool search --name "Vorn Tidewash Demo v 0.3" 2>/dev/null | head -n 1)
    [ -n "$window" ] && { echo "$window"; return 0; }
    sleep 0.1
  done
}

# Runs the demo (behind an optional command prefix such as env), presses Space
# until a position of at least `min_ms` is written (at most 30 s), then Escape,
# and waits for it to end. Its output is left in out.txt and err.txt; returns
# its exit status.
space_until_then_escape() {  # min_ms [prefix ...]
  local min_ms=$1
  shift
  "$@" "$demo" > out.txt 2> err.txt &
  local pid=$!
  local window
  window=$(demo_window)
  [ -n "$window" ] || fail "no demo window appeared"
  xdotool windowfocus --sync "$window"
  space_until "$min_ms" "$pid"
  xdotool key Escape
  timeout 20 tail --pid="$pid" -f /dev/null
  kill -0 "$pid" 2>/dev/null && { kill "$pid"; fail "the demo did not end on Escape"; }
  wait "$pid"
}

# Plays $demo from the folder a release archive unpacked, Space until a
# position of a second then Escape, and checks that it ends with the
# "FPS: " line and leaves the folder as it was: FILES files, each matching
# SHA256SUMS. Its output stays in $work.
plays_from_unpacked_folder() {  # files [prefix ...]
  local files=$1 status
  shift
  space_until_then_escape 1000 "$@"
  status=$?
  cp out.txt err.txt "$work"
  [ "$status" -eq 0 ] || fail "exit status $status, expected 0"
  [[ "$(tr -d '\r' < out.txt | tail -n 1)" =~ ^FPS:\ [0-9]+$ ]] || fail "the last line is not 'FPS: ' and digits"
  rm out.txt err.txt
  sha256sum --quiet -c SHA256SUMS && [ "$(ls | wc -l)" -eq "$files" ] || fail "playing changed the folder"
}

# Presses Space in the focused demo window, process `pid`, until it writes a
# position of at least `min_ms` (at most 30 s).
space_until() {  # min_ms pid
  local min_ms=$1 pid=$2 position=0 deadline=$((SECONDS + 30))
  while [ "$position" -lt "$min_ms" ]; do
    [ "$SECONDS" -lt "$deadline" ] || { kill "$pid"; fail "no position of $min_ms ms or more within 30 s"; }
    position=$(next_position)
    [[ "$position" =~ ^[0-9]+$ ]] || { kill "$pid"; fail "Space wrote '$position', not a position"; }
  done
}

# Presses Space and prints the line the demo writes for it (waiting at most
# 5 s), or nothing.
next_position() {
  local lines
  lines=$(wc -l < out.txt)
  xdotool key space
  for _ in $(seq 100); do
    [ "$(wc -l < out.txt)" -gt "$lines" ] && break
    sleep 0.05
  done
  sed -n "$((lines + 1))p" out.txt
}
