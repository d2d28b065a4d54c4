#include "menu_fixture.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <random>

namespace fs = std::filesystem;

namespace lobbit_e2e {

namespace {

constexpr Rgb kBlueKey{0, 0, 255};
constexpr int kTimeLimitSeconds = 120; // a run that has not ended by then is killed
constexpr int kSlotX[3] = {14, 271, 528};
constexpr int kSlotY[4] = {140, 247, 355, 461};
constexpr int kFieldX[8] = {239, 408, 238, 408, 238, 408, 238, 408};
constexpr int kFieldY[8] = {378, 378, 420, 420, 464, 464, 510, 510};

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
};

void Put32(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        out.push_back(uint8_t(v >> (8 * i)));
}

void Put16(std::vector<uint8_t>& out, uint16_t v) {
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}

uint32_t Le32(const std::vector<uint8_t>& bytes, size_t at) {
    return uint32_t(bytes[at]) | uint32_t(bytes[at + 1]) << 8 | uint32_t(bytes[at + 2]) << 16 |
           uint32_t(bytes[at + 3]) << 24;
}

// A 24-bit bottom-up BMP.
std::vector<uint8_t> BmpBytes(const Bitmap& bitmap) {
    const uint32_t rowBytes = (uint32_t(bitmap.width) * 3 + 3) / 4 * 4;
    const uint32_t dataBytes = rowBytes * uint32_t(bitmap.height);
    std::vector<uint8_t> out{'B', 'M'};
    Put32(out, 54 + dataBytes);
    Put32(out, 0);
    Put32(out, 54);
    Put32(out, 40);
    Put32(out, uint32_t(bitmap.width));
    Put32(out, uint32_t(bitmap.height));
    Put16(out, 1);
    Put16(out, 24);
    for (uint32_t v : {0u, dataBytes, 2835u, 2835u, 0u, 0u})
        Put32(out, v);
    for (int y = bitmap.height - 1; y >= 0; --y) {
        for (int x = 0; x < bitmap.width; ++x) {
            const Rgb& c = bitmap.pixels[size_t(y) * size_t(bitmap.width) + size_t(x)];
            out.insert(out.end(), {uint8_t(c.b), uint8_t(c.g), uint8_t(c.r)});
        }
        out.resize(out.size() + (rowBytes - uint32_t(bitmap.width) * 3), 0);
    }
    return out;
}

// n frames side by side, frame i filled with colours[i].
Bitmap Strip(int frameWidth, int frameHeight, const std::vector<Rgb>& colours) {
    Bitmap strip(frameWidth * int(colours.size()), frameHeight, kBlueKey);
    for (size_t i = 0; i < colours.size(); ++i)
        strip.Fill(int(i) * frameWidth, 0, frameWidth, frameHeight, colours[i]);
    return strip;
}

// A proportional font: the 94 glyphs as solid 3 x 20 blocks, each followed by a blue column.
Bitmap Font(Rgb colour) {
    Bitmap font(94 * 4, 20, kBlueKey);
    for (int i = 0; i < 94; ++i)
        font.Fill(i * 4, 0, 3, 20, colour);
    return font;
}

// The grid's game-button overlay: blue inside a thin frame, three states.
Bitmap GameButtonOverlay() {
    Bitmap strip(3 * 256, 104, kBlueKey);
    const Rgb frames[3] = {{220, 220, 220}, {248, 248, 128}, {248, 128, 128}};
    for (int i = 0; i < 3; ++i) {
        strip.Fill(i * 256, 0, 256, 3, frames[i]);
        strip.Fill(i * 256, 101, 256, 3, frames[i]);
    }
    return strip;
}

Bitmap Button(int w, int h, Rgb colour) {
    return Strip(w, h, {colour, Rgb{colour.r / 2 + 100, colour.g / 2 + 100, colour.b / 2 + 100}});
}

} // namespace

Rgb Capture::At(int x, int y) const {
    if (x < 0 || y < 0 || x >= width || y >= height) return Rgb{-1, -1, -1};
    return pixels[size_t(y) * size_t(width) + size_t(x)];
}

