# Shared by run.sh, test.sh and bench.sh: installing what is missing, building
# both architectures, finding out which of them this machine can run, and a
# private Wine prefix on a virtual display.

VELMORA_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

velmora_packages=(
    cmake make g++ python3 googletest libgtest-dev
    g++-mingw-w64-i686 mingw-w64-i686-dev g++-mingw-w64-x86-64 mingw-w64-x86-64-dev
    wine wine32:i386 wine64 xvfb xdotool x11-utils x11-apps imagemagick
    clang libclang-rt-dev clang-format
)

# Installs the packages above that are missing (needs root the first time).
# wine32 installs on every machine, even one whose kernel refuses to run it.
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

# The build folder of an architecture (x86 or x64) and the folder its
# program lands in.
velmora_build_dir() { [ "$1" = x64 ] && echo "$VELMORA_ROOT/build/win64" || echo "$VELMORA_ROOT/build/win32"; }
velmora_dist_dir() { [ "$1" = x64 ] && echo "$VELMORA_ROOT/dist/x64" || echo "$VELMORA_ROOT/dist"; }

# Both Windows builds, whatever this machine can run, and the native unit
# tests; only one of them while VELMORA_ONLY_ARCH names it (a quicker round
# while working). "program" builds only the two files of each dist folder,
# "demo" those and what run.sh --demo drives them with, "win-only" skips the
# native build.
velmora_build() {
    local jobs targets=() arch toolchain
    jobs=$(nproc 2>/dev/null || echo 2)
    [ "${1:-}" = program ] && targets=(--target Velmora hook)
    [ "${1:-}" = demo ] && targets=(--target Velmora hook velmora_demo popup_maker)
    for arch in ${VELMORA_ONLY_ARCH:-x86 x64}; do
        [ "$arch" = x64 ] && toolchain=mingw-x86_64 || toolchain=mingw-i686
        cmake -S "$VELMORA_ROOT" -B "$(velmora_build_dir $arch)" \
            -DCMAKE_TOOLCHAIN_FILE="$VELMORA_ROOT/cmake/$toolchain.cmake" -DCMAKE_BUILD_TYPE=Release >/dev/null &&
            cmake --build "$(velmora_build_dir $arch)" -j"$jobs" "${targets[@]}" || return 1
    done
    if [ -z "${1:-}" ]; then
        cmake -S "$VELMORA_ROOT" -B "$VELMORA_ROOT/build/native" -DCMAKE_BUILD_TYPE=Release >/dev/null &&
            cmake --build "$VELMORA_ROOT/build/native" -j"$jobs" || return 1
    fi
}

# Wine's loader of an architecture: the one of Debian's wine32 or wine64
# package, or the one named by VELMORA_WINE32_LOADER / VELMORA_WINE64_LOADER.
velmora_wine_loader() {
    local override package name path
    if [ "$1" = x64 ]; then
        override="${VELMORA_WINE64_LOADER:-}" package=wine64 name=wine64
    else
        override="${VELMORA_WINE32_LOADER:-}" package=wine32 name=wine
    fi
    [ -n "$override" ] && { echo "$override"; return; }
    path=$(dpkg -L "$package" 2>/dev/null | grep -E "/$name\$" | while read -r p; do
        [ -f "$p" ] && echo "$p"; done | head -n1)
    echo "${path:-/usr/lib/wine/$name}"
}

# Whether a Wine loader can run here. On failure VELMORA_LOADER_PROBLEM says
# why, in one line (for example "Exec format error" where the kernel
# refuses 32-bit programs).
velmora_probe_loader() {
    local loader="$1" out
    VELMORA_LOADER_PROBLEM=""
    if [ ! -e "$loader" ]; then
        VELMORA_LOADER_PROBLEM="$loader is missing"
        return 1
    fi
    if out=$("$loader" --version 2>&1) && [[ "$out" == wine-* ]]; then
        return 0
    fi
    # The shell's own prefix ("lib.sh: line N: LOADER: ") says nothing.
    out=$(printf '%s' "$out" | tail -n 3 | sed -E 's/^.*line [0-9]+: //' | tr -s '\n' ' ')
    VELMORA_LOADER_PROBLEM="Wine's loader $loader cannot run: ${out:-it printed nothing}"
    if dmesg 2>/dev/null | grep -q "32-bit emulation disabled"; then
        VELMORA_LOADER_PROBLEM+=" (the kernel log says: 32-bit emulation disabled)"
    fi
    return 1
}

