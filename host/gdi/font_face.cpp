#include "host/gdi/font_face.h"

#include <cmath>
#include <cstdio>
#include <map>

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

namespace {

// Where Debian installs the faces; Liberation (metric-compatible with Arial and Courier New) first.
const char* const kLiberationDirs[] = {"/usr/share/fonts/truetype/liberation2/",
                                       "/usr/share/fonts/truetype/liberation/"};
const char* const kDejaVuDir = "/usr/share/fonts/truetype/dejavu/";

// File names by family (sans, mono) and style (regular, bold, italic, bold italic).
const char* const kLiberationFiles[2][4] = {{"LiberationSans-Regular.ttf", "LiberationSans-Bold.ttf",
                                             "LiberationSans-Italic.ttf", "LiberationSans-BoldItalic.ttf"},
                                            {"LiberationMono-Regular.ttf", "LiberationMono-Bold.ttf",
                                             "LiberationMono-Italic.ttf", "LiberationMono-BoldItalic.ttf"}};
const char* const kDejaVuFiles[2][4] = {
    {"DejaVuSans.ttf", "DejaVuSans-Bold.ttf", "DejaVuSans-Oblique.ttf", "DejaVuSans-BoldOblique.ttf"},
    {"DejaVuSansMono.ttf", "DejaVuSansMono-Bold.ttf", "DejaVuSansMono-Oblique.ttf",
     "DejaVuSansMono-BoldOblique.ttf"}};

// Windows-1252 characters 0x80..0x9F as Unicode (0 where the code page leaves a hole).
const unsigned kCp1252High[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                  0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                  0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                  0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

unsigned UnicodeOf(BYTE character) {
    if (character >= 0x80 && character < 0xA0) return kCp1252High[character - 0x80];
    return character;
}

FT_Library Library() {
    static FT_Library library = nullptr;
    static bool tried = false;
    if (!tried) {
        tried = true;
        if (FT_Init_FreeType(&library) != 0) library = nullptr;
    }
    return library;
}

bool FileExists(const std::string& path) {
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return false;
    std::fclose(file);
    return true;
}

// The face files to try for a request, best first.
std::vector<std::string> CandidateFiles(const HostFontRequest& request) {
    int family = request.monospace ? 1 : 0;
    int style = (request.bold ? 1 : 0) + (request.italic ? 2 : 0);
    std::vector<std::string> candidates;
    for (int s : {style, 0}) {
        for (const char* dir : kLiberationDirs)
            candidates.push_back(std::string(dir) + kLiberationFiles[family][s]);
        candidates.push_back(std::string(kDejaVuDir) + kDejaVuFiles[family][s]);
    }
    return candidates;
}

// Font files are read once and shared by every font made from them.
std::shared_ptr<const std::vector<BYTE>> ReadFontFile(const std::string& path) {
    static std::map<std::string, std::shared_ptr<const std::vector<BYTE>>> cache;
    auto found = cache.find(path);
    if (found != cache.end()) return found->second;
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return nullptr;
    auto bytes = std::make_shared<std::vector<BYTE>>();
    BYTE chunk[65536];
    size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0)
        bytes->insert(bytes->end(), chunk, chunk + got);
    std::fclose(file);
    cache[path] = bytes;
    return bytes;
}

} // namespace

std::unique_ptr<HostFontFace> HostFontFace::Create(const HostFontRequest& request) {
    if (!Library()) return nullptr;
    std::unique_ptr<HostFontFace> font(new HostFontFace());
    for (const std::string& path : CandidateFiles(request)) {
        if (!FileExists(path)) continue;
        if (font->Open(path, request) && font->SizeAndMeasure(request)) return font;
        font.reset(new HostFontFace());
    }
    static bool warned = false;
    if (!warned) {
        warned = true;
        std::fprintf(stderr, "host: no usable font file (install fonts-liberation or fonts-dejavu-core)\n");
    }
    return nullptr;
}

HostFontFace::~HostFontFace() {
    if (face_) FT_Done_Face(face_);
}

bool HostFontFace::Open(const std::string& path, const HostFontRequest&) {
    file_ = ReadFontFile(path);
    if (!file_ || file_->empty()) return false;
    FT_Face face = nullptr;
    if (FT_New_Memory_Face(Library(), file_->data(), static_cast<FT_Long>(file_->size()), 0, &face) != 0)
        return false;
    face_ = face;
    path_ = path;
    return FT_IS_SCALABLE(face_) && face_->units_per_EM > 0;
}

