#!/bin/bash
# Makes a fresh Wine prefix in folder $1 for the tests that run tidewash.exe,
# without the Mono and Gecko installers, and waits until Wine has finished
# setting it up.
set -u
prefix=$1
rm -rf "$prefix"
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wineboot --init > /dev/null 2>&1 || { echo "FAIL: wineboot could not make the prefix"; exit 1; }
wineserver --wait
[ -f "$prefix/system.reg" ] || { echo "FAIL: no registry in the new prefix"; exit 1; }
echo "PASS"
