# Shared by the tests that run tidewash.exe under Wine. Sourced with the exe,
# the Wine prefix and the tone maker as $1, $2 and $3; the helpers of the
# native tests (tests/system/common.sh) then run the exe through wine.
exe=$1
export WINEPREFIX=$2 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
. "$(dirname "${BASH_SOURCE[0]}")/../system/common.sh" "$exe" "$3"

# A window manager: Wine waits for one to take a closing window away (over
# two seconds per window without one).
openbox > "$work/openbox.txt" 2>&1 &
wm_pid=$!
# The runs of one test share one wineserver; both end with the test.
trap 'wineserver --kill; kill "$wm_pid" 2>/dev/null; rm -rf "$work"' EXIT
for _ in $(seq 100); do
  wmctrl -m 2>/dev/null | grep -q '^Name: Openbox' && break
  sleep 0.1
done
wmctrl -m 2>/dev/null | grep -q '^Name: Openbox' || fail "openbox did not start: $(cat "$work/openbox.txt")"
wineserver --persistent

# The exe's console lines, without Windows' carriage returns; the line Space
# writes too.
lines() { tr -d '\r' < out.txt; }
eval "native_$(declare -f next_position)"
next_position() { native_next_position | tr -d '\r'; }
