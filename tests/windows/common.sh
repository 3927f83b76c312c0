# Shared by the tests that run tidewash.exe under Wine. Sourced with the exe,
# the Wine prefix and the tone maker as $1, $2 and $3; the helpers of the
# native tests (tests/system/common.sh) then run the exe through wine.
exe=$1
export WINEPREFIX=$2 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
. "$(dirname "${BASH_SOURCE[0]}")/../system/common.sh" "$exe" "$3"
# The runs of one test share one wineserver, which ends with the test.
wineserver --persistent
trap 'wineserver --kill; rm -rf "$work"' EXIT

# The exe's console lines, without Windows' carriage returns.
lines() { tr -d '\r' < out.txt; }
