#!/usr/bin/env bash
# libquibhost.so exports the platform interface only: the functions and identifiers that the engine, the
# sound library, the framework and the programs call. No member of a host class, no internal helper of
# the backends, the window layer or the drivers, nothing of the standard library, and a small count.
# Usage: check_host_exports.sh LIBQUIBHOST
set -euo pipefail
library="$1"
status=0
fail() { echo "FAIL: $*"; status=1; }

# Name of every defined dynamic symbol, without its parameter list (and without the AddressSanitizer's
# own markers for exported globals, which a sanitizer build adds).
names="$(nm -DC --defined-only "$library" | sed -E 's/^[0-9a-f]* [A-Za-z] //; s/\(.*$//' |
         grep -vE '^(_init|_fini|_edata|_end|__bss_start)$' | grep -v '^__odr_asan\.' | sort -u)"
count="$(wc -l <<<"$names")"
echo "libquibhost.so exports $count symbols"

for name in DirectDrawCreate DirectInputCreateA DirectSoundCreate Direct3DRMCreate CreateWindowExA \
            PeekMessageA timeSetEvent GetPrivateProfileStringA IID_IDirectDraw7 c_dfDIKeyboard; do
    grep -qxF "$name" <<<"$names" || fail "the platform function or identifier $name is not exported"
done

for name in HostGetBackend HostBackendStarted g_HostHeadlessBackend g_HostSdlBackend HostSetMachine \
            HostDefaultMachine HostHeadlessSetScript HostHeadlessShownPicture HostHeadlessUseVirtualClock \
            HostHeadlessReset HostSetClockSource HostTimersRunDue HostResetWindowLayer HostPresentPrimary \
            HostPresentedFrames HostGetMachine HostParseMachineText; do
    if grep -qxF "$name" <<<"$names"; then fail "the internal $name is exported"; fi
done

# Members of classes (the drivers' objects, the mixer, the INI document...), their tables and type
# information stay inside, and so does the standard library's template code.
members="$(grep -E '::|^(vtable|typeinfo|VTT|guard variable) ' <<<"$names" || true)"
[ -z "$members" ] || fail "class members or type information exported: $(head -5 <<<"$members" | tr '\n' ';')"
bash "$(dirname "$0")/no_std_exports.sh" "$library" || status=1

[ "$count" -le 200 ] || fail "$count symbols exported; the platform interface is about 150"
exit $status
