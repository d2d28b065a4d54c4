// The file dialogs on the headless backend: answered from the script, recorded, bounded, and never moving
// the current folder.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "host/backend/headless.h"
#include "host/backend/headless_script.h"
#include "host/backend/present.h"
#include "host/win/filedialog.h"
#include "host/win/folders.h"
#include "win_test_folder.h"

namespace {

using wintest::CurrentFolderGuard;
using wintest::ReadText;
using wintest::TempFolder;
using wintest::WriteText;

const char kLevelFilter[] = "Level files\0*.lev\0All files\0*.*\0";

// A level folder to choose from, the current folder set to it, and a record file of the test's own.
class FileDialogHeadless : public ::testing::Test {
  protected:
    void SetUp() override {
        setenv("HOST_BACKEND", "headless", 1);
        HostHeadlessReset();
        HostResetPresentedFrames();
        WriteText(folder_ / "Levels/001.lev", "one");
        WriteText(folder_ / "Levels/002.LEV", "two");
        WriteText(folder_ / "Levels/notes.txt", "text");
        std::filesystem::create_directories(folder_ / "Levels/Sub");
        std::filesystem::current_path(folder_.Path());
        setenv("HOST_RECORD", record_.c_str(), 1);
    }
    void TearDown() override {
        unsetenv("HOST_RECORD");
        HostHeadlessReset();
        HostResetPresentedFrames();
    }

    void Script(const std::string& text) {
        std::string message;
        ASSERT_TRUE(HostHeadlessSetScript(text, message)) << message;
    }

    // A dialog as the level editor asks for one: the buffer primed with a pattern.
    OPENFILENAMEA Dialog(const char* title, const char* folder = ".\\Levels") {
        std::memset(buffer_, 0, sizeof buffer_);
        std::strcpy(buffer_, "*.lev");
        OPENFILENAMEA dialog{};
        dialog.lStructSize = sizeof dialog;
        dialog.lpstrFilter = kLevelFilter;
        dialog.lpstrFile = buffer_;
        dialog.nMaxFile = 256;
        dialog.lpstrInitialDir = folder;
        dialog.lpstrTitle = title;
        dialog.lpstrDefExt = "lev";
        dialog.Flags = OFN_ALLOWMULTISELECT;
        return dialog;
    }

    std::string Record() { return ReadText(record_); }
    std::string CurrentFolder() {
        char folder[1024];
        return GetCurrentDirectoryA(sizeof folder, folder) ? folder : "";
    }

