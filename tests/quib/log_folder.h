// Test fixture for engine code that writes debug.log: each test runs in a fresh temporary folder with the
// log off, the log's "created" mark forgotten (as at process start), no registered error and an empty
// allocation tracker.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "quib/platform/alloc.h"
#include "quib/platform/debug.h"
#include "quib/platform/errors.h"
#include "quib/quib.h"
#include "tests/support/files.h"
#include "tests/support/temp_folder.h"

class LogFolderTest : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ = std::make_unique<testsupport::TempCurrentFolder>("quib-test");
        ASSERT_FALSE(folder_->Path().empty());
        ResetEngineState();
    }

    void TearDown() override {
        ResetEngineState();
        folder_.reset();
    }

    static bool LogExists() { return std::filesystem::exists("debug.log"); }

    static std::string ReadLog() { return testsupport::ReadText("debug.log"); }

    static void WriteFile(const std::string& name, const std::string& text) {
        testsupport::WriteText(name, text);
    }

    // A pointer as the log prints it.
    static std::string Ptr(const void* p) {
        char text[64];
        std::snprintf(text, sizeof(text), "%p", p);
        return text;
    }

    std::filesystem::path Folder() const { return folder_->Path(); }

  private:
    static void ResetEngineState() {
        QuibDebugEnable(0);
        DebugLogForgetCreatedForTests();
        g_bError = 0;
        g_ErrorText[0] = '\0';
        FreeAllocs();
    }

    std::unique_ptr<testsupport::TempCurrentFolder> folder_;
};
