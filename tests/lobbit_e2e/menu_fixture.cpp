#include "menu_fixture.h"

#include <cctype>

namespace fs = std::filesystem;

namespace lobbit_e2e {

namespace {

constexpr Rgb kBlueKey{0, 0, 255};
constexpr int kSlotX[3] = {14, 271, 528};
constexpr int kSlotY[4] = {140, 247, 355, 461};
constexpr int kFieldX[8] = {239, 408, 238, 408, 238, 408, 238, 408};
constexpr int kFieldY[8] = {378, 378, 420, 420, 464, 464, 510, 510};

using testsupport::Picture;
using testsupport::Strip;
using testsupport::WriteBmp;

// A proportional font: the 94 glyphs as solid 3 x 20 blocks, each followed by a blue column.
Picture Font(Rgb colour) {
    Picture font(94 * 4, 20, kBlueKey);
    for (int i = 0; i < 94; ++i)
        font.Fill(i * 4, 0, 3, 20, colour);
    return font;
}

// The grid's game-button overlay: blue inside a thin frame, three states.
Picture GameButtonOverlay() {
    Picture strip(3 * 256, 104, kBlueKey);
    const Rgb frames[3] = {{220, 220, 220}, {248, 248, 128}, {248, 128, 128}};
    for (int i = 0; i < 3; ++i) {
        strip.Fill(i * 256, 0, 256, 3, frames[i]);
        strip.Fill(i * 256, 101, 256, 3, frames[i]);
    }
    return strip;
}

Picture Button(int w, int h, Rgb colour) {
    return Strip(w, h, {colour, Rgb{colour.r / 2 + 100, colour.g / 2 + 100, colour.b / 2 + 100}});
}

} // namespace

Point GridSlot(int slot) {
    return Point{kSlotX[slot % 3] + 128, kSlotY[slot / 3] + 52};
}

Point PlayerField(int player) {
    return Point{kFieldX[player] + 20, kFieldY[player] + 10};
}

std::string Click(int frame, Point at) {
    return std::to_string(frame) + " move " + std::to_string(at.x) + " " + std::to_string(at.y) + "\n" +
           std::to_string(frame + 1) + " down left\n" + std::to_string(frame + 4) + " up left\n";
}

void MenuTest::SetUp() {
    folder_ = std::make_unique<testsupport::TempFolder>("lobbit e2e");
    ASSERT_FALSE(folder_->Path().empty());
    menuFolder_ = folder_->Path();
    fs::copy_file(LOBBIT_PROGRAM, menuFolder_ / "lobbit");
    const fs::path& m = menuFolder_;
    WriteBmp(m / "background.bmp", Picture(800, 600, colours::kGridBackground));
    WriteBmp(m / "PageArrowsLeft.bmp", Button(48, 48, {60, 160, 60}));
    WriteBmp(m / "PageArrowsRight.bmp", Button(48, 48, {60, 160, 60}));
    WriteBmp(m / "Info.bmp", Button(72, 40, {60, 60, 160}));
    WriteBmp(m / "SmallExit.bmp", Button(72, 40, {160, 60, 60}));
    WriteBmp(m / "GameButton.bmp", GameButtonOverlay());
    std::vector<Rgb> digits;
    for (int n = 0; n < 10; ++n)
        digits.push_back(Rgb{8 + 24 * n, 248 - 20 * n, 128});
    WriteBmp(m / "PageNumbers.bmp", Strip(16, 24, digits));
    WriteBmp(m / "CollectButton.bmp", Picture(256, 104, colours::kCollect));
    WriteBmp(m / "infoscreen.bmp", Picture(800, 600, {16, 64, 16}));
    WriteBmp(m / "backbutton.bmp", Button(84, 40, {100, 100, 100}));
    WriteBmp(m / "n_font.bmp", Font(colours::kNormalFont));
    WriteBmp(m / "h_font.bmp", Font(colours::kHighlightFont));
    WriteBmp(m / "HallBlackFont.bmp", Font(colours::kHallFontA));
    WriteBmp(m / "HallPurpleFont.bmp", Font(colours::kHallFontB));
    WriteBmp(m / "blockcursor.bmp", Picture(10, 20, {248, 248, 248}));
    for (const char* name : {"HowToPlayButton.bmp", "PlayButton.bmp", "HighScoresButton.bmp",
                             "MenuButton.bmp", "CreditsButton.bmp", "ExitButton.bmp"})
        WriteBmp(m / name, Button(112, 56, {120, 80, 40}));
    WriteBmp(m / "PlayersButton.bmp", Button(240, 48, {120, 80, 40}));
    WriteBmp(m / "sfx.bmp", Strip(48, 48, {{0, 200, 0}, {200, 0, 0}}));
    WriteBmp(m / "music.bmp", Strip(48, 48, {{0, 200, 0}, {200, 0, 0}}));
    WriteBmp(m / "HallOfFameScreen.bmp", Picture(694, 564, colours::kHallScreen));
    WriteBmp(m / "UploadButton.bmp", Button(128, 48, {40, 120, 40}));
    WriteBmp(m / "ClearScores.bmp", Button(128, 48, {120, 40, 40}));
    WriteBmp(m / "PlayerInfo.bmp", Picture(694, 564, colours::kPlayerScreen));
    WriteBmp(m / "EnterButton.bmp", Button(104, 40, {40, 120, 40}));
    WriteBmp(m / "RemoveButton.bmp", Button(104, 40, {120, 40, 40}));
    WriteBmp(m / "yesno.bmp", Strip(64, 32, {{0, 200, 0}, {200, 0, 0}}));
}

void MenuTest::TearDown() {
    if (HasFailure() && folder_) folder_->Keep(); // to look at
    folder_.reset();
}

void MenuTest::AddGame(const std::string& name) {
    const fs::path game = menuFolder_ / name;
    WriteBmp(game / "LobbitButton.bmp", Picture(256, 104, colours::kGamePicture));
    WriteBmp(game / "title" / "titlebackground.bmp", Picture(800, 600, colours::kTitleBackground));
    WriteBmp(game / "title" / "Credits.bmp", Picture(694, 564, colours::kCredits));
    WriteBmp(game / "title" / "HowToPlay.bmp", Picture(694, 564, colours::kCredits));
    // The game program the menu starts: any executable file of the folder's name in lower case.
    std::string program = name;
    for (char& c : program)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    WriteText(game / program, "#!/bin/sh\nexit 0\n");
    fs::permissions(game / program, fs::perms::owner_all);
}

int MenuTest::RunMenu(const std::string& script, int maxFrames, const std::vector<std::string>& arguments) {
    WriteText(menuFolder_ / "script.txt", script);
    return testsupport::RunProgram(MenuRun({"HOST_SCRIPT=" + (menuFolder_ / "script.txt").string(),
                                            "HOST_MAX_FRAMES=" + std::to_string(maxFrames)},
                                           arguments));
}

testsupport::ProgramRun MenuTest::MenuRun(const std::vector<std::string>& settings,
                                          const std::vector<std::string>& arguments) const {
    // The menu changes its current folder, so the files it writes into come with whole paths.
    testsupport::ProgramRun run;
    run.program = (menuFolder_ / "lobbit").string();
    run.arguments = arguments;
    run.folder = menuFolder_.string();
    run.settings = {"HOST_RECORD=" + (menuFolder_ / "record.txt").string()};
    run.settings.insert(run.settings.end(), settings.begin(), settings.end());
    run.log = (menuFolder_ / "program.log").string();
    return run;
}

Capture MenuTest::Captured(const std::string& name) const {
    return testsupport::ReadCapture(menuFolder_ / name);
}

std::vector<std::string> MenuTest::RecordLines() const {
    return testsupport::ReadLines(menuFolder_ / "record.txt");
}

std::string MenuTest::ProgramOutput() const {
    return ReadText(menuFolder_ / "program.log");
}

} // namespace lobbit_e2e