bool Same565(Rgb a, Rgb b) {
    return a.r >> 3 == b.r >> 3 && a.g >> 2 == b.g >> 2 && a.b >> 3 == b.b >> 3;
}

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
    std::random_device random;
    do {
        menuFolder_ = fs::temp_directory_path() / ("lobbit e2e " + std::to_string(random()));
    } while (!fs::create_directory(menuFolder_));
    fs::copy_file(LOBBIT_PROGRAM, menuFolder_ / "lobbit");
    const fs::path& m = menuFolder_;
    auto bmp = [this](const fs::path& file, const Bitmap& bitmap) { WriteBytes(file, BmpBytes(bitmap)); };
    bmp(m / "background.bmp", Bitmap(800, 600, colours::kGridBackground));
    bmp(m / "PageArrowsLeft.bmp", Button(48, 48, {60, 160, 60}));
    bmp(m / "PageArrowsRight.bmp", Button(48, 48, {60, 160, 60}));
    bmp(m / "Info.bmp", Button(72, 40, {60, 60, 160}));
    bmp(m / "SmallExit.bmp", Button(72, 40, {160, 60, 60}));
    bmp(m / "GameButton.bmp", GameButtonOverlay());
    std::vector<Rgb> digits;
    for (int n = 0; n < 10; ++n)
        digits.push_back(Rgb{8 + 24 * n, 248 - 20 * n, 128});
    bmp(m / "PageNumbers.bmp", Strip(16, 24, digits));
    bmp(m / "CollectButton.bmp", Bitmap(256, 104, colours::kCollect));
    bmp(m / "infoscreen.bmp", Bitmap(800, 600, {16, 64, 16}));
    bmp(m / "backbutton.bmp", Button(84, 40, {100, 100, 100}));
    bmp(m / "n_font.bmp", Font(colours::kNormalFont));
    bmp(m / "h_font.bmp", Font(colours::kHighlightFont));
    bmp(m / "HallBlackFont.bmp", Font(colours::kHallFontA));
    bmp(m / "HallPurpleFont.bmp", Font(colours::kHallFontB));
    bmp(m / "blockcursor.bmp", Bitmap(10, 20, {248, 248, 248}));
    for (const char* name : {"HowToPlayButton.bmp", "PlayButton.bmp", "HighScoresButton.bmp",
                             "MenuButton.bmp", "CreditsButton.bmp", "ExitButton.bmp"})
        bmp(m / name, Button(112, 56, {120, 80, 40}));
    bmp(m / "PlayersButton.bmp", Button(240, 48, {120, 80, 40}));
    bmp(m / "sfx.bmp", Strip(48, 48, {{0, 200, 0}, {200, 0, 0}}));
    bmp(m / "music.bmp", Strip(48, 48, {{0, 200, 0}, {200, 0, 0}}));
    bmp(m / "HallOfFameScreen.bmp", Bitmap(694, 564, colours::kHallScreen));
    bmp(m / "UploadButton.bmp", Button(128, 48, {40, 120, 40}));
    bmp(m / "ClearScores.bmp", Button(128, 48, {120, 40, 40}));
    bmp(m / "PlayerInfo.bmp", Bitmap(694, 564, colours::kPlayerScreen));
    bmp(m / "EnterButton.bmp", Button(104, 40, {40, 120, 40}));
    bmp(m / "RemoveButton.bmp", Button(104, 40, {120, 40, 40}));
    bmp(m / "yesno.bmp", Strip(64, 32, {{0, 200, 0}, {200, 0, 0}}));
}

void MenuTest::TearDown() {
    std::error_code ignored;
    if (!HasFailure()) fs::remove_all(menuFolder_, ignored);
}

void MenuTest::AddGame(const std::string& name) {
    const fs::path game = menuFolder_ / name;
    WriteBytes(game / "LobbitButton.bmp", BmpBytes(Bitmap(256, 104, colours::kGamePicture)));
    WriteBytes(game / "title" / "titlebackground.bmp", BmpBytes(Bitmap(800, 600, colours::kTitleBackground)));
    WriteBytes(game / "title" / "Credits.bmp", BmpBytes(Bitmap(694, 564, colours::kCredits)));
    WriteBytes(game / "title" / "HowToPlay.bmp", BmpBytes(Bitmap(694, 564, colours::kCredits)));
    // The game program the menu starts: any executable file of the folder's name in lower case.
    std::string program = name;
    for (char& c : program)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    WriteText(game / program, "#!/bin/sh\nexit 0\n");
    fs::permissions(game / program, fs::perms::owner_all);
}

int MenuTest::RunMenu(const std::string& script, int maxFrames, const std::vector<std::string>& arguments) {
    WriteText(menuFolder_ / "script.txt", script);
    // The menu changes its current folder, so the files it writes into come with whole paths.
    const std::string scriptPath = (menuFolder_ / "script.txt").string();
    const std::string recordPath = (menuFolder_ / "record.txt").string();
    std::vector<std::string> environment;
    for (char** variable = environ; *variable; ++variable)
        if (std::strncmp(*variable, "HOST_", 5) != 0) environment.push_back(*variable);
    environment.insert(environment.end(),
                       {"HOST_BACKEND=headless", "HOST_SCRIPT=" + scriptPath, "HOST_RECORD=" + recordPath,
                        "HOST_MAX_FRAMES=" + std::to_string(maxFrames)});
    std::vector<char*> envp;
    for (std::string& variable : environment)
        envp.push_back(variable.data());
    envp.push_back(nullptr);
    std::string program = (menuFolder_ / "lobbit").string();
    std::vector<std::string> args = arguments;
    std::vector<char*> argv{program.data()};
    for (std::string& argument : args)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    const std::string workingFolder = menuFolder_.string();
    const std::string logPath = (menuFolder_ / "program.log").string();
    const pid_t child = fork();
    if (child == 0) {
        if (chdir(workingFolder.c_str()) != 0) _exit(126);
        const int log = open(logPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
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

Capture MenuTest::Captured(const std::string& name) const {
    const std::vector<uint8_t> bytes = ReadBytes(menuFolder_ / name);
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

std::vector<std::string> MenuTest::RecordLines() const {
    std::ifstream in(menuFolder_ / "record.txt");
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

std::string MenuTest::ProgramOutput() const {
    return ReadText(menuFolder_ / "program.log");
}

std::string MenuTest::ReadText(const fs::path& file) const {
    const std::vector<uint8_t> bytes = ReadBytes(file);
    return std::string(bytes.begin(), bytes.end());
}

void MenuTest::WriteText(const fs::path& file, const std::string& text) const {
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << text;
}

void MenuTest::WriteBytes(const fs::path& file, const std::vector<uint8_t>& bytes) const {
    fs::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

std::vector<uint8_t> MenuTest::ReadBytes(const fs::path& file) const {
    std::ifstream in(file, std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

} // namespace lobbit_e2e
