#include "game_fixture.h"

#include <algorithm>
#include <cstdlib>
#include <sstream>

#include "tests/support/program_runner.h"

namespace fs = std::filesystem;

namespace tessary_e2e {

const char* const kLayerNames[7] = {"background", "dimple", "hole", "mine", "generator", "wall", "special"};

namespace {

constexpr Rgb kBlueKey{0, 0, 255};

using testsupport::Picture;
using testsupport::Strip;
using testsupport::WriteBmp;
using testsupport::WriteBytes;
using testsupport::WriteText;

// Paints a disc of the radius centred on the pixel corner (cx, cy).
void Disc(Picture& picture, int cx, int cy, int radius, Rgb colour) {
    for (int y = cy - radius; y < cy + radius; ++y)
        for (int x = cx - radius; x < cx + radius; ++x) {
            const int dx = 2 * (x - cx) + 1, dy = 2 * (y - cy) + 1;
            if (dx * dx + dy * dy <= 4 * radius * radius) picture.Fill(x, y, 1, 1, colour);
        }
}

// The palette: floor, four goals, wall, four balls, the extra ball; 24-pixel cells in one row.
Picture Tiles() {
    Picture tiles(11 * kCell, kCell, kBlueKey);
    tiles.Fill(0, 0, kCell, kCell, colours::kFloor);
    for (int k = 0; k < 4; ++k) {
        const int x = (1 + k) * kCell;
        tiles.Fill(x, 0, kCell, kCell, colours::kFloor);
        tiles.Fill(x + 4, 4, 16, 16, colours::kGoal[k]);
        Disc(tiles, (6 + k) * kCell + 12, 12, 10, colours::kBall[k]);
    }
    tiles.Fill(5 * kCell, 0, kCell, kCell, colours::kWall);
    Disc(tiles, 10 * kCell + 12, 12, 10, Rgb{150, 150, 150});
    return tiles;
}

void WriteArt(const fs::path& game) {
    WriteBmp(game / "background.bmp", Picture(800, 600, colours::kBackground));
    const Picture button = Strip(50, 45, {{100, 100, 160}, {160, 160, 224}});
    for (const char* name : {"backbutton.bmp", "newgamebutton.bmp", "infobutton.bmp", "exitbutton.bmp"})
        WriteBmp(game / name, button);
    const Picture arrow = Strip(24, 24, {{100, 160, 100}, {160, 224, 160}});
    WriteBmp(game / "levelleft.bmp", arrow);
    WriteBmp(game / "levelright.bmp", arrow);
    std::vector<Rgb> digits;
    for (int n = 0; n < 10; ++n)
        digits.push_back(colours::Digit(n));
    WriteBmp(game / "scorefont.bmp", Strip(12, 12, digits));
    std::vector<Rgb> order;
    for (int i = 0; i < 20; ++i)
        order.push_back(Rgb{8 * i + 8, 100, 40});
    Picture orderSheet(100, 125, kBlueKey);
    for (int i = 0; i < 20; ++i)
        orderSheet.Fill((i % 4) * 25, (i / 4) * 25, 25, 25, order[size_t(i)]);
    WriteBmp(game / "BallOrder.bmp", orderSheet);
    WriteBmp(game / "TimerMarker0.bmp", Picture(10, 10, Rgb{248, 128, 0}));
    WriteBmp(game / "TimerMarker1.bmp", Picture(10, 10, Rgb{248, 248, 248}));
    WriteBmp(game / "exp01.bmp", Picture(48, 48, Rgb{248, 64, 0}));
    WriteBmp(game / "exp02.bmp", Picture(48, 48, Rgb{248, 160, 0}));
    WriteBmp(game / "OutOfTime.bmp", Picture(210, 200, colours::kOutOfTime));
    WriteBmp(game / "hallfamepop.bmp", Picture(150, 268, colours::kHallOfFame));
    WriteBmp(game / "tiles.bmp", Tiles());
}

std::string SetupIni() {
    std::ostringstream ini;
    ini << "[setup]\nfullscreen=0\nspeed=3.0\nfriction=0.004\nmagnet=0.2\nmax_magnet=0.2\ndimple=0.015\n"
           "collidew=16\nballw=20\n\n"
        << "[grid]\ngridx=" << kGridX << "\ngridy=0\ngridw=" << kColumns << "\ngridh=" << kRows
        << "\nwallw=" << kCell << "\nwallh=" << kCell << "\ntilegrid=tiles.bmp\n\n"
        << "[layer]\nlayer01=dimple\nlayer02=hole\nlayer03=mine\nlayer04=generator\nlayer05=wall\n"
           "layer06=special\ndefault=wall\n\n"
        << "[p002]\nlayer=background\n\n";
    for (int k = 0; k < 4; ++k)
        ini << "[p"
            << "00" << kFirstGoalTile + k << "]\nlayer=background\ntype=goal\ncolor=" << k << "\n\n";
    ini << "[p007]\nlayer=wall\n\n";
    for (int k = 0; k <= 4; ++k) {
        const int index = kFirstBallTile + k;
        ini << (index < 10 ? "[p00" : "[p0") << index << "]\nlayer=special\ntype=ball\ncolor=" << k << "\n\n";
    }
    return ini.str();
}

// A copy of the package's game folder, without the state a run leaves and the content the fixture
// replaces.
void CopyGameFolder(const fs::path& to) {
    fs::copy(fs::path(TESSARY_GAME_DIR), to, fs::copy_options::recursive);
    std::error_code ignored;
    for (const char* stale : {"Levels", "hiscore.dat", "setup.ini", "debug.log"})
        fs::remove_all(to / stale, ignored);
}

} // namespace

Rgb colours::Digit(int n) {
    return Rgb{8 + 24 * n, 248 - 20 * n, 128};
}

int CellCentreX(int column) {
    return kGridX + column * kCell + kCell / 2;
}

int CellCentreY(int row) {
    return row * kCell + kCell / 2;
}

int BallColumn(int colour) {
    return 7 * colour + 1;
}

int GoalColumn(int colour) {
    return 7 * colour + 4;
}

LevelLayers CorridorLevel() {
    const size_t cells = size_t(kColumns) * size_t(kRows);
    LevelLayers layers(7, std::vector<int32_t>(cells, -1));
    std::fill(layers[0].begin(), layers[0].end(), kFloorTile);
    for (int k = 0; k < 4; ++k) {
        const size_t row = size_t(kBallRow) * size_t(kColumns);
        layers[0][row + size_t(GoalColumn(k))] = kFirstGoalTile + k;
        layers[5][row + size_t(7 * k + 6)] = kWallTile;
        layers[6][row + size_t(BallColumn(k))] = kFirstBallTile + k;
    }
    return layers;
}

std::vector<uint8_t> LevelBytes(const LevelLayers& layers) {
    std::vector<uint8_t> out;
    testsupport::PutLe32(out, uint32_t(layers.size()));
    for (size_t i = 0; i < layers.size(); ++i) {
        for (const char* c = kLayerNames[i]; *c; ++c)
            out.push_back(uint8_t(*c));
        out.push_back(0);
        testsupport::PutLe32(out, uint32_t(layers[i].size()));
        for (int32_t cell : layers[i])
            testsupport::PutLe32(out, uint32_t(cell));
    }
    return out;
}

LevelLayers ReadLevel(const fs::path& file) {
    const std::vector<uint8_t> bytes = testsupport::ReadBytes(file);
    LevelLayers layers;
    size_t at = 0;
    if (bytes.size() < 4) return {};
    const uint32_t count = testsupport::Le32(bytes, at);
    at += 4;
    for (uint32_t i = 0; i < count && i < 64; ++i) {
        while (at < bytes.size() && bytes[at] != 0)
            ++at;
        if (at + 5 > bytes.size()) return {};
        at += 1;
        const uint32_t cells = testsupport::Le32(bytes, at);
        at += 4;
        if (bytes.size() - at < size_t(cells) * 4) return {};
        std::vector<int32_t> layer(cells);
        for (uint32_t c = 0; c < cells; ++c, at += 4)
            layer[c] = int32_t(testsupport::Le32(bytes, at));
        layers.push_back(std::move(layer));
    }
    return at == bytes.size() ? layers : LevelLayers{};
}

void GameTest::SetUp() {
    folder_ = std::make_unique<testsupport::TempFolder>("tessary e2e");
    ASSERT_FALSE(folder_->Path().empty());
    menuFolder_ = folder_->Path();
    gameFolder_ = menuFolder_ / "Tessary";
    CopyGameFolder(gameFolder_);
    WriteArt(gameFolder_);
    WriteText(gameFolder_ / "setup.ini", SetupIni());
    WriteBytes(gameFolder_ / "Levels" / "001.lev", LevelBytes(CorridorLevel()));
    WriteBytes(gameFolder_ / "Levels" / "002.lev", LevelBytes(CorridorLevel()));
    WriteText(menuFolder_ / "options.ini", "[setup]\nMusic=N\nSFX=Y\nplayerid=1\n\n[Player2]\nname=Ada\n"
                                           "address=1 Lane\nemail=ada@example.org\nsend=N\n");
    // The menu program the game starts again: any executable file of that name.
    WriteText(menuFolder_ / "lobbit", "#!/bin/sh\nexit 0\n");
    fs::permissions(menuFolder_ / "lobbit", fs::perms::owner_all);
}

void GameTest::TearDown() {
    // A failed test, or TESSARY_E2E_KEEP set, keeps the folder to look at.
    if (folder_ && (HasFailure() || std::getenv("TESSARY_E2E_KEEP"))) folder_->Keep();
    folder_.reset();
}

int GameTest::RunGame(const std::string& script, int maxFrames, bool withMenuFolder,
                      const std::string& machine) {
    WriteText(gameFolder_ / "script.txt", script);
    testsupport::ProgramRun run;
    run.program = (gameFolder_ / "tessary").string();
    if (withMenuFolder) run.arguments.push_back(menuFolder_.string());
    run.folder = gameFolder_.string();
    run.settings = {"HOST_SCRIPT=script.txt", "HOST_RECORD=record.txt",
                    "HOST_MAX_FRAMES=" + std::to_string(maxFrames)};
    if (!machine.empty()) {
        WriteText(gameFolder_ / "machine.txt", machine);
        run.settings.push_back("HOST_MACHINE=machine.txt");
    }
    run.log = "program.log";
    return testsupport::RunProgram(run);
}

Capture GameTest::Captured(const std::string& name) const {
    return testsupport::ReadCapture(gameFolder_ / name);
}

bool GameTest::CaptureExists(const std::string& name) const {
    return fs::exists(gameFolder_ / name);
}

std::vector<std::string> GameTest::RecordLines() const {
    return testsupport::ReadLines(gameFolder_ / "record.txt");
}

std::string GameTest::ProgramOutput() const {
    return testsupport::ReadText(gameFolder_ / "program.log");
}

std::string GameTest::PanelNumber(const Capture& picture, int lastDigitX, int y, int digits) {
    std::string text;
    for (int i = digits - 1; i >= 0; --i) {
        const Rgb shown = picture.At(lastDigitX - i * 12 + 6, y + 6);
        int found = -1;
        for (int n = 0; n < 10; ++n)
            if (Same565(shown, colours::Digit(n))) found = n;
        if (found < 0) return "";
        text += char('0' + found);
    }
    return text;
}

} // namespace tessary_e2e
