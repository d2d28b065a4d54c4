// The CREATE and RELEASE lines and the release pattern, with a counted fake interface.
#include "tests/quib/log_folder.h"

#include "host/base/unknown.h"
#include "quib/platform/interfacelog.h"

namespace {

class FakeInterface : public IUnknown, public RefCount {
  public:
    static int destroyed;
    HRESULT QueryInterface(REFIID riid, void** out) override {
        return HostQuerySingle<IUnknown>(this, IID_IUnknown, riid, out);
    }
    HOST_REFCOUNTED
    ~FakeInterface() override { destroyed++; }
};
int FakeInterface::destroyed = 0;

class InterfaceLogTest : public LogFolderTest {
  protected:
    void SetUp() override {
        LogFolderTest::SetUp();
        FakeInterface::destroyed = 0;
        QuibDebugEnable(1);
    }
};

} // namespace

TEST_F(InterfaceLogTest, CreateLineNamesPointerAndVariable) {
    FakeInterface* fake = new FakeInterface;
    LogCreate(fake, "InitDirectX : g_lpDD");
    EXPECT_EQ(ReadLog(), "CREATE:<" + Ptr(fake) + ">InitDirectX : g_lpDD\n");
    fake->Release();
}

TEST_F(InterfaceLogTest, FailedCreationLogsNothing) {
    LogCreate(nullptr, "InitDirectX : g_lpDD");
    EXPECT_FALSE(LogExists());
}

TEST_F(InterfaceLogTest, ReleaseOfLastReferenceLogsZeroAndClearsPointer) {
    FakeInterface* g_lpFake = new FakeInterface;
    const std::string address = Ptr(g_lpFake);
    EXPECT_EQ(ReleaseInterface(g_lpFake, "g_lpFake"), 0ul);
    EXPECT_EQ(g_lpFake, nullptr);
    EXPECT_EQ(FakeInterface::destroyed, 1);
    EXPECT_EQ(ReadLog(), "RELEASE:<" + address + ">g_lpFake->Release()=0\n");
}

TEST_F(InterfaceLogTest, ReleaseWithOtherHoldersLogsTheCountAndStillClearsPointer) {
    FakeInterface* other = new FakeInterface;
    other->AddRef();
    FakeInterface* g_lpBackBuffer = other;
    EXPECT_EQ(ReleaseInterface(g_lpBackBuffer, "g_lpBackBuffer"), 1ul);
    EXPECT_EQ(g_lpBackBuffer, nullptr);
    EXPECT_EQ(FakeInterface::destroyed, 0);
    EXPECT_EQ(ReadLog(), "RELEASE:<" + Ptr(other) + ">g_lpBackBuffer->Release()=1\n");

    // Releasing the variable again (as a restart or shutdown does) must not give up the other holder's
    // reference.
    ReleaseInterface(g_lpBackBuffer, "g_lpBackBuffer");
    EXPECT_EQ(FakeInterface::destroyed, 0);
    EXPECT_EQ(other->Release(), 0ul);
    EXPECT_EQ(FakeInterface::destroyed, 1);
}

TEST_F(InterfaceLogTest, ReleaseOfNullLogsAlreadyNullWithNullPointer) {
    FakeInterface* g_lpZBuffer = nullptr;
    EXPECT_EQ(ReleaseInterface(g_lpZBuffer, "g_lpZBuffer"), 0ul);
    EXPECT_EQ(ReadLog(), "RELEASE:<" + Ptr(nullptr) + ">g_lpZBuffer already NULL\n");
}

TEST_F(InterfaceLogTest, MacroUsesTheVariablesOwnName) {
    FakeInterface* g_lpClipper = new FakeInterface;
    const std::string address = Ptr(g_lpClipper);
    RELEASE_INTERFACE(g_lpClipper);
    RELEASE_INTERFACE(g_lpClipper);
    EXPECT_EQ(ReadLog(), "RELEASE:<" + address + ">g_lpClipper->Release()=0\n" + "RELEASE:<" + Ptr(nullptr) +
                             ">g_lpClipper already NULL\n");
}

TEST_F(InterfaceLogTest, ReleaseWithLogOffStillReleasesAndClears) {
    QuibDebugEnable(0);
    FakeInterface* fake = new FakeInterface;
    ReleaseInterface(fake, "fake");
    EXPECT_EQ(fake, nullptr);
    EXPECT_EQ(FakeInterface::destroyed, 1);
    EXPECT_FALSE(LogExists());
}
