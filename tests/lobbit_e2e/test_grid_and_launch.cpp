// The grid finds the game folders and shows them, a game's button opens its title page, and Play starts
// the game with the menu folder as its command line; started with a game's name, the menu opens on that
// game's title page.
#include "menu_fixture.h"

namespace lobbit_e2e {
namespace {

namespace fs = std::filesystem;

class GridTest : public MenuTest {};

std::vector<std::string> LinesStarting(const std::vector<std::string>& lines, const std::string& prefix) {
    std::vector<std::string> found;
    for (const std::string& line : lines)
        if (line.rfind(prefix, 0) == 0) found.push_back(line);
    return found;
}

TEST_F(GridTest, FindsOnlyGameFoldersAndShowsThemInNameOrder) {
    AddGame("Tessary");
    fs::create_directories(menuFolder_ / "NotAGame");             // a folder without a grid picture
    WriteText(menuFolder_ / "Aaa", "a file named like a folder"); // a plain file
    AddGame(".Hidden");                                           // a dot folder is never a game
    ASSERT_EQ(RunMenu("10 capture grid.bmp\n", 12), 0) << ProgramOutput();
    const Capture grid = Captured("grid.bmp");
    ASSERT_TRUE(grid.ok());
    const Point first = GridSlot(0), second = GridSlot(1), third = GridSlot(2);
    EXPECT_TRUE(Same565(grid.At(first.x, first.y), colours::kGamePicture));
    // The collect button takes the slot after the last game; the slot after it stays empty.
    EXPECT_TRUE(Same565(grid.At(second.x, second.y), colours::kCollect));
    EXPECT_TRUE(Same565(grid.At(third.x, third.y), colours::kGridBackground));
    // Every picture of the grid page loaded: no error box.
    EXPECT_TRUE(LinesStarting(RecordLines(), "message ").empty());
}

TEST_F(GridTest, ClickingAGameOpensItsTitlePageAndPlayStartsIt) {
    AddGame("Tessary");
    const std::string script = Click(5, GridSlot(0)) + "20 capture title.bmp\n" + Click(25, kPlay);
    ASSERT_EQ(RunMenu(script, 200), 0) << ProgramOutput();
    const Capture title = Captured("title.bmp");
    ASSERT_TRUE(title.ok());
    EXPECT_TRUE(Same565(title.At(400, 100), colours::kTitleBackground));
    EXPECT_TRUE(LinesStarting(RecordLines(), "message ").empty());
    const std::string menu = menuFolder_.string();
    EXPECT_EQ(
        LinesStarting(RecordLines(), "start "),
        std::vector<std::string>{"start " + menu + "/Tessary/tessary " + menu + " " + menu + "/Tessary"});
}

TEST_F(GridTest, StartedWithAGameNameItOpensOnThatTitlePage) {
    AddGame("Tessary");
    AddGame("TessaryDemo"); // its program name begins with the same text
    ASSERT_EQ(RunMenu("10 capture title.bmp\n" + Click(12, kPlay), 100, {"Tessary"}), 0) << ProgramOutput();
    const Capture title = Captured("title.bmp");
    ASSERT_TRUE(title.ok());
    EXPECT_TRUE(Same565(title.At(400, 100), colours::kTitleBackground));
    // The game named exactly is the one shown and started.
    const std::string menu = menuFolder_.string();
    EXPECT_EQ(
        LinesStarting(RecordLines(), "start "),
        std::vector<std::string>{"start " + menu + "/Tessary/tessary " + menu + " " + menu + "/Tessary"});
}

TEST_F(GridTest, ThirteenGamesPageOnAndEmptySlotsDoNothing) {
    for (int i = 1; i <= 13; ++i)
        AddGame("Game" + std::string(i < 10 ? "0" : "") + std::to_string(i));
    std::string script = "8 capture page1.bmp\n" + Click(10, kRightArrow) + "20 capture page2.bmp\n";
    script += Click(25, GridSlot(2)); // empty on page 2: nothing happens
    script += Click(35, GridSlot(1)); // the collect button: the maker's site
    script += Click(45, GridSlot(0)); // game 13
    script += "60 capture title.bmp\n";
    ASSERT_EQ(RunMenu(script, 70), 0) << ProgramOutput();
    const Capture page1 = Captured("page1.bmp"), page2 = Captured("page2.bmp"), title = Captured("title.bmp");
    ASSERT_TRUE(page1.ok() && page2.ok() && title.ok());
    for (int slot = 0; slot < 12; ++slot) {
        const Point at = GridSlot(slot);
        EXPECT_TRUE(Same565(page1.At(at.x, at.y), colours::kGamePicture)) << "slot " << slot;
    }
    EXPECT_TRUE(Same565(page2.At(GridSlot(0).x, GridSlot(0).y), colours::kGamePicture));
    EXPECT_TRUE(Same565(page2.At(GridSlot(1).x, GridSlot(1).y), colours::kCollect));
    // No game picture left over from the first page, and no button frame in the empty slots.
    for (int slot = 2; slot < 12; ++slot) {
        const Point at = GridSlot(slot);
        EXPECT_TRUE(Same565(page2.At(at.x, at.y), colours::kGridBackground)) << "slot " << slot;
        EXPECT_TRUE(Same565(page2.At(at.x, at.y - 52), colours::kGridBackground)) << "slot " << slot;
    }
    const std::vector<std::string> opened = LinesStarting(RecordLines(), "open ");
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0].rfind("open http", 0), 0u);
    EXPECT_TRUE(Same565(title.At(400, 100), colours::kTitleBackground));
}

