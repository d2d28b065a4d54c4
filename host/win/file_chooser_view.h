// How the file chooser looks and where its parts are: a flat panel drawn over a dimmed copy of the
// program's picture, with the title, the folder shown, the list, the filter, the name field, a status
// line and the OK and Cancel buttons. Pure drawing into 5-6-5 pixels (text through the calls that the host's
// device contexts register, host/win/picture_text.h), so it runs without a display.
#pragma once

#include "host/backend/backend.h"
#include "host/win/file_chooser.h"
#include "host/base/types.h"

struct HostChooserLayout {
    RECT panel;
    RECT title;
    RECT folderLine;
    RECT list;      // the rows
    RECT scrollBar; // beside the rows
    RECT filterLine;
    RECT nameBox;
    RECT statusLine;
    RECT ok;
    RECT cancel;
    int rowHeight;
    int rows; // rows that fit in the list
};

// The chooser's parts for a picture of width x height, centred.
HostChooserLayout HostLayoutChooser(int width, int height);

enum class HostChooserPart { Outside, Panel, Entry, PageUp, PageDown, Filter, NameField, Ok, Cancel };

struct HostChooserHit {
    HostChooserPart part = HostChooserPart::Outside;
    int entry = -1; // for Entry: the index into the chooser's entries
};

// What lies at (x, y) of the picture. A list row past the last entry is Panel; the scroll bar above or
// below the thumb is PageUp or PageDown.
HostChooserHit HostChooserHitTest(const HostChooserLayout& layout, const HostFileChooser& chooser, int x,
                                  int y);

// Draws choosers; holds its fonts between frames.
class HostChooserPainter {
  public:
    HostChooserPainter();
    ~HostChooserPainter();
    HostChooserPainter(const HostChooserPainter&) = delete;
    HostChooserPainter& operator=(const HostChooserPainter&) = delete;

    // Makes out the background (same size), dimmed, with the chooser drawn on it. listFocus marks the
    // selection as the keyboard's (else the name field has the caret); hover lights the button under the
    // pointer.
    void Draw(const HostFileChooser& chooser, const HostChooserLayout& layout,
              const HostShownPicture& background, bool listFocus, HostChooserPart hover,
              HostShownPicture& out);

  private:
    HFONT text_;
    HFONT bold_;
};
