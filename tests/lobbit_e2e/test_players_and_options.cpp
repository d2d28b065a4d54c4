// The title page keeps the switches and the players in the menu folder's options.ini: the toggles, the
// current player chosen by a click, and a player's record typed into the player editor.
#include "menu_fixture.h"

namespace lobbit_e2e {
namespace {

class OptionsTest : public MenuTest {
  protected:
    std::string Options() const { return ReadText(menuFolder_ / "options.ini"); }
};

bool Has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

TEST_F(OptionsTest, TogglesAndAFieldClickAreWrittenAtOnce) {
    AddGame("Tessary");
    WriteText(menuFolder_ / "options.ini", "[setup]\nSFX=N\n\n[Other]\nkept=1\n");
    // SFX starts off ("N"), so one click turns it on; Music starts on, so one click turns it off.
    std::string script = Click(10, kSfx) + Click(20, kMusic) + Click(30, PlayerField(5));
    script += "40 capture title.bmp\n" + Click(45, kExit);
    ASSERT_EQ(RunMenu(script, 100, {"Tessary"}), 0) << ProgramOutput();
    const std::string options = Options();
    EXPECT_TRUE(Has(options, "SFX=Y")) << options;
    EXPECT_TRUE(Has(options, "Music=N")) << options;
    EXPECT_TRUE(Has(options, "playerid=5")) << options;
    EXPECT_TRUE(Has(options, "[Other]\nkept=1")) << options;
    // The chosen player's name is drawn with the highlight font, the others with the normal one.
    const Capture title = Captured("title.bmp");
    ASSERT_TRUE(title.ok());
    EXPECT_TRUE(Same565(title.At(408 + 1, 464 + 5), colours::kHighlightFont)); // player 6 (index 5)
    EXPECT_TRUE(Same565(title.At(239 + 1, 378 + 5), colours::kNormalFont));    // player 1
}

TEST_F(OptionsTest, ThePlayerEditorStoresTypedTextForTheCurrentPlayer) {
    AddGame("Tessary");
    WriteText(menuFolder_ / "options.ini", "[setup]\nplayerid=2\n\n[Player3]\nname=Old Name\nsend=N\n");
    std::string script = Click(10, kPlayers);
    // The name field has the focus and shows "Old Name": clear it, type, and move on with Enter.
    script += "20 key BackSpace\n21 key BackSpace\n22 key BackSpace\n23 key BackSpace\n24 key BackSpace\n";
    script += "25 key BackSpace\n26 key BackSpace\n27 key BackSpace\n";
    script += "30 text Bob Lee\n31 key Return\n35 text 1 High St\n36 key Return\n40 text bob@example.org\n";
    script += "45 capture editor.bmp\n";
    script += Click(50, kYesNo) + Click(60, kEnter) + "75 capture title.bmp\n" + Click(80, kExit);
    ASSERT_EQ(RunMenu(script, 150, {"Tessary"}), 0) << ProgramOutput();
    const std::string options = Options();
    const std::string player3 = options.substr(options.find("[Player3]"));
    const std::string section = player3.substr(0, player3.find("\n[", 1));
    for (const char* line :
         {"\nname=Bob Lee\n", "\naddress=1 High St\n", "\nemail=bob@example.org\n", "\nsend=Y\n"})
        EXPECT_TRUE(Has(section + "\n", line)) << section;
    // Every player is written after the editor closes.
    EXPECT_TRUE(Has(options, "[Player8]\nname=Player8")) << options;
    const Capture editor = Captured("editor.bmp");
    ASSERT_TRUE(editor.ok());
    EXPECT_TRUE(Same565(editor.At(300, 100), colours::kPlayerScreen));
    // The typed name is drawn in the name field with the editor's font.
    EXPECT_TRUE(Same565(editor.At(51, 275), colours::kHighlightFont));
    const Capture title = Captured("title.bmp");
    ASSERT_TRUE(title.ok());
    EXPECT_TRUE(Same565(title.At(400, 100), colours::kTitleBackground));
}

TEST_F(OptionsTest, EscapeWhileTypingEndsTheMenuCleanly) {
    AddGame("Tessary");
    const std::string script = Click(10, kPlayers) + "20 text abc\n25 key Escape\n100 capture late.bmp\n";
    EXPECT_EQ(RunMenu(script, 200, {"Tessary"}), 0) << ProgramOutput();
    EXPECT_FALSE(Captured("late.bmp").ok()); // it ended at the Esc key, long before frame 100
    // Nothing was stored: the editor ended with the program, not with "enter".
    EXPECT_FALSE(Has(Options(), "abc"));
}

} // namespace
} // namespace lobbit_e2e
