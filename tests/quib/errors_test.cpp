// Error registration, the four report formats and the result-code name tables.
#include "log_folder.h"

#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "host/base/results.h"

using ErrorReportTest = LogFolderTest;

TEST_F(ErrorReportTest, DisplayDriverReportNamesCodeFileAndLineInBufferAndLog) {
    QuibDebugEnable(1);
    ReportDDError(DDERR_SURFACELOST, "src/x.cpp", 120);
    const char expected[] = "DirectDraw Error DDERR_SURFACELOST\nin file src/x.cpp at line 120\n";
    EXPECT_STREQ(g_ErrorText, expected);
    EXPECT_EQ(g_bError, 1);
    EXPECT_EQ(ReadLog(), expected);
}

TEST_F(ErrorReportTest, EachFamilyHasItsOwnFormat) {
    ReportDSError(DSERR_BUFFERLOST, "snd.cpp", 7);
    EXPECT_STREQ(g_ErrorText, "DirectSound Error DSERR_BUFFERLOST\nin file snd.cpp at line 7\n");
    ReportD3DError(D3DERR_SCENE_END_FAILED, "d3d.cpp", 8);
    EXPECT_STREQ(g_ErrorText, "Direct3D Error D3DERR_SCENE_END_FAILED\nin file d3d.cpp at line 8\n");
    ReportD3DRMError(D3DRMERR_BADFILE, "rm.cpp", 9);
    EXPECT_STREQ(g_ErrorText, "Direct3D-RM Error : D3DRMERR_BADFILE\nin file rm.cpp at line 9\n");
}

TEST_F(ErrorReportTest, UnknownCodeIsReportedAsUnknownError) {
    ReportDDError(S_OK, "a.cpp", 1);
    EXPECT_STREQ(g_ErrorText, "DirectDraw Error Unknown Error\nin file a.cpp at line 1\n");
    ReportD3DRMError(DDERR_SURFACELOST, "b.cpp", 2);
    EXPECT_STREQ(g_ErrorText, "Direct3D-RM Error : Unknown Error\nin file b.cpp at line 2\n");
}

TEST_F(ErrorReportTest, CallSiteMacrosPassTheirOwnFileAndLine) {
    // clang-format off
    int line = __LINE__; REPORT_DD_ERROR(DDERR_NOTFOUND);
    // clang-format on
    std::string expected = "DirectDraw Error DDERR_NOTFOUND\nin file " + std::string(__FILE__) + " at line " +
                           std::to_string(line) + "\n";
    EXPECT_EQ(std::string(g_ErrorText), expected);

    // clang-format off
    line = __LINE__; REPORT_D3DRM_ERROR(D3DRMERR_NOTFOUND);
    // clang-format on
    expected = "Direct3D-RM Error : D3DRMERR_NOTFOUND\nin file " + std::string(__FILE__) + " at line " +
               std::to_string(line) + "\n";
    EXPECT_EQ(std::string(g_ErrorText), expected);
}

TEST_F(ErrorReportTest, TextWithFormatDirectivesIsLoggedLiterally) {
    QuibDebugEnable(1);
    QuibRegError("%s%n%d");
    EXPECT_STREQ(g_ErrorText, "%s%n%d\n");
    EXPECT_EQ(ReadLog(), "%s%n%d\n");
}

TEST_F(ErrorReportTest, OverlongTextIsCutButKeepsItsNewline) {
    QuibDebugEnable(1);
    std::string text(3000, 'x');
    QuibRegError(text.c_str());
    std::string expected = std::string(kErrorTextSize - 2, 'x') + "\n";
    EXPECT_EQ(std::string(g_ErrorText), expected);
    EXPECT_EQ(ReadLog(), expected);
}

TEST_F(ErrorReportTest, OverlongReportIsCutToItsBuffer) {
    std::string file(3000, 'f');
    ReportDDError(DDERR_SURFACELOST, file.c_str(), 5);
    std::string prefix = "DirectDraw Error DDERR_SURFACELOST\nin file ";
    std::string expected = prefix + std::string(1023 - prefix.size(), 'f') + "\n";
    EXPECT_EQ(std::string(g_ErrorText), expected);
}

