#!/usr/bin/env bash
# Builds Velmora and runs it under Wine: on $DISPLAY when there is one,
# otherwise on a virtual display of its own.
#   scripts/run.sh        the 64-bit program (dist/x64), which runs everywhere
#   scripts/run.sh x86    the 32-bit program (dist/), where 32-bit code runs
#   scripts/run.sh --demo [x86]   the same, in a prefix of its own, with its
#       window shown and a few pop-ups opened and closed for it; a picture of
#       the Statistics page listing them is saved and its path printed
# VELMORA_DPI=144 runs it at that display scale (150 %); the prefix keeps it.
set -u
source "$(dirname "$0")/lib.sh"

demo=0
if [ "${1:-}" = --demo ]; then
    demo=1
    shift
fi
arch="${1:-x64}"
case "$arch" in
x64 | x86) ;;
*) echo "usage: scripts/run.sh [--demo] [x64|x86]" >&2; exit 2 ;;
esac

velmora_install_deps || exit 1
if [ "$demo" = 1 ]; then
    # The demo's driver and the window maker beside the program.
    VELMORA_ONLY_ARCH="$arch" velmora_build demo || exit 1
else
    velmora_build program || exit 1
fi
velmora_detect_archs || exit 1
if [[ " ${VELMORA_ARCHS[*]} " != *" $arch "* ]]; then
    echo "The $arch program cannot run on this machine; scripts/run.sh x64 runs the 64-bit one." >&2
    exit 1
fi

tmp=$(mktemp -d /tmp/velmora-run.XXXXXX)
trap '[ -n "${VELMORA_XVFB_PID:-}" ] && kill "$VELMORA_XVFB_PID" 2>/dev/null; rm -rf "$tmp"' EXIT
velmora_use_arch "$arch" "$tmp"
default_prefix="$HOME/.wine-velmora"
[ "$arch" = x64 ] && default_prefix="$HOME/.wine-velmora-x64"
# The demo never touches the user's settings: a prefix of its own.
[ "$demo" = 1 ] && default_prefix="$default_prefix-demo"
export WINEPREFIX="${WINEPREFIX:-$default_prefix}"

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    echo "Running the $arch Velmora ($VELMORA_DIST_UNIX) on $DISPLAY (prefix $WINEPREFIX)."
else
    velmora_start_xvfb "$tmp" || exit 1
    cat <<MSG
No display found: the $arch Velmora ($VELMORA_DIST_UNIX) runs on the virtual display $DISPLAY (prefix $WINEPREFIX).
To see it, from another terminal:
  screenshot:  xwd -root -display $DISPLAY | convert xwd:- velmora.png
  live view:   apt-get install x11vnc && x11vnc -display $DISPLAY  (then connect a VNC viewer)
$([ "$demo" = 1 ] && echo "Its window shows for the demo" || echo "It starts hidden in the notification area by default"); Ctrl+C here ends it.
MSG
fi
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    velmora_make_prefix "$WINEPREFIX" || exit 1
fi
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
if [ -n "${VELMORA_DPI:-}" ]; then
    # Read when the next Wine session starts.
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$VELMORA_DPI" /f >/dev/null 2>&1
    wineserver -w
fi
if [ "$demo" = 1 ]; then
    shots="$VELMORA_ROOT/build/demo"
    mkdir -p "$shots" "$WINEPREFIX/drive_c/velmora-demo"
    export VELMORA_SCREENSHOTS="$shots" VELMORA_DIST="$(winepath -w "$VELMORA_DIST_UNIX")"
    export VELMORA_WORK="$(winepath -w "$WINEPREFIX/drive_c/velmora-demo")"
    wine "$(velmora_build_dir "$arch")/tests/e2e/velmora_demo.exe" || exit 1
    echo "Velmora goes on running (in the prefix $WINEPREFIX); close it from its window or its tray menu, or press Ctrl+C here."
    trap '[ -n "${VELMORA_XVFB_PID:-}" ] && kill "$VELMORA_XVFB_PID" 2>/dev/null; wineserver -k >/dev/null 2>&1; rm -rf "$tmp"' EXIT
    # Until the program ends, as when run.sh starts it itself.
    wineserver -w
    exit 0
fi
cd "$VELMORA_DIST_UNIX" && wine Velmora.exe
