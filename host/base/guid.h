// Interface and driver identifiers. Each identifier is one object with a stable address: callers may
// compare identifiers by address (as the engine does for driver GUIDs) or by value with IsEqualGUID.
#pragma once

#include <cstring>

#include "host/base/export.h"
#include "host/base/types.h"

struct GUID {
    DWORD Data1;
    WORD Data2;
    WORD Data3;
    BYTE Data4[8];
};
typedef GUID IID;
typedef GUID* LPGUID;
typedef const GUID& REFGUID;
typedef const IID& REFIID;
typedef const GUID& REFCLSID;

inline bool IsEqualGUID(REFGUID a, REFGUID b) {
    return std::memcmp(&a, &b, sizeof(GUID)) == 0;
}
inline bool operator==(REFGUID a, REFGUID b) {
    return IsEqualGUID(a, b);
}

// Declares an identifier defined once in a host source file (HOST_DEFINE_GUID there). Identifiers are
// part of the platform interface, exported from the host library.
#define HOST_DECLARE_GUID(name) HOST_API extern const GUID name
#define HOST_DEFINE_GUID(name, d1, d2, d3, b0, b1, b2, b3, b4, b5, b6, b7)                                   \
    HOST_API extern const GUID name;                                                                         \
    const GUID name = {d1, d2, d3, {b0, b1, b2, b3, b4, b5, b6, b7}}
