// The generic result codes and the input devices' codes have the values the platform documents, and the
// names documented as another code's value are that code.
#include <gtest/gtest.h>

#include <cstdint>
#include <iterator>
#include <set>

#include "host/base/results.h"

namespace {

// A result code's name, its value here and the value the platform documents for it.
struct DocumentedCode {
    const char* name;
    HRESULT code;
    uint32_t documented;
};

const DocumentedCode kGenericCodes[] = {
    {"S_OK", S_OK, 0x00000000},
    {"S_FALSE", S_FALSE, 0x00000001},
    {"E_NOTIMPL", E_NOTIMPL, 0x80004001},
    {"E_NOINTERFACE", E_NOINTERFACE, 0x80004002},
    {"E_POINTER", E_POINTER, 0x80004003},
    {"E_FAIL", E_FAIL, 0x80004005},
    {"E_PENDING", E_PENDING, 0x8000000A},
    {"E_ACCESSDENIED", E_ACCESSDENIED, 0x80070005},
    {"E_OUTOFMEMORY", E_OUTOFMEMORY, 0x8007000E},
    {"E_INVALIDARG", E_INVALIDARG, 0x80070057},
    {"CLASS_E_NOAGGREGATION", CLASS_E_NOAGGREGATION, 0x80040110},
    {"REGDB_E_CLASSNOTREG", REGDB_E_CLASSNOTREG, 0x80040154},
    {"CO_E_NOTINITIALIZED", CO_E_NOTINITIALIZED, 0x800401F0},
};

const DocumentedCode kInputCodes[] = {
    {"DIERR_INVALIDPARAM", DIERR_INVALIDPARAM, 0x80070057},
    {"DIERR_NOTINITIALIZED", DIERR_NOTINITIALIZED, 0x80070015},
    {"DIERR_INPUTLOST", DIERR_INPUTLOST, 0x8007001E},
    {"DIERR_NOTACQUIRED", DIERR_NOTACQUIRED, 0x8007000C},
    {"DIERR_ACQUIRED", DIERR_ACQUIRED, 0x800700AA},
    {"DIERR_OTHERAPPHASPRIO", DIERR_OTHERAPPHASPRIO, 0x80070005},
    {"DIERR_DEVICENOTREG", DIERR_DEVICENOTREG, 0x80040154},
    {"DIERR_NOINTERFACE", DIERR_NOINTERFACE, 0x80004002},
    {"DIERR_OBJECTNOTFOUND", DIERR_OBJECTNOTFOUND, 0x80070002},
    {"DIERR_UNSUPPORTED", DIERR_UNSUPPORTED, 0x80004001},
};

void ExpectDocumented(const DocumentedCode* begin, const DocumentedCode* end) {
    for (const DocumentedCode* entry = begin; entry != end; ++entry)
        EXPECT_EQ(uint32_t(entry->code), entry->documented) << entry->name;
}

TEST(ResultCodes, GenericCodesHaveTheirDocumentedValues) {
    ExpectDocumented(std::begin(kGenericCodes), std::end(kGenericCodes));
    std::set<HRESULT> failures;
    for (const DocumentedCode& entry : kGenericCodes) {
        if (FAILED(entry.code)) {
            EXPECT_TRUE(failures.insert(entry.code).second) << entry.name;
        }
    }
    EXPECT_EQ(failures.size(), std::size(kGenericCodes) - 2); // all but S_OK and S_FALSE fail
}

TEST(ResultCodes, InputCodesHaveTheirDocumentedValues) {
    ExpectDocumented(std::begin(kInputCodes), std::end(kInputCodes));
    EXPECT_EQ(DI_OK, S_OK);
    EXPECT_EQ(DI_BUFFEROVERFLOW, S_FALSE);
    EXPECT_EQ(DI_NOEFFECT, S_FALSE);
}

TEST(ResultCodes, DocumentedAliasesAreTheGenericCodes) {
    EXPECT_EQ(DD_OK, S_OK);
    EXPECT_EQ(DS_OK, S_OK);
    EXPECT_EQ(D3D_OK, S_OK);
    EXPECT_EQ(D3DRM_OK, S_OK);
    EXPECT_EQ(DDERR_GENERIC, E_FAIL);
    EXPECT_EQ(DDERR_INVALIDPARAMS, E_INVALIDARG);
    EXPECT_EQ(DDERR_OUTOFMEMORY, E_OUTOFMEMORY);
    EXPECT_EQ(DDERR_UNSUPPORTED, E_NOTIMPL);
    EXPECT_EQ(DDERR_NOTINITIALIZED, CO_E_NOTINITIALIZED);
    EXPECT_EQ(DSERR_GENERIC, E_FAIL);
    EXPECT_EQ(DSERR_INVALIDPARAM, E_INVALIDARG);
    EXPECT_EQ(DSERR_OUTOFMEMORY, E_OUTOFMEMORY);
    EXPECT_EQ(DSERR_UNSUPPORTED, E_NOTIMPL);
    EXPECT_EQ(DSERR_NOAGGREGATION, CLASS_E_NOAGGREGATION);
}

// The display interfaces share one facility: no two of their codes may meet, or a switch over them
// would not compile and a decoder would name the wrong family.
TEST(ResultCodes, DisplayFacilityCodesAreDistinctAcrossItsThreeFamilies) {
    std::set<HRESULT> seen;
    size_t count = 0;
#define COLLECT(name, value)                                                                                 \
    seen.insert(value);                                                                                      \
    ++count;
    HOST_DDERR_LIST(COLLECT)
    HOST_D3DERR_LIST(COLLECT)
    HOST_D3DRMERR_LIST(COLLECT)
#undef COLLECT
    EXPECT_EQ(seen.size(), count);
}

} // namespace
