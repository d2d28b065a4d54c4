// A modal overlay drawn over the program's picture (the file chooser): a backend with a window runs it,
// handing it the user's input in the picture's terms until it closes. What the overlay means lives above
// the backend (host/win); the backend only shows it and feeds it events.
#pragma once

#include <string>

#include "host/backend/backend.h"

struct HostModalEvent {
    enum class Kind {
        KeyDown,   // key: a virtual-key code (characters come as Text)
        Text,      // text: Latin-1 characters typed
        Pointer,   // the pointer moved to (x, y)
        Press,     // button went down at (x, y); clicks: 2 or more for a double click
        Release,   // button went up at (x, y)
        Wheel,     // rows: notches turned, positive away from the user's view (down the list)
        Cancelled, // the user closed the window or quit: the overlay must close
        Changed,   // the window changed (exposed, resized, full screen): draw again
    };
    Kind kind = Kind::Changed;
    int key = 0;
    std::string text;
    int x = 0, y = 0;
    int button = 0; // 0 left, 1 right, 2 middle
    int clicks = 0;
    int rows = 0;
};

class HostModal {
  public:
    virtual ~HostModal() = default;
    // Called once, before anything else, with the picture the window shows (its size is the overlay's).
    virtual void Begin(const HostShownPicture& background) = 0;
    // Draws the overlay over the background into out (same size).
    virtual void Draw(HostShownPicture& out) = 0;
    // Takes one event; true when the overlay looks different now.
    virtual bool Handle(const HostModalEvent& event) = 0;
    // False once the overlay has closed.
    virtual bool Open() const = 0;
};
