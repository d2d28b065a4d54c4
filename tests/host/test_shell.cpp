// Starting programs and opening addresses: recorded when headless, really started otherwise.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "host/win/shell.h"
#include "win_test_folder.h"

namespace {

using testsupport::WaitForText;
using wintest::CurrentFolderGuard;
using wintest::EnvironmentGuard;
using wintest::ReadText;
using wintest::TempFolder;
using wintest::WriteText;

intptr_t Code(HINSTANCE result) {
    return reinterpret_cast<intptr_t>(result);
}

void WriteScript(const std::string& path, const std::string& body) {
    WriteText(path, "#!/bin/sh\n" + body);
    chmod(path.c_str(), 0755);
}

class ShellHeadless : public ::testing::Test {
  protected:
    void SetUp() override {
        WriteScript(folder_ / "Menu Folder/Tessary/tessary", "touch \"" + (folder_ / "started") + "\"\n");
        WriteScript(folder_ / "Menu Folder/lobbit", "touch \"" + (folder_ / "started") + "\"\n");
    }
    std::string Record() { return ReadText(record_); }

    TempFolder folder_;
    std::string record_ = folder_ / "record.txt";
    EnvironmentGuard headless_{"HOST_BACKEND", "headless"};
    EnvironmentGuard recordFile_{"HOST_RECORD", record_.c_str()};
};

TEST_F(ShellHeadless, WebAddressIsRecordedNotOpened) {
    const char* url = "http://example.org/cgi-bin/hiscore.cgi?game=Tessary&name=Ann Lee&score=-5";
    EXPECT_GT(Code(ShellExecuteA(nullptr, "open", url, nullptr, nullptr, 1)), 32);
    EXPECT_EQ(Record(), std::string("open ") + url + "\n");
}

TEST_F(ShellHeadless, ProgramStartIsRecordedWithProgramParametersAndFolder) {
    std::string menu = folder_ / "Menu Folder";
    std::string game = menu + "\\Tessary";
    EXPECT_GT(Code(ShellExecuteA(nullptr, "open", "Tessary.exe", menu.c_str(), game.c_str(), 1)), 32);
    EXPECT_EQ(Record(), "start " + (folder_ / "Menu Folder/Tessary/tessary") + " " + menu + " " +
                            (folder_ / "Menu Folder/Tessary") + "\n");
    EXPECT_FALSE(std::filesystem::exists(folder_ / "started"));
}

TEST_F(ShellHeadless, GameReturnsToTheMenuByFullProgramPath) {
    std::string menu = folder_ / "Menu Folder";
    std::string program = menu + "\\Lobbit.exe";
    EXPECT_GT(Code(ShellExecuteA(nullptr, "open", program.c_str(), "Tessary", menu.c_str(), 1)), 32);
    EXPECT_EQ(Record(), "start " + (folder_ / "Menu Folder/lobbit") + " Tessary " + menu + "\n");
}

TEST_F(ShellHeadless, UnknownProgramIsRecordedAsGiven) {
    CurrentFolderGuard restore;
    ASSERT_EQ(chdir(folder_.Path().c_str()), 0);
    EXPECT_GT(Code(ShellExecuteA(nullptr, "open", "Other.exe", nullptr, nullptr, 1)), 32);
    EXPECT_EQ(Record(), "start Other.exe  " + folder_.Path() + "\n");
}

class ShellReal : public ::testing::Test {
  protected:
    TempFolder folder_;
    EnvironmentGuard realBackend_{"HOST_BACKEND", nullptr};
};

TEST_F(ShellReal, ProgramStartsDetachedInItsFolderWithOneParameter) {
    std::string game = folder_ / "Menu Folder/Game Folder";
    std::string report = folder_ / "report.txt";
    // The report is written to a side file and moved into place, so it is read whole.
    WriteScript(game + "/tool", "{ echo \"$#\"; echo \"$1\"; pwd; echo \"$PPID\"; } > \"" + report +
                                    ".part\"\nmv \"" + report + ".part\" \"" + report + "\"\n");
    std::string parameter = folder_ / "Menu Folder";
    parameter += " $(echo not run); & | \"quoted\"";
    std::string gameInProgramForm = folder_.Path() + "\\MENU FOLDER\\game folder";
    HINSTANCE result =
        ShellExecuteA(nullptr, "open", "TOOL.exe", parameter.c_str(), gameInProgramForm.c_str(), 1);
    ASSERT_GT(Code(result), 32);
    std::string expected = "1\n" + parameter + "\n" + game + "\n";
    std::string got = WaitForText(report);
    ASSERT_EQ(got.compare(0, expected.size(), expected), 0) << got;
    // Not this process's child: it was handed over when its starter ended.
    EXPECT_NE(std::stol(got.substr(expected.size())), long(getpid()));
}

TEST_F(ShellReal, ProgramWithoutParametersGetsNoArgument) {
    std::string report = folder_ / "report.txt";
    WriteScript(folder_ / "tool",
                "echo \"$#\" > \"" + report + ".part\"; mv \"" + report + ".part\" \"" + report + "\"\n");
    CurrentFolderGuard restore;
    ASSERT_EQ(chdir(folder_.Path().c_str()), 0);
    ASSERT_GT(Code(ShellExecuteA(nullptr, nullptr, "tool.exe", "", nullptr, 1)), 32);
    EXPECT_EQ(WaitForText(report), "0\n");
}

TEST_F(ShellReal, MissingProgramOrFolderFails) {
    WriteText(folder_ / "notes.txt", "not a program");
    EXPECT_EQ(Code(ShellExecuteA(nullptr, "open", "Missing.exe", nullptr, folder_.Path().c_str(), 1)),
              SE_ERR_FNF);
    EXPECT_EQ(Code(ShellExecuteA(nullptr, "open", "notes.txt", nullptr, folder_.Path().c_str(), 1)),
              SE_ERR_FNF);
    std::string noFolder = folder_ / "nofolder";
    EXPECT_EQ(Code(ShellExecuteA(nullptr, "open", "x.exe", nullptr, noFolder.c_str(), 1)), SE_ERR_PNF);
    EXPECT_LE(Code(ShellExecuteA(nullptr, "print", "x.exe", nullptr, nullptr, 1)), 32);
    EXPECT_LE(Code(ShellExecuteA(nullptr, "open", nullptr, nullptr, nullptr, 1)), 32);
}

TEST_F(ShellReal, WebAddressGoesToTheBrowserOpenerAsOneArgument) {
    std::string bin = folder_ / "bin";
    std::string report = folder_ / "opened.txt";
    WriteScript(bin + "/xdg-open",
                "echo \"$#|$1\" > \"" + report + ".part\"; mv \"" + report + ".part\" \"" + report + "\"\n");
    const char* oldPath = std::getenv("PATH");
    std::string path = bin + ":" + (oldPath ? oldPath : "/usr/bin:/bin");
    EnvironmentGuard searchPath("PATH", path.c_str());
    const char* url = "https://example.org/cgi-bin/hiscore.cgi?game=Tessary&name=A B;C&score=12";
    ASSERT_GT(Code(ShellExecuteA(nullptr, "open", url, nullptr, nullptr, 1)), 32);
    EXPECT_EQ(WaitForText(report), std::string("1|") + url + "\n");
}

TEST_F(ShellReal, WebAddressWithoutABrowserOpenerFails) {
    EnvironmentGuard searchPath("PATH", (folder_ / "empty").c_str());
    EXPECT_EQ(Code(ShellExecuteA(nullptr, "open", "mailto:someone@example.org", nullptr, nullptr, 1)),
              SE_ERR_NOASSOC);
}

} // namespace
