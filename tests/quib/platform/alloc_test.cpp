// The allocation tracker and its shutdown report.
#include "tests/quib/log_folder.h"

#include <cstring>
#include <string>

namespace {

class AllocTrackerTest : public LogFolderTest {
  protected:
    void SetUp() override {
        LogFolderTest::SetUp();
        QuibDebugEnable(1);
    }
    std::string AddLine(const void* p, const std::string& name) {
        return "ALLOCADD:<" + Ptr(p) + ">,<" + name + ">\n";
    }
    std::string DelLine(const void* p, const std::string& name) {
        return "ALLOCDEL:<" + Ptr(p) + ">,<" + name + ">\n";
    }
    int a = 0, b = 0, c = 0;
};

} // namespace

TEST_F(AllocTrackerTest, ReportWithNothingRegisteredWritesNothing) {
    DumpAllocs();
    ALLOCDEL(&a);
    EXPECT_FALSE(LogExists());
}

TEST_F(AllocTrackerTest, OneDelRemovesEveryRecordOfThePointerAndKeepsTheOthersInOrder) {
    ALLOCADD("first", &a);
    ALLOCADD("other", &b);
    ALLOCADD("second", &a);
    ALLOCADD("last", &c);
    ALLOCDEL(&a);
    DumpAllocs();
    EXPECT_EQ(ReadLog(), AddLine(&a, "first") + AddLine(&b, "other") + AddLine(&a, "second") +
                             AddLine(&c, "last") + DelLine(&a, "first") + DelLine(&a, "second") +
                             "***** Remaining Allocs = 2\n" + DelLine(&b, "other") + DelLine(&c, "last"));
}

TEST_F(AllocTrackerTest, ConsecutiveRecordsOfOnePointerAreBothRemoved) {
    ALLOCADD("one", &a);
    ALLOCADD("two", &a);
    ALLOCDEL(&a);
    DumpAllocs();
    EXPECT_EQ(ReadLog(), AddLine(&a, "one") + AddLine(&a, "two") + DelLine(&a, "one") + DelLine(&a, "two") +
                             "***** Remaining Allocs = 0\n");
}

TEST_F(AllocTrackerTest, ReportListsWhatRemainsThenEmptiesTheTracker) {
    AllocRecord* record = ALLOCADD("mesh buffer", &a);
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->ptr, &a);
    EXPECT_STREQ(record->name, "mesh buffer");
    DumpAllocs();
    const std::string report =
        AddLine(&a, "mesh buffer") + "***** Remaining Allocs = 1\n" + DelLine(&a, "mesh buffer");
    EXPECT_EQ(ReadLog(), report);

    DumpAllocs(); // nothing left: no line
    EXPECT_EQ(ReadLog(), report);

    ALLOCADD("later", &b); // a new list
    DumpAllocs();
    EXPECT_EQ(ReadLog(),
              report + AddLine(&b, "later") + "***** Remaining Allocs = 1\n" + DelLine(&b, "later"));
}

TEST_F(AllocTrackerTest, DelOfUnregisteredPointerLogsNothing) {
    ALLOCADD("kept", &a);
    ALLOCDEL(&b);
    EXPECT_EQ(ReadLog(), AddLine(&a, "kept"));
}

TEST_F(AllocTrackerTest, LongNameIsCutTo255Characters) {
    std::string name(300, 'n');
    AllocRecord* record = ALLOCADD(name.c_str(), &a);
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(std::strlen(record->name), 255u);
    EXPECT_EQ(ReadLog(), AddLine(&a, std::string(255, 'n')));
}

TEST_F(AllocTrackerTest, FreeAllocsEmptiesTheTrackerSilently) {
    ALLOCADD("gone", &a);
    FreeAllocs();
    DumpAllocs();
    EXPECT_EQ(ReadLog(), AddLine(&a, "gone"));
}
