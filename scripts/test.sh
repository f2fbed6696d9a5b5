#!/usr/bin/env bash
# Runs every test: the native unit tests, the rig's own tests, and then, for
# every architecture this machine can run (x64 always, x86 where the kernel
# runs 32-bit code), the Win32 tests under Wine and the end-to-end tests of
# the real program, each architecture in a fresh private prefix on a private
# virtual display, and the display-scale cases again on fresh prefixes at
# 144 and 192 DPI. Ends with "N passed, N failed".
set -u
source "$(dirname "$0")/lib.sh"

velmora_install_deps || exit 1
velmora_build || { echo "0 passed, 1 failed"; exit 1; }

work=$(mktemp -d /tmp/velmora-test.XXXXXX)
prefixes=()
cleanup() {
    [ -n "${VELMORA_HTTP_PID:-}" ] && kill "$VELMORA_HTTP_PID" 2>/dev/null
    local prefix
    for prefix in "${prefixes[@]}"; do
        WINEPREFIX="$prefix" wineserver -k >/dev/null 2>&1
    done
    [ -n "${VELMORA_XVFB_PID:-}" ] && kill "$VELMORA_XVFB_PID" 2>/dev/null
    velmora_drop_readonly_dir "$work/readonly"
    rm -rf "$work"
}
trap cleanup EXIT

passed=0
failed=0
finish() {
    echo "Architectures run: ${ran_archs:-none}"
    echo "$passed passed, $failed failed"
    [ "$failed" -eq 0 ]
    exit
}

# Adds one test program's results from its XML report; a program that left
# no report (a crash, a hang) counts as one failure.
tally() {
    local name="$1" xml="$2" rc="$3" tests failures errors skipped
    if [ ! -s "$xml" ]; then
        echo "*** $name left no report (exit code $rc)"
        failed=$((failed + 1))
        return
    fi
    read -r tests failures errors skipped < <(python3 - "$xml" <<'PY'
import sys, xml.etree.ElementTree as ET
root = ET.parse(sys.argv[1]).getroot()
get = lambda k: int(root.get(k, 0))
print(get("tests"), get("failures"), get("errors"), get("skipped") + get("disabled"))
PY
)
    passed=$((passed + tests - failures - errors - skipped))
    failed=$((failed + failures + errors))
    if [ "$rc" -ne 0 ] && [ $((failures + errors)) -eq 0 ]; then
        echo "*** $name exited with $rc"
        failed=$((failed + 1))
    fi
    [ $((failures + errors)) -gt 0 ] && echo "*** $name: $((failures + errors)) failed"
}

# run_gtest NAME TIMEOUT native|wine PROGRAM
run_gtest() {
    local name="$1" timeout_s="$2" kind="$3" program="$4"
    local xml="$work/${name// /-}.xml" report
    report="$xml"
    [ "$kind" = wine ] && report="$(winepath -w "$xml")"
    echo "=== $name"
    if [ "$kind" = wine ]; then
        timeout --kill-after=10 "$timeout_s" wine "$program" --gtest_output="xml:$report" \
            ${VELMORA_GTEST_FILTER:+--gtest_filter="$VELMORA_GTEST_FILTER"}
    else
        timeout --kill-after=10 "$timeout_s" "$program" --gtest_output="xml:$report" \
            ${VELMORA_GTEST_FILTER:+--gtest_filter="$VELMORA_GTEST_FILTER"}
    fi
    tally "$name" "$xml" $?
}

# run_step NAME COMMAND...: a step that passes or fails as a whole.
run_step() {
    local name="$1" log="$work/step.log"
    shift
    echo "=== $name"
    if "$@" >"$log" 2>&1; then
        passed=$((passed + 1))
    else
        tail -n 30 "$log"
        echo "*** $name failed"
        failed=$((failed + 1))
    fi
}

# take_screenshots ARCH PERCENT: the pages and the tray menu in the prefix
# in use, at the display scale it runs at.
take_screenshots() {
    timeout --kill-after=10 300 wine "$build/tests/e2e/screenshots.exe" >"$work/shots.log" 2>&1 &&
        echo "Screenshots of the pages and the tray menu ($1, $2 %): $VELMORA_SCREENSHOTS" ||
        { tail -n 5 "$work/shots.log"; echo "*** the screenshots ($1, $2 %) could not all be saved"; }
}

run_gtest unit 300 native "$VELMORA_ROOT/build/native/tests/unit/unit_tests"