TEST_F(ErrorReportTest, FormattedErrorIsCutTo255Characters) {
    std::string text(400, 'y');
    RegErrorf("%s!", text.c_str());
    EXPECT_EQ(std::string(g_ErrorText), std::string(255, 'y') + "\n");
    RegErrorf("mode %dx%d not rendered", 640, 480);
    EXPECT_STREQ(g_ErrorText, "mode 640x480 not rendered\n");
}

TEST_F(ErrorReportTest, NullTextRegistersAnEmptyError) {
    QuibRegError(nullptr);
    EXPECT_STREQ(g_ErrorText, "\n");
    EXPECT_EQ(g_bError, 1);
}

// ---- name tables ----

namespace {

struct NamedCode {
    const char* name;
    HRESULT code;
};

#define NAMED_CODE(name, value) {#name, value},
const std::vector<NamedCode> kDDCodes = {HOST_DDERR_LIST(NAMED_CODE)};
const std::vector<NamedCode> kDSCodes = {HOST_DSERR_LIST(NAMED_CODE)};
const std::vector<NamedCode> kD3DCodes = {HOST_D3DERR_LIST(NAMED_CODE)};
const std::vector<NamedCode> kD3DRMCodes = {HOST_D3DRMERR_LIST(NAMED_CODE)};
#undef NAMED_CODE

void ExpectEveryNameDecoded(const std::vector<NamedCode>& codes, const char* (*decode)(HRESULT)) {
    std::set<std::string> names;
    for (const NamedCode& entry : codes) {
        EXPECT_STREQ(decode(entry.code), entry.name);
        names.insert(entry.name);
    }
    EXPECT_EQ(names.size(), codes.size()) << "a name is listed twice";
}

void ExpectUnknown(const char* (*decode)(HRESULT), const std::vector<HRESULT>& codes) {
    for (HRESULT code : codes)
        EXPECT_STREQ(decode(code), "Unknown Error") << std::hex << code;
}

} // namespace

TEST(ErrorNames, DisplayDriverTableNamesAllHundredCodes) {
    EXPECT_EQ(kDDCodes.size(), 100u);
    ExpectEveryNameDecoded(kDDCodes, DDErrorName);
}

TEST(ErrorNames, SoundTableNamesAllFifteenCodes) {
    EXPECT_EQ(kDSCodes.size(), 15u);
    ExpectEveryNameDecoded(kDSCodes, DSErrorName);
}

TEST(ErrorNames, Direct3DTableNamesItsThirtyFourCodes) {
    EXPECT_EQ(kD3DCodes.size(), 34u);
    ExpectEveryNameDecoded(kD3DCodes, D3DErrorName);
}

TEST(ErrorNames, RetainedModeTableNamesItsThirteenCodes) {
    EXPECT_EQ(kD3DRMCodes.size(), 13u);
    ExpectEveryNameDecoded(kD3DRMCodes, D3DRMErrorName);
}

TEST(ErrorNames, GenericCodesDecodeToDisplayDriverNames) {
    EXPECT_STREQ(DDErrorName(E_INVALIDARG), "DDERR_INVALIDPARAMS");
    EXPECT_STREQ(DDErrorName(E_OUTOFMEMORY), "DDERR_OUTOFMEMORY");
    EXPECT_STREQ(DDErrorName(E_NOTIMPL), "DDERR_UNSUPPORTED");
    EXPECT_STREQ(DDErrorName(E_FAIL), "DDERR_GENERIC");
    EXPECT_STREQ(DDErrorName(CO_E_NOTINITIALIZED), "DDERR_NOTINITIALIZED");
}

TEST(ErrorNames, SuccessAndUnlistedCodesAreUnknown) {
    const HRESULT unlisted = HOST_MAKE_FAILURE(0x0876, 0x7fff);
    ExpectUnknown(DDErrorName, {S_OK, S_FALSE, E_NOINTERFACE, E_POINTER, unlisted, DSERR_BUFFERLOST});
    ExpectUnknown(DSErrorName, {S_OK, S_FALSE, unlisted, DDERR_SURFACELOST, D3DRMERR_BADOBJECT});
    ExpectUnknown(D3DErrorName, {S_OK, unlisted, E_FAIL, D3DRMERR_BADOBJECT, HOST_MAKE_FAILURE(0x0877, 35)});
    ExpectUnknown(D3DRMErrorName,
                  {S_OK, unlisted, E_FAIL, D3DERR_BADMAJORVERSION, HOST_MAKE_FAILURE(0x0879, 14)});
}
