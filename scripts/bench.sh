#!/usr/bin/env bash
# Builds and runs every benchmark under Wine, for every architecture this
# machine runs, on a private prefix and virtual display, printing their
# figures. Benchmarks never fail a build.  bench.sh [name]
set -u
source "$(dirname "$0")/lib.sh"

velmora_install_deps || exit 1
velmora_build win-only || exit 1
velmora_detect_archs || exit 1

work=$(mktemp -d /tmp/velmora-bench.XXXXXX)
trap 'for a in "${VELMORA_ARCHS[@]}"; do WINEPREFIX="$work/$a/prefix" wineserver -k >/dev/null 2>&1; done
      [ -n "${VELMORA_HTTP_PID:-}" ] && kill "$VELMORA_HTTP_PID" 2>/dev/null
      [ -n "${VELMORA_XVFB_PID:-}" ] && kill "$VELMORA_XVFB_PID" 2>/dev/null; rm -rf "$work"' EXIT
velmora_start_xvfb "$work" || exit 1
# The update benchmark fetches from the local stand-in for the update server.
velmora_start_update_server "$work" || echo "*** the local HTTP server did not start"

for arch in "${VELMORA_ARCHS[@]}"; do
    velmora_use_arch "$arch" "$work/$arch"
    velmora_make_prefix "$work/$arch/prefix" || exit 1
    export WINEPATH="$(winepath -w "$VELMORA_DIST_UNIX")"
    export VELMORA_DIST="$WINEPATH"
    export VELMORA_WORK="$(winepath -w "$work/$arch")"
    for bench in "$(velmora_build_dir "$arch")"/tests/bench/bench_*.exe; do
        [ -e "$bench" ] || continue
        [ -n "${1:-}" ] && [[ "$(basename "$bench")" != *"$1"* ]] && continue
        echo "=== $(basename "$bench" .exe) ($arch)"
        # VELMORA_BENCH_WINEDEBUG traces a benchmark and what it starts.
        WINEDEBUG="${VELMORA_BENCH_WINEDEBUG:-$WINEDEBUG}" timeout 1800 wine "$bench"
    done
    wineserver -k >/dev/null 2>&1
done
