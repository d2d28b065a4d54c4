// Test fixture for engine code that writes debug.log: each test runs in a fresh temporary folder with the
// log off, the log's "created" mark forgotten (as at process start), no registered error and an empty
// allocation tracker.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

#include "quib/platform/alloc.h"
#include "quib/platform/debug.h"
#include "quib/platform/errors.h"
#include "quib/quib.h"

class LogFolderTest : public ::testing::Test {
  protected:
    void SetUp() override {
        previous_ = std::filesystem::current_path();
        folder_ = MakeUniqueFolder();
        std::filesystem::current_path(folder_);
        ResetEngineState();
    }

    void TearDown() override {
        ResetEngineState();
        std::filesystem::current_path(previous_);
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }

    static bool LogExists() { return std::filesystem::exists("debug.log"); }

    static std::string ReadLog() {
        std::ifstream in("debug.log", std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }

    static void WriteFile(const std::string& name, const std::string& text) {
        std::ofstream out(name, std::ios::binary | std::ios::trunc);
        out << text;
    }

    // A pointer as the log prints it.
    static std::string Ptr(const void* p) {
        char text[64];
        std::snprintf(text, sizeof(text), "%p", p);
        return text;
    }

    const std::filesystem::path& Folder() const { return folder_; }

  private:
    static void ResetEngineState() {
        QuibDebugEnable(0);
        DebugLogForgetCreatedForTests();
        g_bError = 0;
        g_ErrorText[0] = '\0';
        FreeAllocs();
    }

    static std::filesystem::path MakeUniqueFolder() {
        std::random_device random;
        for (;;) {
            auto candidate =
                std::filesystem::temp_directory_path() / ("quib-test-" + std::to_string(random()));
            if (std::filesystem::create_directory(candidate)) return candidate;
        }
    }

    std::filesystem::path previous_;
    std::filesystem::path folder_;
};
