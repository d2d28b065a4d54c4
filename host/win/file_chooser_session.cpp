#include "host/win/file_chooser_session.h"

#include <algorithm>

#include "host/win/keystate.h"

namespace {

const int kWheelRows = 3;

} // namespace

HostChooserSession::HostChooserSession(const HostFileDialogRequest& request) : chooser_(request) {}

void HostChooserSession::Begin(const HostShownPicture& background) {
    background_ = background;
    layout_ = HostLayoutChooser(background_.width, background_.height);
    chooser_.SetVisibleRows(layout_.rows);
}

void HostChooserSession::Draw(HostShownPicture& out) {
    painter_.Draw(chooser_, layout_, background_, listFocus_, hover_, out);
}

bool HostChooserSession::Handle(const HostModalEvent& event) {
    switch (event.kind) {
    case HostModalEvent::Kind::KeyDown: return OnKey(event.key);
    case HostModalEvent::Kind::Text:
        for (char c : event.text)
            chooser_.Type(c);
        listFocus_ = false;
        return true;
    case HostModalEvent::Kind::Pointer: {
        HostChooserPart part = HostChooserHitTest(layout_, chooser_, event.x, event.y).part;
        if (part != HostChooserPart::Ok && part != HostChooserPart::Cancel) part = HostChooserPart::Outside;
        bool changed = part != hover_;
        hover_ = part;
        return changed;
    }
    case HostModalEvent::Kind::Press:
    case HostModalEvent::Kind::Release: {
        if (event.button != 0) return false;
        HostChooserHit hit = HostChooserHitTest(layout_, chooser_, event.x, event.y);
        if (event.kind == HostModalEvent::Kind::Press)
            Press(hit, event.clicks);
        else
            Release(hit);
        return true;
    }
    case HostModalEvent::Kind::Wheel: chooser_.Scroll(event.rows * kWheelRows); return true;
    case HostModalEvent::Kind::Cancelled: state_ = State::Cancelled; return true;
    case HostModalEvent::Kind::Changed: return true;
    }
    return false;
}

// Keys that type characters arrive as text; these are the others.
bool HostChooserSession::OnKey(int virtualKey) {
    int page = std::max(layout_.rows - 1, 1);
    switch (virtualKey) {
    case VK_ESCAPE: state_ = State::Cancelled; break;
    case VK_RETURN: {
        bool onList = listFocus_ && chooser_.Selected() >= 0;
        HostFileChooser::Outcome outcome =
            onList ? chooser_.Activate(chooser_.Selected()) : chooser_.Accept();
        if (outcome == HostFileChooser::Outcome::Chosen) state_ = State::Chosen;
        break;
    }
    case VK_UP: MoveSelection(-1); break;
    case VK_DOWN: MoveSelection(1); break;
    case VK_PRIOR: MoveSelection(-page); break;
    case VK_NEXT: MoveSelection(page); break;
    case VK_HOME: MoveSelection(-static_cast<int>(chooser_.Entries().size())); break;
    case VK_END: MoveSelection(static_cast<int>(chooser_.Entries().size())); break;
    case VK_BACK:
        chooser_.Erase();
        listFocus_ = false;
        break;
    case VK_TAB: listFocus_ = !listFocus_; break;
    default: return false;
    }
    return true;
}

void HostChooserSession::MoveSelection(int delta) {
    chooser_.MoveSelection(delta);
    listFocus_ = true;
}

void HostChooserSession::Press(const HostChooserHit& hit, int clicks) {
    pressedPart_ = hit.part;
    int page = std::max(layout_.rows - 1, 1);
    switch (hit.part) {
    case HostChooserPart::Entry:
        listFocus_ = true;
        if (clicks >= 2 && hit.entry == chooser_.Selected()) {
            if (chooser_.Activate(hit.entry) == HostFileChooser::Outcome::Chosen) state_ = State::Chosen;
        } else {
            chooser_.Select(hit.entry);
        }
        break;
    case HostChooserPart::PageUp: chooser_.Scroll(-page); break;
    case HostChooserPart::PageDown: chooser_.Scroll(page); break;
    case HostChooserPart::NameField: listFocus_ = false; break;
    default: break;
    }
}

// Buttons act when released over the part they were pressed on.
void HostChooserSession::Release(const HostChooserHit& hit) {
    HostChooserPart pressed = pressedPart_;
    pressedPart_ = HostChooserPart::Outside;
    if (hit.part != pressed) return;
    switch (hit.part) {
    case HostChooserPart::Ok:
        if (chooser_.Accept() == HostFileChooser::Outcome::Chosen) state_ = State::Chosen;
        break;
    case HostChooserPart::Cancel: state_ = State::Cancelled; break;
    case HostChooserPart::Filter: chooser_.NextFilter(); break;
    default: break;
    }
}
