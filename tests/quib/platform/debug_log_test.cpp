// The debug log: off by default, emptied by the first line of a process, appended to afterwards.
#include "tests/quib/log_folder.h"

using DebugLogTest = LogFolderTest;

TEST_F(DebugLogTest, LogOffCreatesNoFileButErrorsAreStillRegistered) {
    DebugPrintf("line %d\n", 1);
    QuibRegError("x");
    EXPECT_FALSE(LogExists());
    EXPECT_STREQ(g_ErrorText, "x\n");
    EXPECT_EQ(g_bError, 1);
}

TEST_F(DebugLogTest, FirstLineEmptiesOldLogAndLaterLinesAppendAlsoAfterOffAndOn) {
    WriteFile("debug.log", "left over from an earlier run\n");
    QuibDebugEnable(1);
    DebugPrintf("first %s\n", "line");
    EXPECT_EQ(ReadLog(), "first line\n");
    DebugPrintf("second\n");
    EXPECT_EQ(ReadLog(), "first line\nsecond\n");

    QuibDebugEnable(0);
    DebugPrintf("while off\n");
    EXPECT_EQ(ReadLog(), "first line\nsecond\n");

    QuibDebugEnable(1);
    DebugPrintf("third\n");
    EXPECT_EQ(ReadLog(), "first line\nsecond\nthird\n");
}

TEST_F(DebugLogTest, CreatedMarkIsProcessWideSoAnotherFoldersLogIsAppendedTo) {
    QuibDebugEnable(1);
    DebugPrintf("here\n");
    std::filesystem::create_directory("other");
    std::filesystem::current_path("other");
    WriteFile("debug.log", "kept\n");
    DebugPrintf("appended\n");
    EXPECT_EQ(ReadLog(), "kept\nappended\n");
    std::filesystem::current_path(Folder());
}

TEST_F(DebugLogTest, AnyNonZeroValueSwitchesTheLogOn) {
    QuibDebugEnable(2);
    EXPECT_NE(g_bDebug, 0);
    DebugPrintf("on\n");
    EXPECT_EQ(ReadLog(), "on\n");
    QuibDebugEnable(0);
    EXPECT_EQ(g_bDebug, 0);
}

TEST_F(DebugLogTest, LineThatCannotBeWrittenIsDroppedAndTheNextOneStillEmptiesTheLog) {
    // A folder named debug.log cannot be opened as a file.
    std::filesystem::create_directory("debug.log");
    QuibDebugEnable(1);
    DebugPrintf("lost\n");
    EXPECT_TRUE(std::filesystem::is_directory("debug.log"));

    std::filesystem::remove("debug.log");
    WriteFile("debug.log", "stale\n");
    DebugPrintf("kept\n");
    EXPECT_EQ(ReadLog(), "kept\n");
}

TEST_F(DebugLogTest, RegisteredErrorsGoToTheLogWhenItIsOn) {
    QuibDebugEnable(1);
    QuibRegError("first");
    RegError("second");
    EXPECT_EQ(ReadLog(), "first\nsecond\n");
    EXPECT_STREQ(g_ErrorText, "second\n");
}
