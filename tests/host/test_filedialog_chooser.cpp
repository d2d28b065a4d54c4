// The file chooser without a display: its model (list, filter, navigation, typed names), its layout and
// hit testing, its drawing into a picture, and the modal session that turns a backend's events into it.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "host/win/file_chooser.h"
#include "host/win/file_chooser_session.h"
#include "host/win/file_chooser_view.h"
#include "host/win/keystate.h"
#include "win_test_folder.h"

namespace {

using wintest::TempFolder;
using wintest::WriteText;

std::vector<std::string> Names(const HostFileChooser& chooser) {
    std::vector<std::string> names;
    for (const HostChooserEntry& entry : chooser.Entries())
        names.push_back(entry.folder ? entry.name + "/" : entry.name);
    return names;
}

int IndexOf(const HostFileChooser& chooser, const std::string& name) {
    for (size_t i = 0; i < chooser.Entries().size(); ++i)
        if (chooser.Entries()[i].name == name) return static_cast<int>(i);
    return -1;
}

TEST(FileChooserNames, WildcardsMatchIgnoringCase) {
    struct Case {
        const char* name;
        const char* pattern;
        bool matches;
    } cases[] = {
        {"001.lev", "*.lev", true},
        {"001.LEV", "*.lev", true},
        {"001.lev.bak", "*.lev", false},
        {"lev", "*.lev", false},
        {"a.lev", "?.lev", true},
        {"ab.lev", "?.lev", false},
        {"README", "*.*", true},
        {"README", "READ*.*", true},
        {"notes.txt", "*.*", true},
        {"abcabd", "*abd", true},
        {"abcab", "a*b*b", true},
        {"abc", "a*d", false},
        {"", "*", true},
        {"x", "", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(HostWildcardMatch(c.name, c.pattern), c.matches) << c.name << " ~ " << c.pattern;
    EXPECT_TRUE(HostHasWildcards("*.lev"));
    EXPECT_FALSE(HostHasWildcards("001.lev"));
}

class FileChooserTest : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const char* name : {"b.lev", "A.lev", "c.LEV", "notes.txt", ".hidden.lev"})
            WriteText(folder_ / name, name);
        std::filesystem::create_directories(folder_ / "Zeta");
        std::filesystem::create_directories(folder_ / "alpha");
        WriteText(folder_ / "alpha/inner.lev", "inner");
    }

    HostFileDialogRequest Request(const std::string& fileName = "") {
        HostFileDialogRequest request;
        request.title = "Load Level";
        request.folder = folder_.Path();
        request.filters = {{"Level files", {"*.lev"}}, {"Text", {"*.txt"}}};
        request.fileName = fileName;
        request.defaultExtension = "lev";
        return request;
    }

    TempFolder folder_;
};

TEST_F(FileChooserTest, ListsUpFoldersThenMatchingFilesEachSortedIgnoringCase) {
    HostFileChooser chooser(Request());
    EXPECT_EQ(chooser.Folder(), folder_.Path());
    EXPECT_EQ(Names(chooser),
              (std::vector<std::string>{"../", "alpha/", "Zeta/", "A.lev", "b.lev", "c.LEV"}));
    EXPECT_EQ(chooser.Selected(), -1);
    EXPECT_EQ(chooser.PatternText(), "*.lev");
}

TEST_F(FileChooserTest, APatternInTheNameFieldReplacesTheFilterUntilTheFilterChanges) {
    HostFileChooser chooser(Request("*.txt"));
    EXPECT_EQ(chooser.Name(), "");
    EXPECT_EQ(Names(chooser), (std::vector<std::string>{"../", "alpha/", "Zeta/", "notes.txt"}));
    chooser.NextFilter(); // to "Text"; the typed pattern is forgotten
    EXPECT_EQ(chooser.FilterIndex(), 1);
    EXPECT_EQ(chooser.PatternText(), "*.txt");
    chooser.NextFilter(); // wraps to "Level files"
    EXPECT_EQ(chooser.PatternText(), "*.lev");
    EXPECT_EQ(Names(chooser).back(), "c.LEV");
    for (char c : std::string("*.TXT"))
        chooser.Type(c);
    EXPECT_EQ(chooser.Accept(), HostFileChooser::Outcome::Stay);
    EXPECT_EQ(Names(chooser).back(), "notes.txt");
    EXPECT_EQ(chooser.Name(), "");
}

