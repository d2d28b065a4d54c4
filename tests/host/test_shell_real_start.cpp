// HOST_START=real: a headless program records a program start and really starts it, handing it the
// script and frame limit meant for it by name.
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
using wintest::EnvironmentGuard;
using wintest::ReadText;
using wintest::TempFolder;
using wintest::WriteText;

intptr_t Code(HINSTANCE result) {
    return reinterpret_cast<intptr_t>(result);
}

class ShellRealStart : public ::testing::Test {
  protected:
    void SetUp() override {
        // The program reports the settings it was given, written aside and moved into place whole.
        const std::string report = folder_ / "report.txt";
        const std::string program = folder_ / "Menu Folder/Game-2";
        WriteText(program, "#!/bin/sh\n{ echo \"$1\"; echo \"script=${HOST_SCRIPT-none}\"; "
                           "echo \"frames=${HOST_MAX_FRAMES-none}\"; echo \"record=$HOST_RECORD\"; } > \"" +
                               report + ".part\"\nmv \"" + report + ".part\" \"" + report + "\"\n");
        chmod(program.c_str(), 0755);
    }

    TempFolder folder_;
    std::string record_ = folder_ / "record.txt";
    EnvironmentGuard headless_{"HOST_BACKEND", "headless"};
    EnvironmentGuard recordFile_{"HOST_RECORD", record_.c_str()};
    EnvironmentGuard real_{"HOST_START", "real"};
    EnvironmentGuard script_{"HOST_SCRIPT", "starter-script.txt"};
    EnvironmentGuard frames_{"HOST_MAX_FRAMES", "500"};
};

TEST_F(ShellRealStart, ProgramIsRecordedAndStartedWithTheSettingsNamedForIt) {
    EnvironmentGuard own{"HOST_SCRIPT_GAME_2", "game-script.txt"};
    const std::string menu = folder_ / "Menu Folder";
    ASSERT_GT(Code(ShellExecuteA(nullptr, "open", "game-2.exe", "Tessary", menu.c_str(), 1)), 32);
    EXPECT_EQ(ReadText(record_), "start " + menu + "/Game-2 Tessary " + menu + "\n");
    // No HOST_MAX_FRAMES_GAME_2: the starter's own limit is not handed on.
    EXPECT_EQ(WaitForText(folder_ / "report.txt"),
              "Tessary\nscript=game-script.txt\nframes=none\nrecord=" + record_ + "\n");
}

TEST_F(ShellRealStart, FrameLimitNamedForTheProgramIsHandedOn) {
    EnvironmentGuard own{"HOST_MAX_FRAMES_GAME_2", "60"};
    const std::string menu = folder_ / "Menu Folder";
    ASSERT_GT(Code(ShellExecuteA(nullptr, "open", "Game-2", nullptr, menu.c_str(), 1)), 32);
    EXPECT_EQ(WaitForText(folder_ / "report.txt"), "\nscript=none\nframes=60\nrecord=" + record_ + "\n");
}

TEST_F(ShellRealStart, MissingProgramIsRecordedAndFails) {
    const std::string menu = folder_ / "Menu Folder";
    EXPECT_EQ(Code(ShellExecuteA(nullptr, "open", "Other.exe", nullptr, menu.c_str(), 1)), SE_ERR_FNF);
    EXPECT_EQ(ReadText(record_), "start Other.exe  " + menu + "\n");
    const std::string missing = folder_ / "missing";
    EXPECT_EQ(Code(ShellExecuteA(nullptr, "open", "Game-2", nullptr, missing.c_str(), 1)), SE_ERR_PNF);
}

} // namespace
