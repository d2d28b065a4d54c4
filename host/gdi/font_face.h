// One font: an outline face from a font file, sized to a GDI height, with its metrics and a cache of
// its rendered (monochrome) glyphs. Callers hold the GDI lock; FreeType is used from nowhere else.
#pragma once

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "host/base/types.h"
#include "host/gdi/text.h"

struct FT_FaceRec_;

struct HostFontRequest {
    int height = 0; // > 0 cell height, < 0 em height, 0 default
    int width = 0;  // average character width, 0 natural
    bool bold = false;
    bool italic = false;
    bool monospace = false;
};

// A rendered glyph: `on` holds width × rows bytes, 1 where the glyph covers the pixel.
struct HostGlyph {
    int left = 0; // from the pen position to the bitmap's left column
    int top = 0;  // from the baseline up to the bitmap's top row
    int width = 0;
    int rows = 0;
    int advance = 0; // pen movement in whole pixels
    std::vector<BYTE> on;
};

class HostFontFace {
  public:
    // Loads the face that answers request (see text.h for the choice). NULL when no face file is found
    // or FreeType refuses it.
    static std::unique_ptr<HostFontFace> Create(const HostFontRequest& request);
    ~HostFontFace();
    HostFontFace(const HostFontFace&) = delete;
    HostFontFace& operator=(const HostFontFace&) = delete;

    const TEXTMETRICA& Metrics() const { return metrics_; }
    // The glyph of one Windows-1252 character, rendered on first use.
    const HostGlyph& Glyph(BYTE character);
    // The width of length characters: the sum of their advances.
    long long TextWidth(const char* text, int length);
    // The font file in use (for diagnostics and tests).
    const std::string& FilePath() const { return path_; }

  private:
    HostFontFace() = default;
    bool Open(const std::string& path, const HostFontRequest& request);
    bool SizeAndMeasure(const HostFontRequest& request);
    void Render(BYTE character, HostGlyph& glyph);

    FT_FaceRec_* face_ = nullptr;
    std::shared_ptr<const std::vector<BYTE>> file_;
    std::string path_;
    TEXTMETRICA metrics_{};
    std::array<std::unique_ptr<HostGlyph>, 256> glyphs_;
};