TEST_F(FileChooserTest, FoldersAreEnteredAndLeftByListAndByName) {
    HostFileChooser chooser(Request());
    EXPECT_EQ(chooser.Activate(IndexOf(chooser, "alpha")), HostFileChooser::Outcome::Stay);
    EXPECT_EQ(chooser.Folder(), folder_ / "alpha");
    EXPECT_EQ(Names(chooser), (std::vector<std::string>{"../", "inner.lev"}));
    chooser.Activate(0); // ".." comes back onto the folder just left
    EXPECT_EQ(chooser.Folder(), folder_.Path());
    EXPECT_EQ(chooser.Selected(), IndexOf(chooser, "alpha"));
    for (char c : std::string("ZETA"))
        chooser.Type(c);
    EXPECT_EQ(chooser.Accept(), HostFileChooser::Outcome::Stay);
    EXPECT_EQ(chooser.Folder(), folder_ / "Zeta");
    EXPECT_EQ(chooser.Name(), "");
    chooser.GoUp();
    chooser.GoUp();
    EXPECT_EQ(chooser.Folder(), folder_.Path().substr(0, folder_.Path().find_last_of('/')));
    EXPECT_FALSE(chooser.Enter(folder_ / "missing"));
    EXPECT_FALSE(chooser.Status().empty());
}

TEST_F(FileChooserTest, TheRootHasNoWayUp) {
    HostFileDialogRequest request = Request();
    request.folder = "/";
    HostFileChooser chooser(request);
    EXPECT_EQ(chooser.Folder(), "/");
    ASSERT_FALSE(chooser.Entries().empty());
    EXPECT_NE(chooser.Entries()[0].name, "..");
    chooser.GoUp();
    EXPECT_EQ(chooser.Folder(), "/");
}

TEST_F(FileChooserTest, TypedNamesAreChosenWithTheDefaultExtensionOrExplained) {
    HostFileDialogRequest request = Request();
    request.fileMustExist = true;
    HostFileChooser chooser(request);
    for (char c : std::string("missing"))
        chooser.Type(c);
    EXPECT_EQ(chooser.Accept(), HostFileChooser::Outcome::Stay);
    EXPECT_EQ(chooser.Status(), "File not found: missing.lev");
    for (int i = 0; i < 7; ++i)
        chooser.Erase();
    EXPECT_EQ(chooser.Status(), "");
    for (char c : std::string("nowhere\\x"))
        chooser.Type(c);
    EXPECT_EQ(chooser.Accept(), HostFileChooser::Outcome::Stay);
    EXPECT_EQ(chooser.Status(), "That folder does not exist.");
    for (int i = 0; i < 9; ++i)
        chooser.Erase();
    for (char c : std::string("  B "))
        chooser.Type(c);
    EXPECT_EQ(chooser.Accept(), HostFileChooser::Outcome::Chosen);
    EXPECT_EQ(chooser.ChosenPath(), folder_ / "b.lev");
}

TEST_F(FileChooserTest, AnEmptyNameTakesTheSelectionAndNothingElse) {
    HostFileChooser chooser(Request());
    EXPECT_EQ(chooser.Accept(), HostFileChooser::Outcome::Stay);
    EXPECT_EQ(chooser.Status(), "Type a file name or pick a file.");
    chooser.Select(IndexOf(chooser, "c.LEV"));
    EXPECT_EQ(chooser.Name(), "c.LEV");
    chooser.Select(IndexOf(chooser, "Zeta")); // a folder leaves the name alone
    EXPECT_EQ(chooser.Name(), "c.LEV");
    chooser.Erase();
    chooser.Erase();
    chooser.Erase();
    chooser.Erase();
    chooser.Erase();
    EXPECT_EQ(chooser.Accept(), HostFileChooser::Outcome::Stay); // enters the selected folder
    EXPECT_EQ(chooser.Folder(), folder_ / "Zeta");
}

TEST_F(FileChooserTest, SavingOverAFileAsksForASecondOk) {
    HostFileDialogRequest request = Request();
    request.save = true;
    request.overwritePrompt = true;
    HostFileChooser chooser(request);
    int file = IndexOf(chooser, "A.lev");
    EXPECT_EQ(chooser.Activate(file), HostFileChooser::Outcome::Stay);
    EXPECT_EQ(chooser.Status(), "A.lev exists. Press OK again to replace it.");
    EXPECT_EQ(chooser.Activate(file), HostFileChooser::Outcome::Chosen);
    EXPECT_EQ(chooser.ChosenPath(), folder_ / "A.lev");

    HostFileChooser typed(request);
    for (char c : std::string("b.lev"))
        typed.Type(c);
    EXPECT_EQ(typed.Accept(), HostFileChooser::Outcome::Stay);
    typed.Erase(); // any change starts the question again
    typed.Type('v');
    EXPECT_EQ(typed.Accept(), HostFileChooser::Outcome::Stay);
    EXPECT_EQ(typed.Accept(), HostFileChooser::Outcome::Chosen);
    for (int i = 0; i < 5; ++i)
        typed.Erase();
    for (char c : std::string("new"))
        typed.Type(c);
    EXPECT_EQ(typed.Accept(), HostFileChooser::Outcome::Chosen); // a new file: no question
    EXPECT_EQ(typed.ChosenPath(), folder_ / "new.lev");
}

