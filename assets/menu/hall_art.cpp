// The hall of fame: a popup face at (53, 18) into which the menu writes the twenty best scores (rows
// 26 pixels apart from y 275; names at x 56 and 387, scores at x 256 and 587, in the picture's own
// coordinates), its two fonts for alternate rows, and its upload and clear buttons. The back button is
// the grid page's.
#include <string>

#include "assets/art/art_output.h"
#include "assets/menu/menu_look.h"
#include "assets/menu/menu_pictures.h"

namespace menuart {

using namespace art;

namespace {

constexpr int kW = 694, kH = 564;
constexpr int kFirstRow = 275, kRowPitch = 26;
constexpr int kFontHeight = 20;
constexpr float kFontSize = 12, kFontBaseline = 15;
constexpr Rgb kParchment = Hex(0xE6D8B4);

// The score board: parchment in a bronze frame, a faint band on every other row, rank numbers before
// the names, a rule between the two columns.
void Board(Canvas& c) {
    const int x = 14, y = 268, w = kW - 28, h = 276;
    Sdf frame = RoundRect(float(x), float(y), float(w), float(h), 10);
    Box box{x - 2, y - 2, x + w + 2, y + h + 2};
    FillSdf(c, box, frame,
            LinearGradient(float(x), float(y), kBronzeLight, float(x + w), float(y + h), kBronzeDark));
    EmbossSdf(c, box, frame, 2.5f, 0.5f);
    Sdf sheet = RoundRect(float(x) + 5, float(y) + 5, float(w) - 10, float(h) - 10, 6);
    FillSdf(c, box, sheet, [&](float px, float py) {
        float g = StoneGrain(px * 0.7f, py * 0.7f, 311);
        Rgb base = kParchment;
        int row = (int(py) - kFirstRow + 2) / kRowPitch;
        if (py >= kFirstRow - 2 && row >= 0 && row < 10 && row % 2 == 0) base = Hex(0xDCCDA6);
        return Shade(base, (g - 0.5f) * 0.1f);
    });
    EmbossSdf(c, box, sheet, -2.5f, 0.4f);
    FillRectPaint(c, 340, y + 12, 1, h - 24, Solid(Hex(0xA89468)));
    FillRectPaint(c, 341, y + 12, 1, h - 24, Solid(Hex(0xF6ECD2)));
    TextStyle rank = LabelStyle(9);
    rank.tracking = 0.5f;
    rank.paint = Solid(Hex(0x8A6A3A));
    rank.shadowOpacity = 0;
    for (int i = 0; i < 10; ++i) {
        float baseline = float(kFirstRow + kRowPitch * i) + kFontBaseline - 1;
        DrawText(c, 48, baseline, std::to_string(i + 1), rank, Align::Right);
        DrawText(c, 379, baseline, std::to_string(i + 11), rank, Align::Right);
    }
}

void WriteScreen(MenuOutput& out) {
    Canvas c(kW, kH, kPanelDark);
    DrawScreenPanel(c, 22, 53);
    // A gold trophy with a star.
    DrawPaintedIcon(c, icons::Trophy, 96, 136, 60,
                    LinearGradient(40, 70, Hex(0xFFF2A8), 150, 210, Hex(0xA87018)));
    FillSdf(c, ::Star(96, 106, 5, 5, 12, -1.5708f), Solid(Hex(0xFFF8D8)), 0.9f);
    const float cx = 358;
    DrawTitle(c, cx, 104, 28, "HALL OF FAME");
    TextStyle body = BodyStyle(12);
    DrawText(c, cx, 152, "The twenty best scores of this game", body, Align::Centre);
    TextStyle hint = BodyStyle(10);
    DrawText(c, cx, 196, "UPLOAD sends the best score", hint, Align::Centre);
    DrawText(c, cx, 214, "to the score board on the web.", hint, Align::Centre);
    DrawText(c, cx, 238, "CLEAR empties the table.", hint, Align::Centre);
    // The plate of the three buttons (upload, clear and back).
    DrawWell(c, 542, 80, 144, 184, Hex(0x141C24));
    Board(c);
    out.Save("HallOfFameScreen.bmp", OpaquePicture(c), Kind::Screen);
}

Picture HallFont(Rgb ink) {
    TextStyle s;
    s.size = kFontSize;
    s.weight = 0.17f;
    s.paint = Solid(ink);
    return FontStrip(s, kFontHeight, kFontBaseline, kParchment);
}

} // namespace

void WriteHallArt(MenuOutput& out) {
    WriteScreen(out);
    out.Save("HallBlackFont.bmp", HallFont(Hex(0x1E1A16)));
    out.Save("HallPurpleFont.bmp", HallFont(Hex(0x5A2878)));
    out.Save("UploadButton.bmp", ButtonStrip(128, 48, icons::Upload, "UPLOAD"));
    out.Save("ClearScores.bmp", ButtonStrip(128, 48, icons::Cross, "CLEAR"));
}

} // namespace menuart
