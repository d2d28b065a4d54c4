// The shared temporary folders and file helpers: folders are new, removed (or kept when asked), the
// current folder comes back, and files are written where their folders do not exist yet.
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/files.h"
#include "tests/support/temp_folder.h"

namespace {

namespace fs = std::filesystem;

TEST(SupportTempFolder, EachFolderIsNewAndGoesWithItsFiles) {
    std::string kept, removed;
    {
        testsupport::TempFolder first("support folder"), second("support folder");
        ASSERT_FALSE(first.Path().empty());
        EXPECT_NE(first.Path(), second.Path());
        EXPECT_TRUE(fs::is_directory(first.Path()));
        testsupport::WriteText(first / "a/b/c.txt", "text");
        removed = first.Path();
        kept = second.Path();
        second.Keep();
    }
    EXPECT_FALSE(fs::exists(removed));
    EXPECT_TRUE(fs::is_directory(kept));
    fs::remove_all(kept);
}

TEST(SupportTempFolder, TheCurrentFolderIsTheTemporaryOneThenComesBack) {
    const fs::path before = fs::current_path();
    std::string inside;
    {
        testsupport::TempCurrentFolder folder("support-current");
        inside = folder.Path();
        EXPECT_EQ(fs::current_path(), fs::path(inside));
        testsupport::WriteText("here.txt", "x");
        EXPECT_TRUE(fs::exists(fs::path(inside) / "here.txt"));
    }
    EXPECT_EQ(fs::current_path(), before);
    EXPECT_FALSE(fs::exists(inside));
}

TEST(SupportFiles, TextLinesAndBytesReadBackAsWritten) {
    testsupport::TempFolder folder("support-files");
    testsupport::WriteText(folder / "deep/lines.txt", "one\ntwo\n\nfour");
    EXPECT_EQ(testsupport::ReadLines(folder / "deep/lines.txt"),
              (std::vector<std::string>{"one", "two", "", "four"}));
    testsupport::WriteText(folder / "deep/lines.txt", "short");
    EXPECT_EQ(testsupport::ReadText(folder / "deep/lines.txt"), "short"); // replaced, not appended
    EXPECT_EQ(testsupport::ReadText(folder / "missing"), "");
    EXPECT_TRUE(testsupport::ReadLines(folder / "missing").empty());
    EXPECT_EQ(testsupport::WaitForText(folder / "deep/lines.txt"), "short");
}

TEST(SupportFiles, LittleEndianNumbersRoundTrip) {
    std::vector<uint8_t> bytes;
    testsupport::PutLe16(bytes, 0xBEEF);
    testsupport::PutLe32(bytes, 0xFFFFFFFEu);
    EXPECT_EQ(bytes, (std::vector<uint8_t>{0xEF, 0xBE, 0xFE, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(testsupport::Le16(bytes, 0), 0xBEEF);
    EXPECT_EQ(testsupport::Le32(bytes, 2), 0xFFFFFFFEu);
}

} // namespace
