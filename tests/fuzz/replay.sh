#!/bin/bash
# Runs the fuzz target once on every saved crashing input and on the seeds:
# replay.sh FUZZER REGRESSIONS SEEDS
set -eu
fuzzer=$1
inputs=()
for directory in "$2" "$3"; do
  for file in "$directory"/*; do
    [ -f "$file" ] && [ "$(basename "$file")" != README ] && inputs+=("$file")
  done
done
[ "${#inputs[@]}" -gt 0 ] || { echo "FAIL: no inputs to replay"; exit 1; }
# A few milliseconds each: -timeout fails any that takes seconds.
"$fuzzer" -timeout=3 "${inputs[@]}"
echo "replayed ${#inputs[@]} inputs"
