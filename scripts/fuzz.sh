#!/usr/bin/env bash
# Builds the list-file reader's fuzz target natively (clang's libFuzzer with
# AddressSanitizer) and runs it for a bounded time: fuzz.sh [seconds], 60 by
# default. Fails on a crash, a leak, an input that takes over 10 s, or a
# broken invariant; the input that did it is left in build/fuzz/.
set -u
source "$(dirname "$0")/lib.sh"

velmora_install_deps || exit 1
seconds="${1:-60}"
out="$VELMORA_ROOT/build/fuzz"
mkdir -p "$out/corpus"
clang++ -std=c++17 -O1 -g -fsanitize=fuzzer,address -I"$VELMORA_ROOT" \
    "$VELMORA_ROOT/tests/fuzz/list_file_reader.cpp" "$VELMORA_ROOT/listfile/ListFileFormat.cpp" \
    -o "$out/list_file_reader" || exit 1
# New inputs found go to build/fuzz/corpus; the checked-in seeds stay as they are.
"$out/list_file_reader" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -max_len=1048576 -artifact_prefix="$out/" -print_final_stats=1 \
    "$out/corpus" "$VELMORA_ROOT/tests/fuzz/seeds"
