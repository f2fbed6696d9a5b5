# Shared by run.sh, test.sh and bench.sh: installing what is missing, building,
# and a private Wine prefix on a virtual display.

VELMORA_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

velmora_packages=(
    cmake make g++ python3 googletest libgtest-dev
    g++-mingw-w64-i686 mingw-w64-i686-dev
    wine wine32:i386 xvfb xdotool x11-utils x11-apps imagemagick
    clang libclang-rt-dev
)

# Installs the packages above that are missing (needs root the first time).
velmora_install_deps() {
    local missing=() pkg
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        missing+=(i386-architecture)
    fi
    for pkg in "${velmora_packages[@]}"; do
        dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed" || missing+=("$pkg")
    done
    [ ${#missing[@]} -eq 0 ] && return 0

    local sudo=""
    if [ "$(id -u)" -ne 0 ]; then
        command -v sudo >/dev/null || { echo "Missing: ${missing[*]}; run as root to install them." >&2; return 1; }
        sudo=sudo
    fi
    echo "Installing: ${missing[*]}"
    $sudo dpkg --add-architecture i386
    $sudo apt-get update -qq || return 1
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends \
        "${velmora_packages[@]}" >/dev/null || return 1
}

# native: the unit tests; win: Velmora.exe, hook.dll and the Win32 tests.
# "program" builds only the two files of dist/, "win-only" skips the native build.
velmora_build() {
    local jobs targets=()
    jobs=$(nproc 2>/dev/null || echo 2)
    [ "${1:-}" = program ] && targets=(--target Velmora hook)
    cmake -S "$VELMORA_ROOT" -B "$VELMORA_ROOT/build/win" \
        -DCMAKE_TOOLCHAIN_FILE="$VELMORA_ROOT/cmake/mingw-i686.cmake" -DCMAKE_BUILD_TYPE=Release >/dev/null &&
        cmake --build "$VELMORA_ROOT/build/win" -j"$jobs" "${targets[@]}" || return 1
    if [ -z "${1:-}" ]; then
        cmake -S "$VELMORA_ROOT" -B "$VELMORA_ROOT/build/native" -DCMAKE_BUILD_TYPE=Release >/dev/null &&
            cmake --build "$VELMORA_ROOT/build/native" -j"$jobs" || return 1
    fi
}

# Starts Xvfb on a free display number; sets DISPLAY and VELMORA_XVFB_PID.
velmora_start_xvfb() {
    local dir="$1" fifo
    fifo="$dir/display"
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
    VELMORA_XVFB_PID=$!
    local i
    for i in $(seq 1 100); do
        [ -s "$fifo" ] && break
        sleep 0.1
    done
    [ -s "$fifo" ] || { echo "Xvfb did not start" >&2; return 1; }
    export DISPLAY=":$(head -n1 "$fifo")"
}

# A fresh 32-bit prefix. Without a window manager Wine waits two seconds on
# every hidden or destroyed window unless it manages the windows itself.
velmora_make_prefix() {
    export WINEPREFIX="$1" WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
    mkdir -p "$WINEPREFIX"
    wineboot -i >/dev/null 2>&1 || return 1
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
    wineserver -w
}
