#!/usr/bin/env bash
# Runs every test: native unit tests, Win32 tests under Wine, and the
# end-to-end tests of the real program, each Wine run on a private prefix
# and a private virtual display. Ends with "N passed, N failed".
set -u
source "$(dirname "$0")/lib.sh"

velmora_install_deps || exit 1
velmora_build || { echo "0 passed, 1 failed"; exit 1; }

work=$(mktemp -d /tmp/velmora-test.XXXXXX)
cleanup() {
    [ -n "${VELMORA_HTTP_PID:-}" ] && kill "$VELMORA_HTTP_PID" 2>/dev/null
    wineserver -k >/dev/null 2>&1
    [ -n "${VELMORA_XVFB_PID:-}" ] && kill "$VELMORA_XVFB_PID" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

passed=0
failed=0
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
}

# run_gtest NAME TIMEOUT native|wine PROGRAM
run_gtest() {
    local name="$1" timeout_s="$2" kind="$3" program="$4"
    local xml="$work/$name.xml" report="$work/$name.xml"
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

run_gtest unit 300 native "$VELMORA_ROOT/build/native/tests/unit/unit_tests"

# A few seconds of fuzzing the list-file reader on the whole run (scripts/fuzz.sh
# runs it longer).
if [ -z "${VELMORA_GTEST_FILTER:-}" ]; then
    echo "=== fuzz (5 s)"
    if bash "$VELMORA_ROOT/scripts/fuzz.sh" 5 >"$work/fuzz.log" 2>&1; then
        passed=$((passed + 1))
    else
        tail -n 30 "$work/fuzz.log"
        echo "*** fuzz smoke run failed"
        failed=$((failed + 1))
    fi
fi

velmora_start_xvfb "$work" || { echo "$passed passed, $((failed + 1)) failed"; exit 1; }
velmora_make_prefix "$work/prefix" || { echo "$passed passed, $((failed + 1)) failed"; exit 1; }
export WINEPATH="$(winepath -w "$VELMORA_ROOT/dist")"
export VELMORA_DIST="$(winepath -w "$VELMORA_ROOT/dist")"
export VELMORA_WORK="$(winepath -w "$work")"
shots="$VELMORA_ROOT/build/win/screenshots"
rm -rf "$shots" && mkdir -p "$shots"
# The end-to-end run saves PNGs of the pages and the tray menu here.
export VELMORA_SCREENSHOTS="$shots"
echo "Wine prefix $WINEPREFIX on display $DISPLAY"

# A local stand-in for the update server: the driver serves files from
# VELMORA_HTTP_ROOT at http://127.0.0.1:VELMORA_HTTP_PORT/; nothing listens
# on VELMORA_CLOSED_PORT.
mkdir -p "$work/http"
python3 "$VELMORA_ROOT/scripts/update_server.py" "$work/http" "$work/http.port" &
VELMORA_HTTP_PID=$!
for i in $(seq 1 50); do
    [ -s "$work/http.port" ] && break
    sleep 0.1
done
if read -r http_port closed_port <"$work/http.port" 2>/dev/null; then
    export VELMORA_HTTP_ROOT="$(winepath -w "$work/http")"
    export VELMORA_HTTP_PORT="$http_port" VELMORA_CLOSED_PORT="$closed_port"
else
    echo "*** the local HTTP server did not start; the update tests will be skipped"
fi

run_gtest win 900 wine "$VELMORA_ROOT/build/win/tests/win/win_tests.exe"
run_gtest e2e 1800 wine "$VELMORA_ROOT/build/win/tests/e2e/e2e_tests.exe"

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
