#include "game_fixture.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>

namespace fs = std::filesystem;

namespace tessary_e2e {

const char* const kLayerNames[7] = {"background", "dimple", "hole", "mine", "generator", "wall", "special"};

namespace {

constexpr Rgb kBlueKey{0, 0, 255};
constexpr int kTimeLimitSeconds = 120; // a run that has not ended by then is killed

// ---- Bitmaps ----

struct Bitmap {
    int width;
    int height;
    std::vector<Rgb> pixels;
    Bitmap(int w, int h, Rgb fill) : width(w), height(h), pixels(size_t(w) * size_t(h), fill) {}
    void Fill(int x0, int y0, int w, int h, Rgb colour) {
        for (int y = y0; y < y0 + h; ++y)
            for (int x = x0; x < x0 + w; ++x)
                if (x >= 0 && y >= 0 && x < width && y < height)
                    pixels[size_t(y) * size_t(width) + size_t(x)] = colour;
    }
    void Disc(int cx, int cy, int radius, Rgb colour) {
        for (int y = cy - radius; y < cy + radius; ++y)
            for (int x = cx - radius; x < cx + radius; ++x) {
                const int dx = 2 * (x - cx) + 1, dy = 2 * (y - cy) + 1;
                if (dx * dx + dy * dy <= 4 * radius * radius) Fill(x, y, 1, 1, colour);
            }
    }
};

void Put32(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        out.push_back(uint8_t(v >> (8 * i)));
}

void Put16(std::vector<uint8_t>& out, uint16_t v) {
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}

void WriteBytes(const fs::path& file, const std::vector<uint8_t>& bytes) {
    fs::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

void WriteText(const fs::path& file, const std::string& text) {
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << text;
}

// A 24-bit bottom-up BMP.
void WriteBmp(const fs::path& file, const Bitmap& bitmap) {
    const uint32_t rowBytes = (uint32_t(bitmap.width) * 3 + 3) / 4 * 4;
    const uint32_t dataBytes = rowBytes * uint32_t(bitmap.height);
    std::vector<uint8_t> out;
    out.push_back('B');
    out.push_back('M');
    Put32(out, 54 + dataBytes);
    Put32(out, 0);
    Put32(out, 54);
    Put32(out, 40);
    Put32(out, uint32_t(bitmap.width));
    Put32(out, uint32_t(bitmap.height));
    Put16(out, 1);
    Put16(out, 24);
    Put32(out, 0);
    Put32(out, dataBytes);
    Put32(out, 2835);
    Put32(out, 2835);
    Put32(out, 0);
    Put32(out, 0);
    for (int y = bitmap.height - 1; y >= 0; --y) {
        for (int x = 0; x < bitmap.width; ++x) {
            const Rgb& c = bitmap.pixels[size_t(y) * size_t(bitmap.width) + size_t(x)];
            out.push_back(uint8_t(c.b));
            out.push_back(uint8_t(c.g));
            out.push_back(uint8_t(c.r));
        }
        out.resize(out.size() + (rowBytes - uint32_t(bitmap.width) * 3), 0);
    }
    WriteBytes(file, out);
}

// A strip of frames side by side, frame i filled with colours[i].
Bitmap Strip(int frameWidth, int frameHeight, const std::vector<Rgb>& colours) {
    Bitmap strip(frameWidth * int(colours.size()), frameHeight, kBlueKey);
    for (size_t i = 0; i < colours.size(); ++i)
        strip.Fill(int(i) * frameWidth, 0, frameWidth, frameHeight, colours[i]);
    return strip;
}

// The palette: floor, four goals, wall, four balls, the extra ball; 24-pixel cells in one row.
Bitmap Tiles() {
    Bitmap tiles(11 * kCell, kCell, kBlueKey);
    tiles.Fill(0, 0, kCell, kCell, colours::kFloor);
    for (int k = 0; k < 4; ++k) {
        const int x = (1 + k) * kCell;
        tiles.Fill(x, 0, kCell, kCell, colours::kFloor);
        tiles.Fill(x + 4, 4, 16, 16, colours::kGoal[k]);
        tiles.Disc((6 + k) * kCell + 12, 12, 10, colours::kBall[k]);
    }
    tiles.Fill(5 * kCell, 0, kCell, kCell, colours::kWall);
    tiles.Disc(10 * kCell + 12, 12, 10, Rgb{150, 150, 150});
    return tiles;
}

void WriteArt(const fs::path& game) {
    WriteBmp(game / "background.bmp", Bitmap(800, 600, colours::kBackground));
    const Bitmap button = Strip(50, 45, {{100, 100, 160}, {160, 160, 224}});
    for (const char* name : {"backbutton.bmp", "newgamebutton.bmp", "infobutton.bmp", "exitbutton.bmp"})
        WriteBmp(game / name, button);
    const Bitmap arrow = Strip(24, 24, {{100, 160, 100}, {160, 224, 160}});
    WriteBmp(game / "levelleft.bmp", arrow);
    WriteBmp(game / "levelright.bmp", arrow);
    std::vector<Rgb> digits;
    for (int n = 0; n < 10; ++n)
        digits.push_back(colours::Digit(n));
    WriteBmp(game / "scorefont.bmp", Strip(12, 12, digits));
    std::vector<Rgb> order;
    for (int i = 0; i < 20; ++i)
        order.push_back(Rgb{8 * i + 8, 100, 40});
    Bitmap orderSheet(100, 125, kBlueKey);
    for (int i = 0; i < 20; ++i)
        orderSheet.Fill((i % 4) * 25, (i / 4) * 25, 25, 25, order[size_t(i)]);
    WriteBmp(game / "BallOrder.bmp", orderSheet);
    WriteBmp(game / "TimerMarker0.bmp", Bitmap(10, 10, Rgb{248, 128, 0}));
    WriteBmp(game / "TimerMarker1.bmp", Bitmap(10, 10, Rgb{248, 248, 248}));
    WriteBmp(game / "exp01.bmp", Bitmap(48, 48, Rgb{248, 64, 0}));
    WriteBmp(game / "exp02.bmp", Bitmap(48, 48, Rgb{248, 160, 0}));
    WriteBmp(game / "OutOfTime.bmp", Bitmap(210, 200, colours::kOutOfTime));
    WriteBmp(game / "hallfamepop.bmp", Bitmap(150, 268, colours::kHallOfFame));
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

uint32_t Le32(const std::vector<uint8_t>& bytes, size_t at) {
    return uint32_t(bytes[at]) | uint32_t(bytes[at + 1]) << 8 | uint32_t(bytes[at + 2]) << 16 |
           uint32_t(bytes[at + 3]) << 24;
}

std::vector<uint8_t> ReadBytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

} // namespace

Rgb Capture::At(int x, int y) const {
    if (x < 0 || y < 0 || x >= width || y >= height) return Rgb{-1, -1, -1};
    return pixels[size_t(y) * size_t(width) + size_t(x)];
}

bool Same565(Rgb a, Rgb b) {
    return a.r >> 3 == b.r >> 3 && a.g >> 2 == b.g >> 2 && a.b >> 3 == b.b >> 3;
}

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
    Put32(out, uint32_t(layers.size()));
    for (size_t i = 0; i < layers.size(); ++i) {
        for (const char* c = kLayerNames[i]; *c; ++c)
            out.push_back(uint8_t(*c));
        out.push_back(0);
        Put32(out, uint32_t(layers[i].size()));
        for (int32_t cell : layers[i])
            Put32(out, uint32_t(cell));
    }
    return out;
}

LevelLayers ReadLevel(const fs::path& file) {
    const std::vector<uint8_t> bytes = ReadBytes(file);
    LevelLayers layers;
    size_t at = 0;
    if (bytes.size() < 4) return {};
    const uint32_t count = Le32(bytes, at);
    at += 4;
    for (uint32_t i = 0; i < count && i < 64; ++i) {
        while (at < bytes.size() && bytes[at] != 0)
            ++at;
        if (at + 5 > bytes.size()) return {};
        at += 1;
        const uint32_t cells = Le32(bytes, at);
        at += 4;
        if (bytes.size() - at < size_t(cells) * 4) return {};
        std::vector<int32_t> layer(cells);
        for (uint32_t c = 0; c < cells; ++c, at += 4)
            layer[c] = int32_t(Le32(bytes, at));
        layers.push_back(std::move(layer));
    }
    return at == bytes.size() ? layers : LevelLayers{};
}

void GameTest::SetUp() {
    std::random_device random;
    do {
        menuFolder_ = fs::temp_directory_path() / ("tessary e2e " + std::to_string(random()));
    } while (!fs::create_directory(menuFolder_));
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
    std::error_code ignored;
    // A failed test, or TESSARY_E2E_KEEP set, keeps the folder to look at.
    if (!HasFailure() && !std::getenv("TESSARY_E2E_KEEP")) fs::remove_all(menuFolder_, ignored);
}

int GameTest::RunGame(const std::string& script, int maxFrames, bool withMenuFolder,
                      const std::string& machine) {
    WriteText(gameFolder_ / "script.txt", script);
    if (!machine.empty()) WriteText(gameFolder_ / "machine.txt", machine);
    // Everything the child needs is made before the fork: after it, only plain system calls.
    std::vector<std::string> environment;
    for (char** variable = environ; *variable; ++variable)
        if (std::strncmp(*variable, "HOST_", 5) != 0) environment.push_back(*variable);
    environment.insert(environment.end(),
                       {"HOST_BACKEND=headless", "HOST_SCRIPT=script.txt", "HOST_RECORD=record.txt",
                        "HOST_MAX_FRAMES=" + std::to_string(maxFrames)});
    if (!machine.empty()) environment.push_back("HOST_MACHINE=machine.txt");
    std::vector<char*> envp;
    for (std::string& variable : environment)
        envp.push_back(variable.data());
    envp.push_back(nullptr);
    std::string program = (gameFolder_ / "tessary").string();
    std::string folder = menuFolder_.string();
    std::vector<char*> argv{program.data()};
    if (withMenuFolder) argv.push_back(folder.data());
    argv.push_back(nullptr);
    const std::string workingFolder = gameFolder_.string();
    const pid_t child = fork();
    if (child == 0) {
        if (chdir(workingFolder.c_str()) != 0) _exit(126);
        const int log = open("program.log", O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (log >= 0) {
            dup2(log, 1);
            dup2(log, 2);
        }
        alarm(kTimeLimitSeconds);
        execve(argv[0], argv.data(), envp.data());
        _exit(127);
    }
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

Capture GameTest::Captured(const std::string& name) const {
    const std::vector<uint8_t> bytes = ReadBytes(gameFolder_ / name);
    Capture picture;
    if (bytes.size() < 54 || bytes[0] != 'B' || bytes[1] != 'M') return picture;
    const uint32_t offset = Le32(bytes, 10);
    const int width = int(Le32(bytes, 18));
    const int rawHeight = int(Le32(bytes, 22));
    const int height = rawHeight < 0 ? -rawHeight : rawHeight;
    if ((bytes[28] | bytes[29] << 8) != 24 || width <= 0 || width > 4096 || height <= 0 || height > 4096)
        return picture;
    const size_t rowBytes = (size_t(width) * 3 + 3) / 4 * 4;
    if (bytes.size() < offset + rowBytes * size_t(height)) return picture;
    picture.width = width;
    picture.height = height;
    picture.pixels.resize(size_t(width) * size_t(height));
    for (int y = 0; y < height; ++y) {
        const uint8_t* p = &bytes[offset + size_t(rawHeight < 0 ? y : height - 1 - y) * rowBytes];
        for (int x = 0; x < width; ++x, p += 3)
            picture.pixels[size_t(y) * size_t(width) + size_t(x)] = Rgb{p[2], p[1], p[0]};
    }
    return picture;
}

bool GameTest::CaptureExists(const std::string& name) const {
    return fs::exists(gameFolder_ / name);
}

std::vector<std::string> GameTest::RecordLines() const {
    std::ifstream in(gameFolder_ / "record.txt");
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

std::string GameTest::ProgramOutput() const {
    const std::vector<uint8_t> bytes = ReadBytes(gameFolder_ / "program.log");
    return std::string(bytes.begin(), bytes.end());
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