    TempFolder folder_;
    CurrentFolderGuard restoreFolder_;
    std::string record_ = folder_ / "record.txt";
    char buffer_[300];
};

TEST_F(FileDialogHeadless, ScriptedAnswerIsTakenFromTheDialogsFolder) {
    Script("0 dialog 001.lev\n");
    std::string before = CurrentFolder();
    OPENFILENAMEA dialog = Dialog("Load Level");
    ASSERT_TRUE(GetOpenFileNameA(&dialog));
    EXPECT_STREQ(buffer_, (folder_ / "Levels/001.lev").c_str());
    EXPECT_EQ(buffer_[std::strlen(buffer_) + 1], '\0'); // the multiple-selection list ends with an empty name
    EXPECT_EQ(dialog.nFilterIndex, 1u);
    EXPECT_EQ(Record(), "dialog open Load Level " + (folder_ / "Levels") + "\n");
    EXPECT_EQ(CurrentFolder(), before);
}

TEST_F(FileDialogHeadless, AnswerNamesAreFoundIgnoringCaseAndGetTheDefaultExtension) {
    Script("0 dialog 002\n"
           "0 dialog Sub\\Fresh Level\n"
           "0 dialog ..\\LEVELS\\001.lev\n");
    std::string before = CurrentFolder();
    OPENFILENAMEA dialog = Dialog("Save Level");
    ASSERT_TRUE(GetOpenFileNameA(&dialog));
    EXPECT_STREQ(buffer_, (folder_ / "Levels/002.LEV").c_str());
    dialog = Dialog("Save Level");
    ASSERT_TRUE(GetOpenFileNameA(&dialog)); // a new file: nothing asks that it exists
    EXPECT_STREQ(buffer_, (folder_ / "Levels/Sub/Fresh Level.lev").c_str());
    dialog = Dialog("Save Level");
    ASSERT_TRUE(GetOpenFileNameA(&dialog));
    EXPECT_STREQ(buffer_, (folder_ / "Levels/001.lev").c_str());
    EXPECT_EQ(CurrentFolder(), before);
}

TEST_F(FileDialogHeadless, CancelAndAMissingAnswerBothCancel) {
    Script("0 dialog CANCEL\n");
    OPENFILENAMEA dialog = Dialog("Load Level");
    EXPECT_FALSE(GetOpenFileNameA(&dialog));
    EXPECT_EQ(CommDlgExtendedError(), 0u);
    EXPECT_STREQ(buffer_, "*.lev");
    dialog = Dialog("Save Level");
    EXPECT_FALSE(GetOpenFileNameA(&dialog)); // the one answer was used
    EXPECT_EQ(CommDlgExtendedError(), 0u);
    std::string folder = folder_ / "Levels";
    EXPECT_EQ(Record(), "dialog open Load Level " + folder + "\ndialog open Save Level " + folder + "\n");
}

TEST_F(FileDialogHeadless, AnAnswerWaitsForTheFirstDialogAtOrAfterItsFrame) {
    Script("3 dialog 001.lev\n"
           "3 dialog 002.lev\n");
    OPENFILENAMEA dialog = Dialog("Load Level");
    EXPECT_FALSE(GetOpenFileNameA(&dialog)); // frame 0: not yet due
    for (int i = 0; i < 5; ++i)
        HostCountIdleFrame();
    dialog = Dialog("Load Level");
    ASSERT_TRUE(GetOpenFileNameA(&dialog));
    EXPECT_STREQ(buffer_, (folder_ / "Levels/001.lev").c_str());
    dialog = Dialog("Load Level");
    ASSERT_TRUE(GetOpenFileNameA(&dialog));
    EXPECT_STREQ(buffer_, (folder_ / "Levels/002.LEV").c_str());
}

TEST_F(FileDialogHeadless, ResultThatDoesNotFitIsRefusedAndTheBufferKept) {
    std::string path = folder_ / "Levels/001.lev";
    Script("0 dialog 001.lev\n0 dialog 001.lev\n");
    OPENFILENAMEA dialog = Dialog("Load Level");
    dialog.nMaxFile = static_cast<DWORD>(path.size()); // one short: no room for the terminator
    EXPECT_FALSE(GetOpenFileNameA(&dialog));
    EXPECT_EQ(CommDlgExtendedError(), FNERR_BUFFERTOOSMALL);
    EXPECT_STREQ(buffer_, "*.lev");

    dialog = Dialog("Load Level");
    dialog.nMaxFile = static_cast<DWORD>(path.size() + 1); // exactly enough: no room for the list's end
    buffer_[path.size() + 1] = 'X';
    ASSERT_TRUE(GetOpenFileNameA(&dialog));
    EXPECT_EQ(std::string(buffer_), path);
    EXPECT_EQ(buffer_[path.size() + 1], 'X');
}

TEST_F(FileDialogHeadless, BadStructuresAreRefusedWithTheirCode) {
    Script("0 dialog 001.lev\n");
    OPENFILENAMEA dialog = Dialog("Load Level");
    dialog.lStructSize = sizeof dialog - 4;
    EXPECT_FALSE(GetOpenFileNameA(&dialog));
    EXPECT_EQ(CommDlgExtendedError(), CDERR_STRUCTSIZE);
    dialog = Dialog("Load Level");
    dialog.lpstrFile = nullptr;
    EXPECT_FALSE(GetOpenFileNameA(&dialog));
    EXPECT_EQ(CommDlgExtendedError(), FNERR_INVALIDFILENAME);
    EXPECT_FALSE(GetOpenFileNameA(nullptr));
    EXPECT_EQ(Record(), ""); // refused before any dialog opened
}

TEST_F(FileDialogHeadless, AnswersTheDialogCannotTakeCancel) {
    Script("0 dialog missing.lev\n"
           "0 dialog Sub\n"
           "0 dialog Nowhere\\x.lev\n"
           "0 dialog *.txt\n");
    for (int i = 0; i < 4; ++i) {
        OPENFILENAMEA dialog = Dialog("Load Level");
        dialog.Flags |= OFN_FILEMUSTEXIST;
        EXPECT_FALSE(GetOpenFileNameA(&dialog)) << i;
        EXPECT_STREQ(buffer_, "*.lev");
    }
}

TEST_F(FileDialogHeadless, SaveDialogWithDefaultsRecordsItsKindAndTheCurrentFolder) {
    Script("0 dialog 001.lev\n");
    OPENFILENAMEA dialog = Dialog(nullptr, nullptr);
    dialog.lpstrFilter = nullptr;
    dialog.Flags = OFN_OVERWRITEPROMPT | OFN_NOCHANGEDIR;
    ASSERT_TRUE(GetSaveFileNameA(&dialog)); // the script's answer is the user's say to replace
    EXPECT_STREQ(buffer_, (folder_ / "001.lev").c_str());
    EXPECT_EQ(Record(), "dialog save Save As " + folder_.Path() + "\n");
}

TEST_F(FileDialogHeadless, MissingInitialFolderFallsBackToTheCurrentFolder) {
    Script("0 dialog cancel\n");
    OPENFILENAMEA dialog = Dialog("Load Level", ".\\NoSuchFolder");
    EXPECT_FALSE(GetOpenFileNameA(&dialog));
    EXPECT_EQ(Record(), "dialog open Load Level " + folder_.Path() + "\n");
}

TEST(FileDialogScript, DialogLinesAreReadWithTheirPath) {
    std::vector<HostScriptEvent> events;
    std::string message;
    ASSERT_TRUE(HostParseScript("4 dialog  Levels\\My Level.lev \n2 DIALOG Cancel\n", events, message))
        << message;
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].verb, HostScriptVerb::DialogCancel);
    EXPECT_EQ(events[0].frame, 2u);
    EXPECT_EQ(events[1].verb, HostScriptVerb::Dialog);
    EXPECT_EQ(events[1].text, "Levels\\My Level.lev");
    EXPECT_FALSE(HostParseScript("1 dialog\n", events, message));
    EXPECT_EQ(message, "line 1: dialog wants a path or cancel");
}

} // namespace
