#!/bin/bash
# Fuzzes the audio layer for a while from the seed corpus:
# fuzz.sh FUZZER SEEDS ARTIFACTS SECONDS
set -eu
fuzzer=$1
seeds=$2
artifacts=$3
seconds=$4
corpus=$(mktemp -d /tmp/tidewash-fuzz-XXXXXX)
trap 'rm -rf "$corpus"' EXIT
mkdir -p "$artifacts"
# -timeout catches an input that holds the decoder up for seconds; -max_len
# leaves room for a few seconds of low-rate MP3.
"$fuzzer" -max_total_time="$seconds" -timeout=5 -rss_limit_mb=2048 -max_len=16384 \
  -print_final_stats=1 -artifact_prefix="$artifacts/" "$corpus" "$seeds"