// Sizes the face the way the platform maps a height: a positive height is the whole cell (the face's
// Windows ascent plus descent), a negative one the em square; then derives the text metrics.
bool HostFontFace::SizeAndMeasure(const HostFontRequest& request) {
    const double unitsPerEm = face_->units_per_EM;
    auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face_, FT_SFNT_OS2));
    auto* hhea = static_cast<TT_HoriHeader*>(FT_Get_Sfnt_Table(face_, FT_SFNT_HHEA));
    bool winMetrics = os2 && os2->version != 0xFFFF && os2->usWinAscent + os2->usWinDescent > 0;
    double ascentUnits = winMetrics ? os2->usWinAscent : face_->ascender;
    double descentUnits = winMetrics ? os2->usWinDescent : -face_->descender;
    double cellUnits = ascentUnits + descentUnits;
    if (cellUnits <= 0) return false;

    int height = request.height == 0 ? 16 : request.height;
    double emPixels = height > 0 ? height * unitsPerEm / cellUnits : -static_cast<double>(height);
    long cellHeight = height > 0 ? height : std::lround(cellUnits * emPixels / unitsPerEm);
    double averageUnits =
        os2 && os2->version != 0xFFFF && os2->xAvgCharWidth > 0 ? os2->xAvgCharWidth : unitsPerEm / 2;
    double emPixelsX = request.width > 0 ? request.width * unitsPerEm / averageUnits : emPixels;
    if (emPixels > 4096 || emPixelsX > 4096) return false;

    FT_F26Dot6 sizeX = std::lround(emPixelsX * 64), sizeY = std::lround(emPixels * 64);
    if (FT_Set_Char_Size(face_, sizeX > 0 ? sizeX : 1, sizeY > 0 ? sizeY : 1, 72, 72) != 0) return false;

    double scaleY = emPixels / unitsPerEm, scaleX = emPixelsX / unitsPerEm;
    metrics_.tmHeight = cellHeight;
    metrics_.tmAscent = std::lround(ascentUnits * scaleY);
    metrics_.tmDescent = metrics_.tmHeight - metrics_.tmAscent;
    metrics_.tmInternalLeading = metrics_.tmHeight - std::lround(emPixels);
    double lineGap = hhea ? hhea->Line_Gap + (hhea->Ascender - hhea->Descender) - cellUnits : 0;
    metrics_.tmExternalLeading = lineGap > 0 ? std::lround(lineGap * scaleY) : 0;
    metrics_.tmAveCharWidth = request.width > 0 ? request.width : std::lround(averageUnits * scaleX);
    metrics_.tmMaxCharWidth = std::lround((face_->bbox.xMax - face_->bbox.xMin) * scaleX);
    metrics_.tmWeight = request.bold ? FW_BOLD : FW_NORMAL;
    return true;
}

const HostGlyph& HostFontFace::Glyph(BYTE character) {
    std::unique_ptr<HostGlyph>& slot = glyphs_[character];
    if (!slot) {
        slot = std::make_unique<HostGlyph>();
        Render(character, *slot);
    }
    return *slot;
}

// Renders with hinting for monochrome output; every pixel is either on or off.
void HostFontFace::Render(BYTE character, HostGlyph& glyph) {
    FT_UInt index = FT_Get_Char_Index(face_, UnicodeOf(character));
    if (FT_Load_Glyph(face_, index, FT_LOAD_TARGET_MONO) != 0) return;
    FT_GlyphSlot slot = face_->glyph;
    glyph.advance = static_cast<int>((slot->advance.x + 32) >> 6);
    if (FT_Render_Glyph(slot, FT_RENDER_MODE_MONO) != 0) return;
    const FT_Bitmap& bitmap = slot->bitmap;
    if (bitmap.pixel_mode != FT_PIXEL_MODE_MONO && bitmap.pixel_mode != FT_PIXEL_MODE_GRAY) return;
    glyph.left = slot->bitmap_left;
    glyph.top = slot->bitmap_top;
    glyph.width = static_cast<int>(bitmap.width);
    glyph.rows = static_cast<int>(bitmap.rows);
    glyph.on.assign(static_cast<size_t>(glyph.width) * glyph.rows, 0);
    for (int y = 0; y < glyph.rows; ++y) {
        const unsigned char* row = bitmap.buffer + static_cast<ptrdiff_t>(bitmap.pitch) * y;
        for (int x = 0; x < glyph.width; ++x) {
            bool on =
                bitmap.pixel_mode == FT_PIXEL_MODE_MONO ? (row[x >> 3] >> (7 - (x & 7))) & 1 : row[x] >= 128;
            glyph.on[static_cast<size_t>(y) * glyph.width + x] = on ? 1 : 0;
        }
    }
}

long long HostFontFace::TextWidth(const char* text, int length) {
    long long width = 0;
    for (int i = 0; i < length; ++i)
        width += Glyph(static_cast<BYTE>(text[i])).advance;
    return width;
}