TEST_F(FileChooserTest, SelectionAndViewStayWithinTheList) {
    for (int i = 0; i < 30; ++i)
        WriteText(folder_ / ("many/" + std::to_string(100 + i) + ".lev"), "x");
    HostFileDialogRequest request = Request();
    request.folder = folder_ / "many";
    HostFileChooser chooser(request);
    ASSERT_EQ(chooser.Entries().size(), 31u); // ".." and 30 files
    chooser.SetVisibleRows(10);
    chooser.MoveSelection(1);
    EXPECT_EQ(chooser.Selected(), 0);
    chooser.MoveSelection(25);
    EXPECT_EQ(chooser.Selected(), 25);
    EXPECT_EQ(chooser.Top(), 16);
    EXPECT_EQ(chooser.Name(), "124.lev");
    chooser.MoveSelection(100);
    EXPECT_EQ(chooser.Selected(), 30);
    EXPECT_EQ(chooser.Top(), 21);
    chooser.Scroll(-5);
    EXPECT_EQ(chooser.Top(), 16);
    EXPECT_EQ(chooser.Selected(), 30); // the wheel moves the view only
    chooser.MoveSelection(-100);
    EXPECT_EQ(chooser.Selected(), 0);
    EXPECT_EQ(chooser.Top(), 0);
    chooser.Scroll(1000);
    EXPECT_EQ(chooser.Top(), 21);
}

TEST_F(FileChooserTest, TheNameFieldTakesPrintableCharactersUpToItsLimit) {
    HostFileChooser chooser(Request());
    chooser.Type('\t');
    chooser.Type('\x7f');
    EXPECT_EQ(chooser.Name(), "");
    for (int i = 0; i < 400; ++i)
        chooser.Type('n');
    EXPECT_EQ(chooser.Name().size(), 259u);
}

// A picture of one colour, as the program's last frame.
HostShownPicture Solid(int width, int height, uint16_t colour) {
    HostShownPicture picture;
    picture.width = width;
    picture.height = height;
    picture.pixels.assign(static_cast<size_t>(width) * height, colour);
    return picture;
}

int CountColour(const HostShownPicture& picture, const RECT& rect, uint16_t colour) {
    int count = 0;
    for (int y = rect.top; y < rect.bottom; ++y)
        for (int x = rect.left; x < rect.right; ++x)
            count += picture.pixels[static_cast<size_t>(y) * picture.width + x] == colour;
    return count;
}

bool Within(const RECT& inner, const RECT& outer) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom && inner.left <= inner.right && inner.top <= inner.bottom;
}

