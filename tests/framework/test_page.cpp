// Pages and the page manager: switching by name (same name, unknown name, a new page), calls without a
// current page, leaving twice and entering again, presenting (directly and through an override), the
// image list and the page-images INI loader. The engine's class Frame and the page's Frame operation
// are both used here, which is what keeps the two names apart.
#include "framework_test_support.h"

#include <string>
#include <vector>

#include "framework/button.h"
#include "framework/control_list.h"
#include "framework/image.h"
#include "framework/page.h"
#include "framework/page_manager.h"
#include "framework/surface_helpers.h"
#include "quib/scene/frames/frame.h"

using namespace fwtest;

namespace {

// Writes down every Enter, Leave and Frame it gets.
class CountingPage : public Page {
  public:
    explicit CountingPage(const char* pageName, std::vector<std::string>* calls)
        : Page(pageName), calls_(calls) {}
    void Enter(IDirectDraw* dd, IDirectDrawSurface* back) override {
        calls_->push_back(std::string("enter ") + name);
        enteredWith = dd;
        enteredBack = back;
        Page::Enter(dd, back);
    }
    void Leave() override {
        calls_->push_back(std::string("leave ") + name);
        Page::Leave();
    }
    int Frame(int active) override {
        calls_->push_back(std::string("frame ") + name);
        return active ? 5 : 6;
    }
    int HandleMessage(HWND, UINT msg, WPARAM, LPARAM) override { return msg == WM_USER ? 0 : 1; }

    IDirectDraw* enteredWith = nullptr;
    IDirectDrawSurface* enteredBack = nullptr;

  private:
    std::vector<std::string>* calls_;
};

// A page whose Present only counts.
class CountingPresent : public Page {
  public:
    int Present() override {
        presents++;
        return 7;
    }
    int presents = 0;
};

class PageTest : public DisplayTest {
  protected:
    void SetUp() override {
        DisplayTest::SetUp();
        StartDisplay(false);
    }

    // Pages outlive TearDown, which empties the page manager.
    std::vector<std::string> calls_;
    CountingPage first{"first", &calls_};
    CountingPage second{"second", &calls_};
};

} // namespace

// ---- The names Frame ----

TEST_F(PageTest, PageFrameAndTheEnginesFrameClassLiveSideBySide) {
    ::Frame* engineFrame = nullptr; // the engine's exported class
    Page page("p");
    EXPECT_EQ(1, page.Frame(1)); // the page's operation
    EXPECT_EQ(nullptr, engineFrame);
    static_assert(sizeof(::Frame) > 0);
}

// ---- Switching ----

TEST_F(PageTest, SwitchToANewNameLeavesTheOldAndEntersTheNew) {
    IDirectDraw* dd = QuibGetLPDD();
    g_pageManager.SetDirectDraw(dd, back_);
    g_pageManager.AddPage(&first);
    g_pageManager.AddPage(&second);
    EXPECT_EQ(&first, g_pageManager.SwitchTo("first"));
    EXPECT_EQ(&second, g_pageManager.SwitchTo("second"));
    EXPECT_EQ((std::vector<std::string>{"enter first", "leave first", "enter second"}), calls_);
    EXPECT_EQ(dd, second.enteredWith);
    EXPECT_EQ(back_, second.enteredBack);
    EXPECT_EQ(back_, second.backBuffer);
    EXPECT_EQ(dd, second.directDraw);
}

TEST_F(PageTest, SwitchToTheCurrentNameNeitherLeavesNorEnters) {
    g_pageManager.AddPage(&first);
    g_pageManager.SwitchTo("first");
    calls_.clear();
    EXPECT_EQ(&first, g_pageManager.SwitchTo("first"));
    EXPECT_TRUE(calls_.empty());
}

TEST_F(PageTest, SwitchToAnUnknownNameKeepsTheCurrentPage) {
    g_pageManager.AddPage(&first);
    EXPECT_EQ(nullptr, g_pageManager.SwitchTo("nobody"));
    g_pageManager.SwitchTo("first");
    calls_.clear();
    EXPECT_EQ(&first, g_pageManager.SwitchTo("First")); // names compare exactly
    EXPECT_EQ(&first, g_pageManager.SwitchTo(""));
    EXPECT_EQ(&first, g_pageManager.SwitchTo(nullptr));
    EXPECT_TRUE(calls_.empty());
}

TEST_F(PageTest, SwitchToTakesTheFirstPageOfAName) {
    second.SetName("first");
    g_pageManager.AddPage(&first);
    g_pageManager.AddPage(&second);
    EXPECT_EQ(&first, g_pageManager.SwitchTo("first"));
}

TEST_F(PageTest, WithoutACurrentPageFrameIsZeroAndMessagesAreNotConsumed) {
    EXPECT_EQ(0, g_pageManager.Frame(1));
    EXPECT_EQ(1, g_pageManager.HandleMessage(window_, WM_USER, 0, 0));
}