# Sets VELMORA_ARCHS to the architectures this machine runs, x64 first, and
# prints one line saying which; where 32-bit code cannot run, one more line
# says why. Fails when not even the 64-bit loader runs. VELMORA_ONLY_ARCH=x64
# (or x86) keeps to one of them, for a quicker run while working.
velmora_detect_archs() {
    VELMORA_ARCHS=()
    if velmora_probe_loader "$(velmora_wine_loader x64)"; then
        VELMORA_ARCHS+=(x64)
    else
        echo "*** 64-bit Windows programs cannot run here: $VELMORA_LOADER_PROBLEM" >&2
        return 1
    fi
    if velmora_probe_loader "$(velmora_wine_loader x86)"; then
        VELMORA_ARCHS+=(x86)
        echo "Architectures run here: ${VELMORA_ARCHS[*]}"
    else
        echo "Architectures run here: ${VELMORA_ARCHS[*]}"
        echo "32-bit (x86) not run: this machine cannot run 32-bit code; $VELMORA_LOADER_PROBLEM"
    fi
    if [ -n "${VELMORA_ONLY_ARCH:-}" ]; then
        [[ " ${VELMORA_ARCHS[*]} " == *" $VELMORA_ONLY_ARCH "* ]] || {
            echo "*** VELMORA_ONLY_ARCH=$VELMORA_ONLY_ARCH cannot run here" >&2
            return 1
        }
        VELMORA_ARCHS=("$VELMORA_ONLY_ARCH")
        echo "Only $VELMORA_ONLY_ARCH, as VELMORA_ONLY_ARCH asks."
    fi
}

# Points wine, wine-stable (which Wine's own tools call) and WINELOADER at
# the loader of one architecture, through wrappers first on PATH: Debian's
# wine script picks the 32-bit loader whenever it is installed, even where
# it cannot run. Also sets WINEARCH and VELMORA_DIST_UNIX.
velmora_use_arch() {
    local arch="$1" dir="$2/bin" loader
    loader=$(velmora_wine_loader "$arch")
    mkdir -p "$dir"
    printf '#!/bin/sh\nexec "%s" "$@"\n' "$loader" >"$dir/wine"
    chmod +x "$dir/wine"
    cp "$dir/wine" "$dir/wine-stable"
    [ -z "${VELMORA_PATH_BEFORE_ARCH:-}" ] && VELMORA_PATH_BEFORE_ARCH="$PATH"
    export PATH="$dir:$VELMORA_PATH_BEFORE_ARCH" WINELOADER="$loader"
    [ "$arch" = x64 ] && export WINEARCH=win64 || export WINEARCH=win32
    VELMORA_DIST_UNIX=$(velmora_dist_dir "$arch")
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

# A fresh prefix of the architecture chosen by velmora_use_arch, at the
# display scale DPI names (96 when not given; 144 is 150 %). Without a
# window manager Wine waits two seconds on every hidden or destroyed window
# unless it manages the windows itself. A prefix that cannot be made prints
# the cause.
velmora_make_prefix() {
    export WINEPREFIX="$1" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
    local dpi="${2:-96}"
    mkdir -p "$WINEPREFIX"
    local log="$WINEPREFIX.boot.log"
    if ! wineboot -i >"$log" 2>&1; then
        echo "*** the Wine prefix $WINEPREFIX ($WINEARCH) could not be made; wineboot said:" >&2
        tail -n 5 "$log" | sed 's/^/    /' >&2
        return 1
    fi
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
    # Read when the next Wine session starts, after the wait below.
    [ "$dpi" != 96 ] &&
        wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
    wineserver -w
}

# A folder that takes no new file, holding default.lst ("kept" CR LF), for
# the case of a list file in a read-only folder. Permissions do not stop
# root, who gets a small tmpfs mounted read-only instead (velmora_drop_readonly_dir
# unmounts it); anyone else a folder without write permission.
velmora_make_readonly_dir() {
    local dir="$1"
    mkdir -p "$dir" || return 1
    if [ "$(id -u)" -eq 0 ]; then
        mount -t tmpfs -o size=64k tmpfs "$dir" 2>/dev/null || return 1
        if ! { printf 'kept\r\n' >"$dir/default.lst" && mount -o remount,ro "$dir"; }; then
            umount "$dir"
            return 1
        fi
    else
        printf 'kept\r\n' >"$dir/default.lst" && chmod 555 "$dir"
    fi
}

velmora_drop_readonly_dir() {
    local dir="$1"
    [ -d "$dir" ] || return 0
    if mountpoint -q "$dir" 2>/dev/null; then
        umount "$dir"
    else
        chmod 755 "$dir"
    fi
}

# The local stand-in for the update server (update_server.py), serving
# DIR/http; sets VELMORA_HTTP_PID, VELMORA_HTTP_PORT and VELMORA_CLOSED_PORT
# (where nothing listens).
velmora_start_update_server() {
    local dir="$1" i
    mkdir -p "$dir/http"
    python3 "$VELMORA_ROOT/scripts/update_server.py" "$dir/http" "$dir/http.port" &
    VELMORA_HTTP_PID=$!
    for i in $(seq 1 50); do
        [ -s "$dir/http.port" ] && break
        sleep 0.1
    done
    read -r VELMORA_HTTP_PORT VELMORA_CLOSED_PORT <"$dir/http.port" 2>/dev/null || return 1
    export VELMORA_HTTP_PORT VELMORA_CLOSED_PORT
}
