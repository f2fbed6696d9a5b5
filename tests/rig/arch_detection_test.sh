#!/usr/bin/env bash
# The rig's answer to "can this machine run 32-bit code?", for both answers:
# a stand-in loader that the kernel refuses the way it refuses Wine's 32-bit
# loader where 32-bit emulation is disabled, and one that works.
set -u
source "$(dirname "$0")/../../scripts/lib.sh"
unset VELMORA_ONLY_ARCH # the detection itself is under test here

dir=$(mktemp -d /tmp/velmora-rig.XXXXXX)
trap 'rm -rf "$dir"' EXIT
failures=0
check() { # check DESCRIPTION CONDITION...
    local what="$1"
    shift
    if "$@"; then echo "ok: $what"; else echo "FAILED: $what"; failures=$((failures + 1)); fi
}

# An ELF header for a machine no x86 kernel runs: execve answers ENOEXEC,
# "Exec format error", exactly as for a 32-bit program on such a kernel.
refused="$dir/wine-refused"
printf '\177ELF\001\001\001\000\000\000\000\000\000\000\000\000\002\000\377\377\001\000\000\000' >"$refused"
head -c 64 /dev/zero >>"$refused"
chmod +x "$refused"
working="$dir/wine-working"
printf '#!/bin/sh\necho wine-8.0 "(stand-in)"\n' >"$working"
chmod +x "$working"

velmora_probe_loader "$refused"
check "a refused loader is detected" [ $? -ne 0 ]
check "the reason names the exec failure: $VELMORA_LOADER_PROBLEM" \
    grep -q "Exec format error" <<<"$VELMORA_LOADER_PROBLEM"
velmora_probe_loader "$dir/missing"
check "a missing loader is detected" [ $? -ne 0 ]
velmora_probe_loader "$working"
check "a working loader is accepted" [ $? -eq 0 ]

# The whole detection: x64 always, x86 only where its loader runs, and one
# line saying why when it does not.
out=$(VELMORA_WINE64_LOADER="$working" VELMORA_WINE32_LOADER="$refused" velmora_detect_archs; echo "archs=${VELMORA_ARCHS[*]}")
check "without 32-bit support only x64 runs" grep -qx "archs=x64" <<<"$out"
check "and one line says why" grep -q "^32-bit (x86) not run: .*Exec format error" <<<"$out"
out=$(VELMORA_WINE64_LOADER="$working" VELMORA_WINE32_LOADER="$working" velmora_detect_archs; echo "archs=${VELMORA_ARCHS[*]}")
check "with 32-bit support both run" grep -qx "archs=x64 x86" <<<"$out"
check "and nothing says x86 is left out" bash -c '! grep -q "not run" <<<"$1"' _ "$out"
VELMORA_WINE64_LOADER="$refused" velmora_detect_archs >/dev/null 2>&1
check "no 64-bit loader is a failure" [ $? -ne 0 ]

# Without an override, the loaders are the files of Debian's packages.
check "the 64-bit loader found is a program" [ -f "$(velmora_wine_loader x64)" -a -x "$(velmora_wine_loader x64)" ]
check "the 32-bit loader found is a program" [ -f "$(velmora_wine_loader x86)" -a -x "$(velmora_wine_loader x86)" ]

# The wrappers hand every Wine tool the chosen loader, not Debian's pick.
VELMORA_WINE64_LOADER="$working" velmora_use_arch x64 "$dir/use"
check "wine runs the chosen loader" grep -q "stand-in" <<<"$(wine --version)"
check "so does wine-stable" grep -q "stand-in" <<<"$(wine-stable --version)"
check "WINEARCH fits" [ "$WINEARCH" = win64 ]

exit $((failures > 0))
