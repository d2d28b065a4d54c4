#include "e2e_driver.h"

#include "e2e_art.h"
#include "tests/support/program_runner.h"

namespace e2e {

uint16_t Picture::At(int x, int y) const {
    if (x < 0 || y < 0 || x >= width || y >= height) return 0xDEAD;
    return pixels[size_t(y) * size_t(width) + size_t(x)];
}

int Picture::Count(uint16_t value) const {
    int count = 0;
    for (uint16_t pixel : pixels)
        count += pixel == value;
    return count;
}

Picture ReadCapture(const std::filesystem::path& file) {
    const testsupport::Picture capture = testsupport::ReadCapture(file);
    Picture picture;
    picture.width = capture.width;
    picture.height = capture.height;
    for (const testsupport::Rgb& colour : capture.pixels)
        picture.pixels.push_back(To565(colour.Packed()));
    return picture;
}

void SceneTest::SetUp() {
    folder_ = std::make_unique<testsupport::TempFolder>("framework-e2e");
    ASSERT_FALSE(folder_->Path().empty());
}

void SceneTest::TearDown() {
    folder_.reset();
}

int SceneTest::RunScene(const std::string& scene, const std::string& mode, const std::string& script,
                        int maxFrames) {
    testsupport::WriteText(*folder_ / "script.txt", script);
    testsupport::ProgramRun run;
    run.program = FRAMEWORK_E2E_PROGRAM;
    run.arguments = {scene, mode};
    run.folder = folder_->Path();
    run.settings = {"HOST_SCRIPT=script.txt", "HOST_MAX_FRAMES=" + std::to_string(maxFrames)};
    run.log = "program.log";
    return testsupport::RunProgram(run);
}

Picture SceneTest::Capture(const std::string& name) const {
    return ReadCapture(*folder_ / name);
}

std::string SceneTest::ProgramOutput() const {
    return testsupport::ReadText(*folder_ / "program.log");
}

} // namespace e2e