TEST_F(PageTest, FrameAndMessagesGoToTheCurrentPage) {
    g_pageManager.AddPage(&first);
    g_pageManager.SwitchTo("first");
    EXPECT_EQ(5, g_pageManager.Frame(1));
    EXPECT_EQ(6, g_pageManager.Frame(0));
    EXPECT_EQ(0, g_pageManager.HandleMessage(window_, WM_USER, 0, 0));
    EXPECT_EQ(1, g_pageManager.HandleMessage(window_, WM_MOUSEMOVE, 0, 0));
}

// ---- Leaving and entering again ----

TEST_F(PageTest, LeaveAllReachesPagesNeverEnteredAndEnterRecreatesTheLists) {
    g_pageManager.AddPage(&first);
    g_pageManager.AddPage(&second);
    g_pageManager.SwitchTo("first");
    calls_.clear();
    g_pageManager.LeaveAll();
    EXPECT_EQ((std::vector<std::string>{"leave first", "leave second"}), calls_);
    EXPECT_EQ(nullptr, second.controls);
    EXPECT_EQ(nullptr, second.images);
    second.Leave(); // again: harmless
    second.Enter(QuibGetLPDD(), back_);
    ASSERT_NE(nullptr, second.controls);
    ASSERT_NE(nullptr, second.images);
    EXPECT_EQ(0, second.controls->controls->count);
}

TEST_F(PageTest, LeaveDeletesControlsAndImages) {
    WriteSolidBmp("pic.bmp", 4, 4, 0xFF0000);
    int before = HostDDrawLiveObjects().surfaces;
    Page page("page");
    ASSERT_NE(nullptr, page.AddImage("pic.bmp"));
    Button* button = new Button(0, 0);
    button->AddStateImageFile(0, "pic.bmp");
    page.AddControl(button);
    EXPECT_EQ(before + 2, HostDDrawLiveObjects().surfaces);
    page.Leave();
    EXPECT_EQ(before, HostDDrawLiveObjects().surfaces);
    EXPECT_EQ(nullptr, page.FindImage("pic.bmp"));
    EXPECT_EQ(0, page.DrawImage(back_, "pic.bmp"));
    // Controls added after a Leave still find a list.
    EXPECT_NE(nullptr, page.AddControl(new Button(0, 0)));
}

// ---- Presenting ----

TEST_F(PageTest, PresentFlipsAndRepairsTheBackBuffer) {
    Page page("page");
    IDirectDrawSurface* background = MakeSurface(800, 600, 0x1111);
    SetColorKey(background, 0, 0, 255);
    page.SetBackground(background);
    g_screenUpdater.AddRect(0, 0, 10, 10, kUpdateOneShot, kUpdateRestore);
    FillWith(back_, 0x5555);
    uint64_t frames = HostPresentedFrames();
    EXPECT_EQ(1, page.Present());
    EXPECT_EQ(frames + 1, HostPresentedFrames());
    EXPECT_EQ(0x5555, ShownAt(5, 5));
    EXPECT_EQ(0x1111, PixelOf(back_, 5, 5));
    EXPECT_EQ(0x5555, PixelOf(back_, 15, 15));
    page.SetBackground(nullptr);
    background->Release();
}

TEST_F(PageTest, PageWithAnOverrideNeverFlipsItself) {
    Page page("popup");
    CountingPresent behind;
    page.SetPresentOverride(&behind);
    uint64_t frames = HostPresentedFrames();
    EXPECT_EQ(7, page.Present());
    EXPECT_EQ(1, behind.presents);
    EXPECT_EQ(frames, HostPresentedFrames());
    page.SetPresentOverride(&page); // pointing at itself presents normally instead of looping
    EXPECT_EQ(1, page.Present());
    EXPECT_EQ(frames + 1, HostPresentedFrames());
}

// ---- Names and images ----

TEST_F(PageTest, NamesAreBoundedAndTerminated) {
    Page page(std::string(300, 'p').c_str());
    EXPECT_EQ(std::string(255, 'p'), page.GetName());
    page.SetName(nullptr);
    EXPECT_STREQ("", page.GetName());
}

TEST_F(PageTest, AddImageOfAMissingFileAddsNothing) {
    Page page("page");
    EXPECT_EQ(nullptr, page.AddImage("missing.bmp"));
    EXPECT_EQ(0, page.images->count);
}

TEST_F(PageTest, ImagesAreFoundAndDrawnByName) {
    WriteSolidBmp("pic.bmp", 4, 4, 0xFF0000);
    Page page("page");
    Image* image = page.AddImage("pic.bmp");
    ASSERT_NE(nullptr, image);
    image->SetPosition(20, 30);
    EXPECT_EQ(image, page.FindImage("pic.bmp"));
    EXPECT_EQ(nullptr, page.FindImage("PIC.BMP"));
    EXPECT_EQ(1, page.DrawImage(back_, "pic.bmp"));
    EXPECT_EQ(0xF800, PixelOf(back_, 20, 30));
    EXPECT_EQ(1, page.DrawImageAt(back_, "pic.bmp", 100, 100));
    EXPECT_EQ(0xF800, PixelOf(back_, 103, 103));
    EXPECT_EQ(0, page.DrawImageAt(back_, "absent", 0, 0));
    EXPECT_EQ(0, page.DrawImage(back_, "absent"));
}

