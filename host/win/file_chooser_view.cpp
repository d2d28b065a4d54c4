#include "host/win/file_chooser_view.h"

#include <algorithm>
#include <string>

#include "host/win/picture_text.h"

namespace {

const int kMargin = 12;
const int kTitleHeight = 28;
const int kRowHeight = 18;
const int kScrollWidth = 14;
const int kButtonWidth = 90;
const int kButtonHeight = 26;
const int kFieldHeight = 24;
const int kNameLabelWidth = 84;
const int kPanelWidth = 560;
const int kPanelHeight = 420;
const int kMinThumb = 16;

struct Colour {
    BYTE r, g, b;
    uint16_t Pixel() const { return static_cast<uint16_t>(((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3)); }
    COLORREF Ref() const { return RGB(r, g, b); }
};

const Colour kPanel{212, 212, 212};
const Colour kBorder{64, 64, 64};
const Colour kTitleBar{36, 72, 132};
const Colour kWhite{255, 255, 255};
const Colour kBlack{0, 0, 0};
const Colour kFolderText{24, 56, 128};
const Colour kSelection{48, 104, 196};
const Colour kSelectionUnfocused{176, 176, 176};
const Colour kTrack{232, 232, 232};
const Colour kThumb{144, 144, 144};
const Colour kButton{196, 196, 196};
const Colour kButtonHover{228, 228, 228};
const Colour kStatusText{176, 24, 24};
const Colour kQuietText{112, 112, 112};

RECT Rect(int left, int top, int right, int bottom) {
    return RECT{left, top, std::max(left, right), std::max(top, bottom)};
}

bool Inside(const RECT& rect, int x, int y) {
    return x >= rect.left && x < rect.right && y >= rect.top && y < rect.bottom;
}

// The scroll thumb's rows within the bar (top, bottom); empty when everything fits.
RECT Thumb(const HostChooserLayout& layout, int count, int top) {
    if (count <= layout.rows) return Rect(0, 0, 0, 0);
    int track = layout.scrollBar.bottom - layout.scrollBar.top;
    int height = std::max(kMinThumb, track * layout.rows / count);
    int travel = track - height;
    int maxTop = count - layout.rows;
    int offset = maxTop > 0 ? travel * top / maxTop : 0;
    return Rect(layout.scrollBar.left, layout.scrollBar.top + offset, layout.scrollBar.right,
                layout.scrollBar.top + offset + height);
}

class Canvas {
  public:
    explicit Canvas(HostShownPicture& picture) : picture_(picture) {
        dc_ = HostPictureText().openPicture(picture.pixels.data(), picture.width, picture.height);
    }
    ~Canvas() {
        if (dc_) HostPictureText().closePicture(dc_);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    void Fill(const RECT& rect, Colour colour) {
        int left = std::max<int>(rect.left, 0), right = std::min<int>(rect.right, picture_.width);
        int top = std::max<int>(rect.top, 0), bottom = std::min<int>(rect.bottom, picture_.height);
        for (int y = top; y < bottom; ++y) {
            uint16_t* row = picture_.pixels.data() + static_cast<size_t>(y) * picture_.width;
            std::fill(row + left, row + std::max(left, right), colour.Pixel());
        }
    }
    void Frame(const RECT& rect, Colour colour) {
        Fill(Rect(rect.left, rect.top, rect.right, rect.top + 1), colour);
        Fill(Rect(rect.left, rect.bottom - 1, rect.right, rect.bottom), colour);
        Fill(Rect(rect.left, rect.top, rect.left + 1, rect.bottom), colour);
        Fill(Rect(rect.right - 1, rect.top, rect.right, rect.bottom), colour);
    }
    int Width(HFONT font, const std::string& text) {
        if (!dc_ || !font) return 0;
        return HostPictureText().width(dc_, font, text.data(), static_cast<int>(text.size()));
    }
    void Text(HFONT font, int x, int y, const std::string& text, Colour colour) {
        if (!dc_ || !font) return;
        HostPictureText().write(dc_, font, x, y, text.data(), static_cast<int>(text.size()), colour.Ref());
    }
    // text cut to width: the end replaced by "..." (or the start, when keepEnd).
    std::string Fit(HFONT font, const std::string& text, int width, bool keepEnd) {
        if (Width(font, text) <= width) return text;
        std::string cut = text;
        while (!cut.empty()) {
            if (keepEnd)
                cut.erase(cut.begin());
            else
                cut.pop_back();
            std::string shown = keepEnd ? "..." + cut : cut + "...";
            if (Width(font, shown) <= width) return shown;
        }
        return "";
    }

  private:
    HostShownPicture& picture_;
    HDC dc_ = nullptr;
};

void Dim(const HostShownPicture& background, HostShownPicture& out) {
    out.width = background.width;
    out.height = background.height;
    out.pixels.resize(background.pixels.size());
    // Each channel halved: the top bit of each field moves down and the bits that crossed fields go.
    for (size_t i = 0; i < background.pixels.size(); ++i)
        out.pixels[i] = static_cast<uint16_t>((background.pixels[i] >> 1) & 0x7BEF);
}

void DrawButton(Canvas& canvas, HFONT font, const RECT& rect, const char* label, bool hover) {
    canvas.Fill(rect, hover ? kButtonHover : kButton);
    canvas.Frame(rect, kBorder);
    int width = canvas.Width(font, label);
    canvas.Text(font, (rect.left + rect.right - width) / 2, rect.top + (kButtonHeight - 16) / 2, label,
                kBlack);
}

void DrawList(Canvas& canvas, HFONT font, const HostFileChooser& chooser, const HostChooserLayout& layout,
              bool listFocus) {
    canvas.Fill(layout.list, kWhite);
    const std::vector<HostChooserEntry>& entries = chooser.Entries();
    int width = layout.list.right - layout.list.left - 8;
    for (int row = 0; row < layout.rows; ++row) {
        int index = chooser.Top() + row;
        if (index >= static_cast<int>(entries.size())) break;
        const HostChooserEntry& entry = entries[static_cast<size_t>(index)];
        int y = layout.list.top + row * layout.rowHeight;
        bool selected = index == chooser.Selected();
        if (selected)
            canvas.Fill(Rect(layout.list.left, y, layout.list.right, y + layout.rowHeight),
                        listFocus ? kSelection : kSelectionUnfocused);
        std::string label = entry.folder ? entry.name + "/" : entry.name;
        Colour colour = selected && listFocus ? kWhite : entry.folder ? kFolderText : kBlack;
        canvas.Text(font, layout.list.left + 4, y + 1, canvas.Fit(font, label, width, false), colour);
    }
    if (entries.empty() || (entries.size() == 1 && entries[0].name == ".."))
        canvas.Text(font, layout.list.left + 4, layout.list.top + layout.rowHeight + 1,
                    "No files match " + chooser.PatternText(), kQuietText);
    canvas.Frame(
        Rect(layout.list.left - 1, layout.list.top - 1, layout.list.right + 1, layout.list.bottom + 1),
        kBorder);
    canvas.Fill(layout.scrollBar, kTrack);
    canvas.Fill(Thumb(layout, static_cast<int>(entries.size()), chooser.Top()), kThumb);
}

std::string FilterText(const HostFileChooser& chooser) {
    const HostFileDialogRequest& request = chooser.Request();
    std::string text = "Files of type: ";
    const HostFileFilter& filter = request.filters[static_cast<size_t>(chooser.FilterIndex())];
    std::string patterns = chooser.PatternText();
    if (filter.label.empty() || filter.label == patterns)
        text += patterns;
    else
        text += filter.label + " (" + patterns + ")";
    if (request.filters.size() > 1) text += "   - click for the next type";
    return text;
}

} // namespace

HostChooserLayout HostLayoutChooser(int width, int height) {
    HostChooserLayout layout{};
    int panelWidth = std::min(kPanelWidth, std::max(width - 2 * kMargin, 0));
    int panelHeight = std::min(kPanelHeight, std::max(height - 2 * kMargin, 0));
    int left = (width - panelWidth) / 2, top = (height - panelHeight) / 2;
    int right = left + panelWidth, bottom = top + panelHeight;
    layout.panel = Rect(left, top, right, bottom);
    layout.title = Rect(left, top, right, top + kTitleHeight);
    layout.folderLine =
        Rect(left + kMargin, top + kTitleHeight + 6, right - kMargin, top + kTitleHeight + 26);
    layout.ok = Rect(right - kMargin - 2 * kButtonWidth - 8, bottom - kMargin - kButtonHeight,
                     right - kMargin - kButtonWidth - 8, bottom - kMargin);
    layout.cancel = Rect(right - kMargin - kButtonWidth, bottom - kMargin - kButtonHeight, right - kMargin,
                         bottom - kMargin);
    layout.statusLine = Rect(left + kMargin, layout.ok.top, layout.ok.left - 8, layout.ok.bottom);
    layout.nameBox = Rect(left + kMargin + kNameLabelWidth, layout.ok.top - 10 - kFieldHeight,
                          right - kMargin, layout.ok.top - 10);
    layout.filterLine =
        Rect(left + kMargin, layout.nameBox.top - 28, right - kMargin, layout.nameBox.top - 8);
    layout.rowHeight = kRowHeight;
    int listTop = layout.folderLine.bottom + 6;
    layout.rows = std::max(1, (layout.filterLine.top - 8 - listTop) / kRowHeight);
    layout.list =
        Rect(left + kMargin, listTop, right - kMargin - kScrollWidth, listTop + layout.rows * kRowHeight);
    layout.scrollBar =
        Rect(layout.list.right, layout.list.top, layout.list.right + kScrollWidth, layout.list.bottom);
    return layout;
}

HostChooserHit HostChooserHitTest(const HostChooserLayout& layout, const HostFileChooser& chooser, int x,
                                  int y) {
    HostChooserHit hit;
    if (!Inside(layout.panel, x, y)) return hit;
    hit.part = HostChooserPart::Panel;
    if (Inside(layout.ok, x, y)) {
        hit.part = HostChooserPart::Ok;
    } else if (Inside(layout.cancel, x, y)) {
        hit.part = HostChooserPart::Cancel;
    } else if (Inside(layout.nameBox, x, y)) {
        hit.part = HostChooserPart::NameField;
    } else if (Inside(layout.filterLine, x, y)) {
        hit.part = HostChooserPart::Filter;
    } else if (Inside(layout.list, x, y)) {
        int index = chooser.Top() + (y - layout.list.top) / layout.rowHeight;
        if (index < static_cast<int>(chooser.Entries().size())) {
            hit.part = HostChooserPart::Entry;
            hit.entry = index;
        }
    } else if (Inside(layout.scrollBar, x, y)) {
        RECT thumb = Thumb(layout, static_cast<int>(chooser.Entries().size()), chooser.Top());
        if (thumb.bottom > thumb.top && y < thumb.top) hit.part = HostChooserPart::PageUp;
        if (thumb.bottom > thumb.top && y >= thumb.bottom) hit.part = HostChooserPart::PageDown;
    }
    return hit;
}

HostChooserPainter::HostChooserPainter() {
    text_ = HostPictureText().createFont(16, false);
    bold_ = HostPictureText().createFont(16, true);
}

HostChooserPainter::~HostChooserPainter() {
    if (text_) HostPictureText().deleteFont(text_);
    if (bold_) HostPictureText().deleteFont(bold_);
}

void HostChooserPainter::Draw(const HostFileChooser& chooser, const HostChooserLayout& layout,
                              const HostShownPicture& background, bool listFocus, HostChooserPart hover,
                              HostShownPicture& out) {
    Dim(background, out);
    if (out.pixels.empty()) return;
    Canvas canvas(out);
    canvas.Fill(layout.panel, kPanel);
    canvas.Frame(layout.panel, kBorder);
    canvas.Fill(layout.title, kTitleBar);
    int textWidth = layout.folderLine.right - layout.folderLine.left;
    canvas.Text(bold_, layout.title.left + 10, layout.title.top + 6,
                canvas.Fit(bold_, chooser.Request().title, textWidth, false), kWhite);
    canvas.Text(text_, layout.folderLine.left, layout.folderLine.top + 2,
                canvas.Fit(text_, "Folder: " + chooser.Folder(), textWidth, true), kBlack);
    DrawList(canvas, text_, chooser, layout, listFocus);
    canvas.Text(text_, layout.filterLine.left, layout.filterLine.top + 2,
                canvas.Fit(text_, FilterText(chooser), textWidth, false), kBlack);

    canvas.Text(text_, layout.panel.left + kMargin, layout.nameBox.top + 4, "File name:", kBlack);
    canvas.Fill(layout.nameBox, kWhite);
    canvas.Frame(layout.nameBox, listFocus ? kBorder : kSelection);
    int nameWidth = layout.nameBox.right - layout.nameBox.left - 12;
    std::string name = canvas.Fit(text_, chooser.Name(), nameWidth, true);
    canvas.Text(text_, layout.nameBox.left + 4, layout.nameBox.top + 4, name, kBlack);
    if (!listFocus) {
        int caret = layout.nameBox.left + 5 + canvas.Width(text_, name);
        canvas.Fill(Rect(caret, layout.nameBox.top + 4, caret + 1, layout.nameBox.bottom - 4), kBlack);
    }

    int statusWidth = layout.statusLine.right - layout.statusLine.left;
    canvas.Text(text_, layout.statusLine.left, layout.statusLine.top + 5,
                canvas.Fit(text_, chooser.Status(), statusWidth, false), kStatusText);
    DrawButton(canvas, text_, layout.ok, "OK", hover == HostChooserPart::Ok);
    DrawButton(canvas, text_, layout.cancel, "Cancel", hover == HostChooserPart::Cancel);
}