TEST_F(GridTest, MenuGoesBackToARescannedGridAndThePopupsClose) {
    AddGame("Tessary");
    std::string script = Click(10, kCredits) + "20 capture credits.bmp\n" + Click(25, Point{300, 300});
    script += "35 capture title.bmp\n" + Click(40, kMenu) + "50 capture grid.bmp\n";
    const Point info{637 + 36, 89 + 20}, infoBack{689 + 42, 370 + 20}, gridExit{718 + 36, 89 + 20};
    script += Click(55, info) + "65 capture info.bmp\n" + Click(70, infoBack);
    script += "80 capture back.bmp\n" + Click(85, gridExit) + "150 capture late.bmp\n";
    ASSERT_EQ(RunMenu(script, 200, {"Tessary"}), 0) << ProgramOutput();
    const Capture credits = Captured("credits.bmp"), title = Captured("title.bmp"),
                  grid = Captured("grid.bmp");
    const Capture infoScreen = Captured("info.bmp"), back = Captured("back.bmp");
    ASSERT_TRUE(credits.ok() && title.ok() && grid.ok() && infoScreen.ok() && back.ok());
    EXPECT_TRUE(Same565(credits.At(300, 100), colours::kCredits));
    EXPECT_TRUE(Same565(title.At(300, 100), colours::kTitleBackground)); // a click on the picture closed it
    EXPECT_TRUE(Same565(grid.At(GridSlot(0).x, GridSlot(0).y), colours::kGamePicture));
    EXPECT_TRUE(Same565(grid.At(300, 20), colours::kGridBackground));
    EXPECT_TRUE(Same565(infoScreen.At(300, 20), Rgb{16, 64, 16}));
    EXPECT_TRUE(Same565(back.At(300, 20), colours::kGridBackground));
    // The grid's exit ended the menu there, starting nothing.
    EXPECT_FALSE(Captured("late.bmp").ok());
    EXPECT_TRUE(LinesStarting(RecordLines(), "start ").empty());
}

TEST_F(GridTest, AGameWithALongFolderNameIsStartedByItsWholeName) {
    const std::string name = "Game" + std::string(120, 'x'); // longer than the design's 64-byte names
    AddGame(name);
    ASSERT_EQ(RunMenu(Click(5, GridSlot(0)) + Click(20, kPlay), 100), 0) << ProgramOutput();
    std::string program = name;
    for (char& c : program)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    const std::string menu = menuFolder_.string();
    EXPECT_EQ(LinesStarting(RecordLines(), "start "),
              std::vector<std::string>{"start " + menu + "/" + name + "/" + program + " " + menu + " " +
                                       menu + "/" + name});
}

} // namespace
} // namespace lobbit_e2e
