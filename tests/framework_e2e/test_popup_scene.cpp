// The "popup" scene end to end, full screen and in a window: the script clicks the page's button, the
// modal popup runs its own frames over the page, and clicking one of its buttons ends it with that
// button's name; afterwards the page is whole again and shows the result.
#include <sstream>

#include "e2e_art.h"
#include "e2e_driver.h"
#include "scene_popup.h"

using namespace e2e;
using namespace popup_scene;

namespace {

class PopupSceneTest : public SceneTest, public ::testing::WithParamInterface<const char*> {
  protected:
    // Opens the popup, captures it, clicks the choice at choiceX, captures the page afterwards.
    static std::string ChooseScript(int choiceX) {
        std::ostringstream script;
        script << "2 move " << kOpenX + kOpenW / 2 << ' ' << kOpenY + kOpenH / 2 << '\n'
               << "3 down left\n5 up left\n9 capture during.bmp\n"
               << "10 move " << kPopupX + choiceX + kChoiceW / 2 << ' ' << kPopupY + kChoiceY + kChoiceH / 2
               << '\n'
               << "12 down left\n14 up left\n24 capture after.bmp\n";
        return script.str();
    }
};

TEST_P(PopupSceneTest, PopupRunsOverThePageUntilItsButtonEndsIt) {
    ASSERT_EQ(0, RunScene("popup", GetParam(), ChooseScript(kNoX), 30)) << ProgramOutput();
    EXPECT_NE(ProgramOutput().find("popup result: no\n"), std::string::npos) << ProgramOutput();

    Picture during = Capture("during.bmp");
    ASSERT_TRUE(during.ok());
    EXPECT_EQ(To565(kPopupPicture), during.At(kPopupX + 10, kPopupY + 10));
    EXPECT_EQ(To565(kPopupPicture), during.At(kPopupX + kPopupW - 1, kPopupY + kPopupH - 1));
    EXPECT_EQ(To565(kBackground), during.At(kPopupX - 1, kPopupY + 10));
    EXPECT_EQ(To565(kYesButton), during.At(kPopupX + kYesX + 5, kPopupY + kChoiceY + 5));
    EXPECT_EQ(To565(kNoButton), during.At(kPopupX + kNoX + kChoiceW - 1, kPopupY + kChoiceY + kChoiceH - 1));
    EXPECT_EQ(0, during.Count(To565(kNoButton)) - kChoiceW * kChoiceH) << "the no button, once";

    Picture after = Capture("after.bmp");
    ASSERT_TRUE(after.ok());
    EXPECT_EQ(To565(kNoButton), after.At(kBadgeX + 5, kBadgeY + 5)) << "the page saw the result";
    EXPECT_EQ(kBadgeSize * kBadgeSize, after.Count(To565(kNoButton)));
    EXPECT_EQ(0, after.Count(To565(kPopupPicture))) << "the popup's picture is gone";
    EXPECT_EQ(0, after.Count(To565(kYesButton)));
    EXPECT_EQ(To565(kOpenButton), after.At(kOpenX + 5, kOpenY + 5));
}

TEST_P(PopupSceneTest, TheOtherButtonGivesTheOtherResult) {
    ASSERT_EQ(0, RunScene("popup", GetParam(), ChooseScript(kYesX), 30)) << ProgramOutput();
    EXPECT_NE(ProgramOutput().find("popup result: yes\n"), std::string::npos) << ProgramOutput();
    Picture after = Capture("after.bmp");
    ASSERT_TRUE(after.ok());
    EXPECT_EQ(kBadgeSize * kBadgeSize, after.Count(To565(kYesButton)));
    EXPECT_EQ(0, after.Count(To565(kNoButton)));
}

TEST_P(PopupSceneTest, WithoutAChoiceThePopupKeepsRunningUntilTheWindowCloses) {
    std::ostringstream script;
    script << "2 move " << kOpenX + 5 << ' ' << kOpenY + 5 << "\n3 down left\n5 up left\n"
           << "8 move 100 500\n9 down left\n11 up left\n20 capture late.bmp\n";
    EXPECT_EQ(0, RunScene("popup", GetParam(), script.str(), 24)) << ProgramOutput();
    EXPECT_EQ(ProgramOutput().find("popup result"), std::string::npos)
        << "a click beside the popup ends nothing";
    Picture late = Capture("late.bmp");
    ASSERT_TRUE(late.ok());
    EXPECT_EQ(To565(kPopupPicture), late.At(kPopupX + 10, kPopupY + 10));
}

} // namespace

INSTANTIATE_TEST_SUITE_P(Modes, PopupSceneTest, ::testing::Values("full", "window"));
