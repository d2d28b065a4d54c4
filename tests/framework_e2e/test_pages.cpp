// The "pages" scene end to end, full screen and in a window: the scripted mouse hovers, presses and
// releases a button (hover picture, pressed picture), the click switches pages by name and back, and
// the cursor leaves nothing behind where it was.
#include "e2e_art.h"
#include "e2e_driver.h"
#include "scene_pages.h"

using namespace e2e;
using namespace pages_scene;

namespace {

constexpr const char* kClickScript = "3 capture start.bmp\n"
                                     "5 move 400 300\n"
                                     "10 capture hover.bmp\n"
                                     "12 down left\n"
                                     "18 capture pressed.bmp\n"
                                     "20 up left\n"
                                     "25 move 600 100\n"
                                     "30 capture second.bmp\n"
                                     "35 move 150 470\n"
                                     "38 capture back-hover.bmp\n"
                                     "40 down left\n"
                                     "46 up left\n"
                                     "52 move 600 100\n"
                                     "60 capture again.bmp\n";

const uint16_t kCursor = To565(kCursorWhite);

class PagesSceneTest : public SceneTest, public ::testing::WithParamInterface<const char*> {
  protected:
    void SetUp() override {
        SceneTest::SetUp();
        ASSERT_EQ(0, RunScene("pages", GetParam(), kClickScript, 70)) << ProgramOutput();
    }

    Picture Frame(const char* name) {
        Picture picture = Capture(name);
        EXPECT_TRUE(picture.ok()) << name << " was not captured";
        EXPECT_EQ(800, picture.width);
        EXPECT_EQ(600, picture.height);
        return picture;
    }
};

// The cursor's pixels with its top-left corner at (x, y): every opaque one white, and no other white
// pixel anywhere (so there is no second cursor, no trail).
void ExpectCursorAt(const Picture& picture, int x, int y, const char* name) {
    EXPECT_EQ(kCursorOpaquePixels, picture.Count(kCursor)) << name;
    EXPECT_EQ(kCursor, picture.At(x, y)) << name;
    EXPECT_EQ(kCursor, picture.At(x + 3, y + 9)) << name;
    EXPECT_NE(kCursor, picture.At(x + 9, y + 3)) << name; // the transparent triangle
}

} // namespace

TEST_P(PagesSceneTest, FirstPageShowsItsBackgroundBadgeAndButton) {
    Picture start = Frame("start.bmp");
    EXPECT_EQ(To565(kFirstBackground), start.At(200, 500));
    EXPECT_EQ(To565(kFirstBackground), start.At(799, 599));
    EXPECT_EQ(To565(kGoNormal), start.At(kGoX, kGoY));
    EXPECT_EQ(To565(kGoNormal), start.At(kGoX + kButtonW - 1, kGoY + kButtonH - 1));
    EXPECT_EQ(To565(kFirstBackground), start.At(kGoX + kButtonW, kGoY));
    // The badge comes from the page-images INI (section "badge", file and position).
    EXPECT_EQ(To565(kBadge), start.At(kBadgeX, kBadgeY));
    EXPECT_EQ(To565(kBadge), start.At(kBadgeX + 19, kBadgeY + 19));
    EXPECT_EQ(To565(kFirstBackground), start.At(kBadgeX - 1, kBadgeY));
    ExpectCursorAt(start, 0, 0, "start");
    EXPECT_EQ(To565(kFirstBackground), start.At(9, 3));
}

TEST_P(PagesSceneTest, HoverThenPressShowTheirPictures) {
    Picture hover = Frame("hover.bmp");
    EXPECT_EQ(To565(kGoHover), hover.At(kGoX + 5, kGoY + 5));
    EXPECT_EQ(To565(kGoHover), hover.At(409, 301)); // under the cursor's transparent corner
    ExpectCursorAt(hover, 400, 300, "hover");
    EXPECT_EQ(To565(kFirstBackground), hover.At(3, 9)); // where the cursor was

    Picture pressed = Frame("pressed.bmp");
    EXPECT_EQ(To565(kGoPressed), pressed.At(kGoX + 5, kGoY + 5));
    EXPECT_EQ(To565(kGoPressed), pressed.At(kGoX + kButtonW - 1, kGoY + kButtonH - 1));
    ExpectCursorAt(pressed, 400, 300, "pressed");
}

TEST_P(PagesSceneTest, ClickSwitchesToTheSecondPageAndBack) {
    Picture second = Frame("second.bmp");
    EXPECT_EQ(To565(kSecondBackground), second.At(200, 500));
    EXPECT_EQ(To565(kSecondBackground), second.At(kGoX + 5, kGoY + 5)); // the first page's button is gone
    EXPECT_EQ(To565(kSecondBackground), second.At(kBadgeX, kBadgeY));   // and its badge
    EXPECT_EQ(To565(kBackNormal), second.At(kBackX, kBackY));
    ExpectCursorAt(second, 600, 100, "second");
    EXPECT_EQ(0, second.Count(To565(kFirstBackground)));

    Picture backHover = Frame("back-hover.bmp");
    EXPECT_EQ(To565(kBackHover), backHover.At(kBackX + 5, kBackY + 5));
    ExpectCursorAt(backHover, 150, 470, "back-hover");

    Picture again = Frame("again.bmp");
    EXPECT_EQ(To565(kFirstBackground), again.At(200, 500));
    EXPECT_EQ(To565(kGoNormal), again.At(kGoX + 5, kGoY + 5));
    EXPECT_EQ(To565(kBadge), again.At(kBadgeX, kBadgeY));
    EXPECT_EQ(0, again.Count(To565(kSecondBackground)));
    EXPECT_EQ(0, again.Count(To565(kBackNormal)));
    ExpectCursorAt(again, 600, 100, "again");
}

INSTANTIATE_TEST_SUITE_P(Modes, PagesSceneTest, ::testing::Values("full", "window"));