if [ -z "${VELMORA_GTEST_FILTER:-}" ]; then
    run_step "format: every C++ file follows .clang-format" bash "$VELMORA_ROOT/scripts/check_format.sh"
    run_step "rig: architecture detection" bash "$VELMORA_ROOT/tests/rig/arch_detection_test.sh"
    # Both builds are there only when both were made.
    [ -z "${VELMORA_ONLY_ARCH:-}" ] &&
        run_step "rig: program files of both builds" bash "$VELMORA_ROOT/tests/rig/dist_files_test.sh"
    # A few seconds of fuzzing the list-file reader (scripts/fuzz.sh runs it longer).
    run_step "fuzz (5 s)" bash "$VELMORA_ROOT/scripts/fuzz.sh" 5
fi

velmora_detect_archs || { failed=$((failed + 1)); finish; }
velmora_start_xvfb "$work" || { failed=$((failed + 1)); finish; }

# A local stand-in for the update server: the driver serves files from
# VELMORA_HTTP_ROOT at http://127.0.0.1:VELMORA_HTTP_PORT/, and the failing
# and slow answers update_server.py lists; nothing listens on
# VELMORA_CLOSED_PORT.
http_ok=0
if velmora_start_update_server "$work"; then
    http_ok=1
else
    echo "*** the local HTTP server did not start; the update tests will be skipped"
fi

# A folder that takes no new file, for the save into a read-only folder.
readonly_ok=0
if velmora_make_readonly_dir "$work/readonly"; then
    readonly_ok=1
else
    echo "*** no read-only folder could be made here; that case of the exit-save test is skipped"
fi

ran_archs=""
for arch in "${VELMORA_ARCHS[@]}"; do
    velmora_use_arch "$arch" "$work/$arch"
    prefixes+=("$work/$arch/prefix")
    if ! velmora_make_prefix "$work/$arch/prefix"; then
        failed=$((failed + 1))
        continue
    fi
    ran_archs="${ran_archs:+$ran_archs, }$arch"
    build=$(velmora_build_dir "$arch")
    export WINEPATH="$(winepath -w "$VELMORA_DIST_UNIX")"
    export VELMORA_DIST="$WINEPATH"
    export VELMORA_DIST_X86="$(winepath -w "$(velmora_dist_dir x86)")"
    export VELMORA_DIST_X64="$(winepath -w "$(velmora_dist_dir x64)")"
    export VELMORA_WORK="$(winepath -w "$work/$arch")"
    [ "$http_ok" = 1 ] && export VELMORA_HTTP_ROOT="$(winepath -w "$work/http")"
    [ "$readonly_ok" = 1 ] && export VELMORA_READONLY_DIR="$(winepath -w "$work/readonly")"
    # The 64-bit program meets 32-bit processes too, where they can run.
    unset VELMORA_OTHER_ARCH_MAKER
    if [ "$arch" = x64 ] && [[ " ${VELMORA_ARCHS[*]} " == *" x86 "* ]]; then
        export VELMORA_OTHER_ARCH_MAKER="$(winepath -w "$(velmora_build_dir x86)/tests/e2e/popup_maker.exe")"
    fi
    # The screenshot step saves PNGs of the pages and the tray menu here.
    export VELMORA_SCREENSHOTS="$build/screenshots"
    rm -rf "$VELMORA_SCREENSHOTS" && mkdir -p "$VELMORA_SCREENSHOTS"
    echo "Wine prefix $WINEPREFIX ($WINEARCH) on display $DISPLAY"

    run_gtest "win ($arch)" 900 wine "$build/tests/win/win_tests.exe"
    run_gtest "e2e ($arch)" 1800 wine "$build/tests/e2e/e2e_tests.exe"
    # Pictures for the README: a step of its own, not a test, and not counted.
    [ -z "${VELMORA_GTEST_FILTER:-}" ] && take_screenshots "$arch" 100
    wineserver -k >/dev/null 2>&1

    # The display scales: the DPI cases again, each at 150 % and 200 % on a
    # fresh prefix whose LogPixels says so, and the pictures at 150 %.
    dpi_filter="${VELMORA_GTEST_FILTER:-Dpi.*}"
    if [[ "$dpi_filter" == *Dpi* ]]; then
        for dpi in 144 192; do
            scaled="$work/$arch/prefix-$dpi"
            prefixes+=("$scaled")
            if ! velmora_make_prefix "$scaled" "$dpi"; then
                failed=$((failed + 1))
                continue
            fi
            VELMORA_GTEST_FILTER="$dpi_filter" run_gtest "e2e at $dpi DPI ($arch)" 600 wine \
                "$build/tests/e2e/e2e_tests.exe"
            [ -z "${VELMORA_GTEST_FILTER:-}" ] && [ "$dpi" = 144 ] && take_screenshots "$arch" 150
            wineserver -k >/dev/null 2>&1
        done
    fi
done

finish
