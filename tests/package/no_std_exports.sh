#!/usr/bin/env bash
# A shared library of the package exports no symbol of the standard library (namespace std or
# __gnu_cxx): its template code, type information and statics stay inside the library that instantiates
# them, read from the mangled names (St and its abbreviations Sa, Sb, Ss, Si, So, Sd after the
# qualifiers that introduce a name).
# Usage: no_std_exports.sh LIBRARY
set -euo pipefail
library="$1"
std="$(nm -D --defined-only "$library" | awk '{ print $NF }' |
       grep -E '^_Z(Z|T[ISV]|GVZ?)?N?K?(S[tabsiod]|9__gnu_cxx)' || true)"
if [ -n "$std" ]; then
    echo "FAIL: $(basename "$library") exports $(wc -l <<<"$std") symbols of the standard library:"
    head -5 <<<"$std" | c++filt | cut -c1-160 | sed 's/^/  /'
    exit 1
fi
