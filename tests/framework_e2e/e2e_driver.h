// Running the end-to-end program from a test: each run gets a fresh temporary folder with the input
// script, runs one scene headless (full screen or windowed) for a fixed number of frames, and reads
// back the frames the script captured.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/temp_folder.h"

namespace e2e {

// A captured frame as 5-6-5 pixels.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<uint16_t> pixels;

    bool ok() const { return width > 0 && height > 0; }
    // The pixel at (x, y); 0xDEAD outside the picture.
    uint16_t At(int x, int y) const;
    // How many pixels have the value.
    int Count(uint16_t value) const;
};

// A captured 24-bit BMP as 5-6-5 pixels; an empty picture when the file is missing or malformed.
Picture ReadCapture(const std::filesystem::path& file);

class SceneTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Runs scene ("full" or "window") with the script lines until maxFrames frames were presented;
    // returns the program's exit status (0 when it ended normally).
    int RunScene(const std::string& scene, const std::string& mode, const std::string& script, int maxFrames);
    // A frame the script captured into name.
    Picture Capture(const std::string& name) const;
    // What the program printed.
    std::string ProgramOutput() const;

  private:
    std::unique_ptr<testsupport::TempFolder> folder_;
};

} // namespace e2e