TEST_F(FileChooserTest, LayoutPartsSitInsideThePanelAndAreFoundByTheirPoints) {
    HostChooserLayout layout = HostLayoutChooser(800, 600);
    for (const RECT& part : {layout.title, layout.folderLine, layout.list, layout.scrollBar,
                             layout.filterLine, layout.nameBox, layout.statusLine, layout.ok, layout.cancel})
        EXPECT_TRUE(Within(part, layout.panel));
    EXPECT_GE(layout.rows, 10);
    EXPECT_EQ(layout.list.bottom - layout.list.top, layout.rows * layout.rowHeight);
    EXPECT_LE(layout.list.bottom, layout.filterLine.top);
    EXPECT_LE(layout.nameBox.bottom, layout.ok.top);

    HostFileChooser chooser(Request());
    auto hit = [&](const RECT& r) {
        return HostChooserHitTest(layout, chooser, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
    };
    EXPECT_EQ(hit(layout.ok).part, HostChooserPart::Ok);
    EXPECT_EQ(hit(layout.cancel).part, HostChooserPart::Cancel);
    EXPECT_EQ(hit(layout.nameBox).part, HostChooserPart::NameField);
    EXPECT_EQ(hit(layout.filterLine).part, HostChooserPart::Filter);
    HostChooserHit row =
        HostChooserHitTest(layout, chooser, layout.list.left + 5, layout.list.top + 2 * layout.rowHeight + 3);
    EXPECT_EQ(row.part, HostChooserPart::Entry);
    EXPECT_EQ(row.entry, 2);
    EXPECT_EQ(HostChooserHitTest(layout, chooser, layout.list.left + 5, layout.list.bottom - 2).part,
              HostChooserPart::Panel); // below the six entries
    EXPECT_EQ(HostChooserHitTest(layout, chooser, 2, 2).part, HostChooserPart::Outside);
    EXPECT_EQ(hit(layout.scrollBar).part, HostChooserPart::Panel); // everything fits: no paging
}

TEST_F(FileChooserTest, TheScrollBarPagesAroundItsThumb) {
    for (int i = 0; i < 60; ++i)
        WriteText(folder_ / ("many/" + std::to_string(100 + i) + ".lev"), "x");
    HostFileDialogRequest request = Request();
    request.folder = folder_ / "many";
    HostFileChooser chooser(request);
    HostChooserLayout layout = HostLayoutChooser(800, 600);
    chooser.SetVisibleRows(layout.rows);
    int x = (layout.scrollBar.left + layout.scrollBar.right) / 2;
    EXPECT_EQ(HostChooserHitTest(layout, chooser, x, layout.scrollBar.bottom - 2).part,
              HostChooserPart::PageDown);
    chooser.Scroll(1000);
    EXPECT_EQ(HostChooserHitTest(layout, chooser, x, layout.scrollBar.top + 2).part, HostChooserPart::PageUp);
}

TEST_F(FileChooserTest, DrawingDimsTheProgramsPictureAndDrawsThePanelOverIt) {
    HostFileChooser chooser(Request());
    HostChooserLayout layout = HostLayoutChooser(800, 600);
    chooser.SetVisibleRows(layout.rows);
    chooser.Select(IndexOf(chooser, "b.lev"));
    HostShownPicture background = Solid(800, 600, 0xF800), out;
    HostChooserPainter painter;
    painter.Draw(chooser, layout, background, true, HostChooserPart::Ok, out);
    ASSERT_EQ(out.width, 800);
    ASSERT_EQ(out.pixels.size(), background.pixels.size());
    EXPECT_EQ(out.pixels[0], 0x7800); // red at half strength
    EXPECT_EQ(background.pixels[0], 0xF800);
    RECT firstRow{layout.list.left, layout.list.top, layout.list.right, layout.list.top + layout.rowHeight};
    EXPECT_EQ(CountColour(out, layout.list, 0xF800), 0);
    EXPECT_GT(CountColour(out, firstRow, 0xFFFF), 100); // the list is white...
    const uint16_t kSelection = ((48 >> 3) << 11) | ((104 >> 2) << 5) | (196 >> 3);
    RECT selectedRow{layout.list.left, layout.list.top + 4 * layout.rowHeight, layout.list.right,
                     layout.list.top + 5 * layout.rowHeight};
    int selectionPixels = CountColour(out, selectedRow, kSelection);
    EXPECT_GT(selectionPixels, 0);
    EXPECT_GT(CountColour(out, selectedRow, 0xFFFF), 0); // ...and the selected name is written in white
    EXPECT_LT(selectionPixels, (selectedRow.right - selectedRow.left) * layout.rowHeight);
    const uint16_t kFolderText = ((24 >> 3) << 11) | ((56 >> 2) << 5) | (128 >> 3);
    EXPECT_GT(CountColour(out, firstRow, kFolderText), 0); // "../" in the folders' colour
}

TEST_F(FileChooserTest, ATinyPictureStillGetsAUsableLayout) {
    HostChooserLayout layout = HostLayoutChooser(120, 90);
    EXPECT_GE(layout.rows, 1);
    EXPECT_TRUE(Within(layout.panel, RECT{0, 0, 120, 90}));
    HostFileChooser chooser(Request());
    chooser.SetVisibleRows(layout.rows);
    HostShownPicture out;
    HostChooserPainter painter;
    painter.Draw(chooser, layout, Solid(120, 90, 0x07E0), false, HostChooserPart::Outside, out);
    EXPECT_EQ(out.pixels.size(), 120u * 90u);
}

// The session as a backend runs it: events in, "looks different now" and open/chosen out.
class ChooserSessionTest : public FileChooserTest {
  protected:
    void SetUp() override {
        FileChooserTest::SetUp();
        session_ = std::make_unique<HostChooserSession>(Request());
        session_->Begin(Solid(800, 600, 0));
        layout_ = HostLayoutChooser(800, 600);
    }

    static HostModalEvent Key(int virtualKey) {
        HostModalEvent event;
        event.kind = HostModalEvent::Kind::KeyDown;
        event.key = virtualKey;
        return event;
    }
    static HostModalEvent Mouse(HostModalEvent::Kind kind, const RECT& part, int button = 0, int clicks = 1) {
        HostModalEvent event;
        event.kind = kind;
        event.x = (part.left + part.right) / 2;
        event.y = (part.top + part.bottom) / 2;
        event.button = button;
        event.clicks = clicks;
        return event;
    }
    RECT Row(int index) const {
        return RECT{layout_.list.left, layout_.list.top + index * layout_.rowHeight, layout_.list.right,
                    layout_.list.top + (index + 1) * layout_.rowHeight};
    }

    std::unique_ptr<HostChooserSession> session_;
    HostChooserLayout layout_{};
};

TEST_F(ChooserSessionTest, ArrowKeysSelectAndReturnTakesTheSelectedFile) {
    EXPECT_TRUE(session_->Handle(Key(VK_END)));
    EXPECT_EQ(session_->Chooser().Entries()[static_cast<size_t>(session_->Chooser().Selected())].name,
              "c.LEV");
    EXPECT_TRUE(session_->Handle(Key(VK_UP)));
    EXPECT_FALSE(session_->Handle(Key(VK_F5))); // not the chooser's: nothing changes
    EXPECT_TRUE(session_->Open());
    EXPECT_TRUE(session_->Handle(Key(VK_RETURN)));
    EXPECT_FALSE(session_->Open());
    EXPECT_TRUE(session_->Chosen());
    EXPECT_EQ(session_->Chooser().ChosenPath(), folder_ / "b.lev");
}

TEST_F(ChooserSessionTest, TypedTextIsEditedAndTakenByOk) {
    HostModalEvent text;
    text.kind = HostModalEvent::Kind::Text;
    text.text = "new";
    EXPECT_TRUE(session_->Handle(text));
    EXPECT_TRUE(session_->Handle(Key(VK_BACK)));
    EXPECT_EQ(session_->Chooser().Name(), "ne");
    // OK acts on release over OK only: a press carried off the button does nothing.
    session_->Handle(Mouse(HostModalEvent::Kind::Press, layout_.ok));
    session_->Handle(Mouse(HostModalEvent::Kind::Release, layout_.cancel));
    EXPECT_TRUE(session_->Open());
    EXPECT_FALSE(session_->Handle(Mouse(HostModalEvent::Kind::Press, layout_.ok, 1))); // right button
    session_->Handle(Mouse(HostModalEvent::Kind::Press, layout_.ok));
    session_->Handle(Mouse(HostModalEvent::Kind::Release, layout_.ok));
    EXPECT_TRUE(session_->Chosen());
    EXPECT_EQ(session_->Chooser().ChosenPath(), folder_ / "ne.lev");
}

TEST_F(ChooserSessionTest, ADoubleClickOnAFileTakesIt) {
    int index = IndexOf(session_->Chooser(), "A.lev");
    session_->Handle(Mouse(HostModalEvent::Kind::Press, Row(index)));
    session_->Handle(Mouse(HostModalEvent::Kind::Release, Row(index)));
    EXPECT_TRUE(session_->Open());
    session_->Handle(Mouse(HostModalEvent::Kind::Press, Row(index), 0, 2));
    EXPECT_TRUE(session_->Chosen());
    EXPECT_EQ(session_->Chooser().ChosenPath(), folder_ / "A.lev");
}

TEST_F(ChooserSessionTest, HoverRedrawsOnlyWhenAButtonLightsOrGoesOut) {
    EXPECT_TRUE(session_->Handle(Mouse(HostModalEvent::Kind::Pointer, layout_.cancel)));
    EXPECT_FALSE(session_->Handle(Mouse(HostModalEvent::Kind::Pointer, layout_.cancel)));
    EXPECT_TRUE(session_->Handle(Mouse(HostModalEvent::Kind::Pointer, layout_.nameBox)));
    EXPECT_FALSE(session_->Handle(Mouse(HostModalEvent::Kind::Pointer, layout_.list)));
}

TEST_F(ChooserSessionTest, EscapeOrAClosedWindowCancels) {
    session_->Handle(Key(VK_ESCAPE));
    EXPECT_FALSE(session_->Open());
    EXPECT_FALSE(session_->Chosen());
    HostChooserSession other(Request());
    other.Begin(Solid(800, 600, 0));
    HostModalEvent closed;
    closed.kind = HostModalEvent::Kind::Cancelled;
    other.Handle(closed);
    EXPECT_FALSE(other.Open());
    EXPECT_FALSE(other.Chosen());
}

} // namespace
