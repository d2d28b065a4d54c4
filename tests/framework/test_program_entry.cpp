// The programs' shared entry: the arguments become the one command line the programs expect.
#include <gtest/gtest.h>

#include "framework/program_entry.h"

TEST(ProgramEntryTest, ArgumentsAreJoinedBySingleSpaces) {
    char program[] = "tessary";
    char first[] = "C:\\Program";
    char second[] = "Files\\Lobbit";
    char* argv[] = {program, first, second, nullptr};
    EXPECT_EQ(JoinArguments(1, argv), "");
    EXPECT_EQ(JoinArguments(2, argv), "C:\\Program");
    EXPECT_EQ(JoinArguments(3, argv), "C:\\Program Files\\Lobbit");
}