TEST_F(PageTest, RemoveImageTakesItOutWithoutDeletingIt) {
    WriteSolidBmp("a.bmp", 4, 4, 0xFF0000);
    WriteSolidBmp("b.bmp", 4, 4, 0x00FF00);
    Page page("page");
    Image* a = page.AddImage("a.bmp");
    Image* b = page.AddImage("b.bmp");
    page.RemoveImage(0);
    ASSERT_EQ(1, page.images->count);
    EXPECT_EQ(b, page.images->items[0]);
    EXPECT_NE(nullptr, a->surface); // still alive: the caller owns it now
    delete a;
    page.RemoveImage(5); // out of range: nothing
    EXPECT_EQ(1, page.images->count);
}

// ---- Page-images INI ----

TEST_F(PageTest, PageImagesIniListsSectionsWithFilesAndPositions) {
    std::filesystem::create_directory("art");
    WriteSolidBmp("sky.bmp", 8, 4, 0x0000FF);
    WriteSolidBmp("art/Logo.bmp", 6, 3, 0xFF0000);
    WriteText("pages.ini", "[images]\n"
                           "image01=sky\n"
                           "image02=logo\n"
                           "image03=gone\n"
                           "image05=skipped\n"
                           "\n"
                           "[logo]\n"
                           "file=art\\logo.bmp\n"
                           "x=10\n"
                           "y=20\n"
                           "\n"
                           "[gone]\n"
                           "file=nothing.bmp\n"
                           "x=3\n");
    Page page("page");
    std::string ini = (Folder() / "pages.ini").string();
    EXPECT_EQ(0, page.LoadImages(ini.c_str()));
    ASSERT_EQ(3, page.images->count);
    Image* sky = page.FindImage("sky");
    ASSERT_NE(nullptr, sky);
    EXPECT_NE(nullptr, sky->surface); // no "file": the section's name with ".bmp"
    EXPECT_EQ(8, sky->width);
    EXPECT_EQ(0, sky->x);
    EXPECT_EQ(0, sky->y);
    Image* logo = page.FindImage("logo");
    ASSERT_NE(nullptr, logo);
    EXPECT_NE(nullptr, logo->surface);
    EXPECT_EQ(6, logo->width);
    EXPECT_EQ(10, logo->x);
    EXPECT_EQ(20, logo->y);
    Image* gone = page.FindImage("gone"); // kept without a picture
    ASSERT_NE(nullptr, gone);
    EXPECT_EQ(nullptr, gone->surface);
    EXPECT_EQ(3, gone->x);
    EXPECT_EQ(1, page.DrawImage(back_, "gone"));
    EXPECT_EQ(nullptr, page.FindImage("skipped")); // image04 is missing: the list ends there
}

TEST_F(PageTest, PageImagesIniWithoutTheFirstKeyLoadsNothing) {
    WriteSolidBmp("sky.bmp", 8, 4, 0x0000FF);
    WriteText("pages.ini", "[images]\nimage02=sky\n");
    Page page("page");
    std::string ini = (Folder() / "pages.ini").string();
    EXPECT_EQ(0, page.LoadImages(ini.c_str()));
    EXPECT_EQ(0, page.images->count);
    std::string missing = (Folder() / "missing.ini").string();
    EXPECT_EQ(0, page.LoadImages(missing.c_str()));
    EXPECT_EQ(0, page.images->count);
}

TEST_F(PageTest, PageImagesIniLongSectionNamesStayBounded) {
    std::string longName(300, 's');
    WriteText("pages.ini", "[images]\nimage01=" + longName + "\n");
    Page page("page");
    std::string ini = (Folder() / "pages.ini").string();
    page.LoadImages(ini.c_str());
    ASSERT_EQ(1, page.images->count);
    EXPECT_EQ(nullptr, page.images->items[0]->surface);
    EXPECT_LT(std::string(page.images->items[0]->name).size(), size_t(kImageNameSize));
}

// ---- Posting to the main window ----

TEST_F(PageTest, PostWindowMessageReachesTheMainWindow) {
    PostWindowMessage(WM_USER + 7);
    MSG msg = {};
    ASSERT_TRUE(PeekMessageA(&msg, window_, WM_USER + 7, WM_USER + 7, PM_REMOVE));
    EXPECT_EQ(window_, msg.hwnd);
    EXPECT_EQ(0u, msg.wParam);
    EXPECT_EQ(0, msg.lParam);
}
