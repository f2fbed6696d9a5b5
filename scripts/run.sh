#!/usr/bin/env bash
# Builds Velmora and runs it under Wine: on $DISPLAY when there is one,
# otherwise on a virtual display of its own.
set -u
source "$(dirname "$0")/lib.sh"

velmora_install_deps || exit 1
velmora_build program || exit 1

export WINEPREFIX="${WINEPREFIX:-$HOME/.wine-velmora}" WINEARCH=win32 WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    echo "Running Velmora on $DISPLAY (prefix $WINEPREFIX)."
else
    tmp=$(mktemp -d /tmp/velmora-run.XXXXXX)
    velmora_start_xvfb "$tmp" || exit 1
    trap 'kill $VELMORA_XVFB_PID 2>/dev/null; rm -rf "$tmp"' EXIT
    if [ ! -d "$WINEPREFIX" ]; then
        mkdir -p "$WINEPREFIX"
        wineboot -i >/dev/null 2>&1
        wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
    fi
    cat <<MSG
No display found: Velmora runs on the virtual display $DISPLAY (prefix $WINEPREFIX).
To see it, from another terminal:
  screenshot:  xwd -root -display $DISPLAY | convert xwd:- velmora.png
  live view:   apt-get install x11vnc && x11vnc -display $DISPLAY  (then connect a VNC viewer)
It starts hidden in the notification area by default; Ctrl+C here ends it.
MSG
fi
cd "$VELMORA_ROOT/dist" && wine Velmora.exe
