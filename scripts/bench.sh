#!/usr/bin/env bash
# Builds and runs every benchmark under Wine on a private prefix and virtual
# display, printing their figures. Benchmarks never fail a build.
set -u
source "$(dirname "$0")/lib.sh"

velmora_install_deps || exit 1
velmora_build win-only || exit 1

work=$(mktemp -d /tmp/velmora-bench.XXXXXX)
trap 'wineserver -k >/dev/null 2>&1; [ -n "${VELMORA_XVFB_PID:-}" ] && kill "$VELMORA_XVFB_PID" 2>/dev/null; rm -rf "$work"' EXIT
velmora_start_xvfb "$work" || exit 1
velmora_make_prefix "$work/prefix" || exit 1
export WINEPATH="$(winepath -w "$VELMORA_ROOT/dist")"
export VELMORA_DIST="$(winepath -w "$VELMORA_ROOT/dist")"
export VELMORA_WORK="$(winepath -w "$work")"

for bench in "$VELMORA_ROOT"/build/win/tests/bench/bench_*.exe; do
    [ -e "$bench" ] || continue
    [ -n "${1:-}" ] && [[ "$(basename "$bench")" != *"$1"* ]] && continue
    echo "=== $(basename "$bench" .exe)"
    timeout 1800 wine "$bench"
done
