#!/usr/bin/env bash
# Each program exports the sound library's classes QuibSound and SNDSample, and nothing else of its own:
# every other symbol it defines dynamically is one the linker always adds (with main), the standard
# library's template code that the shared libraries use too, or data of a shared library that the program
# holds (a copy relocation).
# Usage: check_program_exports.sh PROGRAM...
set -euo pipefail
status=0
for program in "$@"; do
    exports="$(nm -DC --defined-only "$program")"
    for class in QuibSound SNDSample; do
        grep -q " ${class}::" <<<"$exports" || { echo "FAIL: $program does not export $class"; status=1; }
    done
    for member in "QuibSound::Init(" "QuibSound::LoadStream(" "QuibSound::g_lpDSound" "SNDSample::ChainSample("; do
        grep -qF " $member" <<<"$exports" || { echo "FAIL: $program does not export $member"; status=1; }
    done
    # Copy-relocated data: defined here, and also by a library the program loads.
    libraries="$(ldd "$program" | awk '/=> \//{print $3}')"
    others="$(grep -vE ' (QuibSound|SNDSample)::' <<<"$exports" |
              grep -vE ' (_IO_stdin_used|__bss_start|_edata|_end|__data_start|data_start|_init|_fini|main)$' |
              grep -vE ' [WV] ((void|bool|char|int|unsigned|long|unsigned int|unsigned long) )?(std|__gnu_cxx)::' || true)"
    while read -r _ type name; do
        [ -z "$name" ] && continue
        found=0
        case "$type" in
            B | D | V | u | R)
                for library in $libraries; do
                    grep -qF " ${name%%@*}" <(nm -DC --defined-only "$library") && { found=1; break; }
                done ;;
        esac
        [ "$found" = 1 ] || { echo "FAIL: $program exports $type $name"; status=1; }
    done <<<"$others"
done
exit $status
