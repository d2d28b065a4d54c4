// The sdl backend's file dialog: SDL has no dialog of its own, so the chooser is drawn over the program's
// picture and runs a modal loop of its own, taking SDL events until the user chooses or cancels. Events it
// does not take (focus, close, the release of keys held before it opened) go on to the program as the
// message pump would send them; the picture is put back when it ends.
#include <algorithm>
#include <cstdio>
#include <vector>

#include "host/backend/file_chooser.h"
#include "host/backend/file_chooser_view.h"
#include "host/backend/sdl_screen.h"
#include "host/win/host_input.h"

namespace {

const int kWheelRows = 3;
const int kIdleWaitMs = 250;

int ButtonIndex(Uint8 sdlButton) {
    return sdlButton == SDL_BUTTON_LEFT     ? 0
           : sdlButton == SDL_BUTTON_RIGHT  ? 1
           : sdlButton == SDL_BUTTON_MIDDLE ? 2
                                            : -1;
}

// UTF-8 text as the Latin-1 characters a name may hold; others are dropped.
std::vector<char> Latin1(const char* text) {
    std::vector<char> characters;
    const unsigned char* c = reinterpret_cast<const unsigned char*>(text);
    while (*c) {
        unsigned code = *c;
        int extra = code < 0x80 ? 0 : (code & 0xE0) == 0xC0 ? 1 : (code & 0xF0) == 0xE0 ? 2 : 3;
        if (extra) code &= 0x3F >> extra;
        ++c;
        for (int i = 0; i < extra && (*c & 0xC0) == 0x80; ++i, ++c)
            code = (code << 6) | (*c & 0x3F);
        if (code < 0x100) characters.push_back(static_cast<char>(code));
    }
    return characters;
}

class ChooserSession {
  public:
    explicit ChooserSession(const HostFileDialogRequest& request)
        : chooser_(request), background_(HostSdlShownPicture()) {
        layout_ = HostLayoutChooser(background_.width, background_.height);
        chooser_.SetVisibleRows(layout_.rows);
        int count = 0;
        const Uint8* keys = SDL_GetKeyboardState(&count);
        forwardKeyUp_.assign(SDL_NUM_SCANCODES, false);
        pressedKey_.assign(SDL_NUM_SCANCODES, false);
        for (int i = 0; i < count && i < SDL_NUM_SCANCODES; ++i)
            forwardKeyUp_[static_cast<size_t>(i)] = keys[i] != 0;
        Uint32 buttons = SDL_GetMouseState(nullptr, nullptr);
        forwardButtonUp_[0] = buttons & SDL_BUTTON_LMASK;
        forwardButtonUp_[1] = buttons & SDL_BUTTON_RMASK;
        forwardButtonUp_[2] = buttons & SDL_BUTTON_MMASK;
    }

    // Runs until chosen (true) or cancelled, then shows the program's picture again.
    bool Run() {
        int cursor = SDL_ShowCursor(SDL_QUERY);
        SDL_ShowCursor(SDL_ENABLE);
        HostShownPicture frame;
        while (state_ == State::Open) {
            if (dirty_) {
                painter_.Draw(chooser_, layout_, background_, listFocus_, hover_, frame);
                g_HostSdlBackend.present(frame);
                dirty_ = false;
            }
            SDL_Event event;
            if (!SDL_WaitEventTimeout(&event, kIdleWaitMs)) continue;
            OnEvent(event);
            while (state_ == State::Open && SDL_PollEvent(&event))
                OnEvent(event);
        }
        Finish(cursor);
        return state_ == State::Chosen;
    }

    const HostFileChooser& Chooser() const { return chooser_; }

  private:
    enum class State { Open, Chosen, Cancelled };

    void Finish(int cursor) {
        g_HostSdlBackend.present(background_);
        SDL_ShowCursor(cursor);
        for (int i = 0; i < SDL_NUM_SCANCODES; ++i)
            if (pressedKey_[static_cast<size_t>(i)]) HostSdlIgnoreKeyRelease(i);
        for (int i = 0; i < 3; ++i)
            if (pressedButton_[i]) HostSdlIgnoreButtonRelease(i);
        // The program's pointer is where the user left it, not where it was when the dialog opened.
        int x = 0, y = 0;
        SDL_GetMouseState(&x, &y);
        int pictureX = 0, pictureY = 0;
        HostSdlWindowToPicture(x, y, &pictureX, &pictureY);
        HostInputMouseMove(pictureX, pictureY);
    }

    void OnEvent(const SDL_Event& event) {
        switch (event.type) {
        case SDL_QUIT:
            state_ = State::Cancelled;
            HostSdlHandleEvent(event); // the program is asked to close, after the dialog
            break;
        case SDL_WINDOWEVENT:
            if (event.window.event == SDL_WINDOWEVENT_CLOSE) state_ = State::Cancelled;
            HostSdlHandleEvent(event);
            dirty_ = true;
            break;
        case SDL_KEYDOWN: OnKeyDown(event); break;
        case SDL_KEYUP: OnKeyUp(event); break;
        case SDL_TEXTINPUT:
            for (char c : Latin1(event.text.text))
                chooser_.Type(c);
            listFocus_ = false;
            dirty_ = true;
            break;
        case SDL_MOUSEMOTION: {
            HostChooserPart part = HitAt(event.motion.x, event.motion.y).part;
            if (part != HostChooserPart::Ok && part != HostChooserPart::Cancel)
                part = HostChooserPart::Outside;
            dirty_ |= part != hover_;
            hover_ = part;
            break;
        }
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP: OnButton(event); break;
        case SDL_MOUSEWHEEL: {
            int rows = event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? event.wheel.y : -event.wheel.y;
            chooser_.Scroll(rows * kWheelRows);
            dirty_ = true;
            break;
        }
        default: break;
        }
    }

    HostChooserHit HitAt(int windowX, int windowY) const {
        int x = 0, y = 0;
        HostSdlWindowToPicture(windowX, windowY, &x, &y);
        return HostChooserHitTest(layout_, chooser_, x, y);
    }

    void OnKeyDown(const SDL_Event& event) {
        SDL_Scancode key = event.key.keysym.scancode;
        if (key < 0 || key >= SDL_NUM_SCANCODES) return;
        size_t slot = static_cast<size_t>(key);
        if (forwardKeyUp_[slot]) return; // still held from before the dialog: a repeat of the program's key
        if ((key == SDL_SCANCODE_RETURN) && (event.key.keysym.mod & KMOD_ALT)) {
            HostSdlHandleEvent(event); // full screen on and off, as always
            forwardKeyUp_[slot] = true;
            dirty_ = true;
            return;
        }
        pressedKey_[slot] = true;
        int page = std::max(layout_.rows - 1, 1);
        switch (key) {
        case SDL_SCANCODE_ESCAPE: state_ = State::Cancelled; break;
        case SDL_SCANCODE_RETURN:
        case SDL_SCANCODE_KP_ENTER: {
            bool onList = listFocus_ && chooser_.Selected() >= 0;
            HostFileChooser::Outcome outcome =
                onList ? chooser_.Activate(chooser_.Selected()) : chooser_.Accept();
            if (outcome == HostFileChooser::Outcome::Chosen) state_ = State::Chosen;
            break;
        }
        case SDL_SCANCODE_UP: MoveSelection(-1); break;
        case SDL_SCANCODE_DOWN: MoveSelection(1); break;
        case SDL_SCANCODE_PAGEUP: MoveSelection(-page); break;
        case SDL_SCANCODE_PAGEDOWN: MoveSelection(page); break;
        case SDL_SCANCODE_HOME: MoveSelection(-static_cast<int>(chooser_.Entries().size())); break;
        case SDL_SCANCODE_END: MoveSelection(static_cast<int>(chooser_.Entries().size())); break;
        case SDL_SCANCODE_BACKSPACE:
            chooser_.Erase();
            listFocus_ = false;
            break;
        case SDL_SCANCODE_TAB: listFocus_ = !listFocus_; break;
        default: return; // characters arrive as text input
        }
        dirty_ = true;
    }

    void MoveSelection(int delta) {
        chooser_.MoveSelection(delta);
        listFocus_ = true;
    }

    void OnKeyUp(const SDL_Event& event) {
        SDL_Scancode key = event.key.keysym.scancode;
        if (key < 0 || key >= SDL_NUM_SCANCODES) return;
        size_t slot = static_cast<size_t>(key);
        if (pressedKey_[slot]) {
            pressedKey_[slot] = false;
        } else if (forwardKeyUp_[slot]) {
            forwardKeyUp_[slot] = false;
            HostSdlHandleEvent(event); // the program saw this key go down
        }
    }

    void OnButton(const SDL_Event& event) {
        int button = ButtonIndex(event.button.button);
        if (button < 0) return;
        bool down = event.type == SDL_MOUSEBUTTONDOWN;
        if (!down && !pressedButton_[button]) {
            if (forwardButtonUp_[button]) HostSdlHandleEvent(event);
            forwardButtonUp_[button] = false;
            return;
        }
        pressedButton_[button] = down;
        if (button != 0) return;
        HostChooserHit hit = HitAt(event.button.x, event.button.y);
        if (down)
            Press(hit, event.button.clicks);
        else
            Release(hit);
        dirty_ = true;
    }

    void Press(const HostChooserHit& hit, int clicks) {
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
    void Release(const HostChooserHit& hit) {
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

    HostFileChooser chooser_;
    HostShownPicture background_;
    HostChooserLayout layout_{};
    HostChooserPainter painter_;
    State state_ = State::Open;
    bool dirty_ = true;
    bool listFocus_ = false;
    HostChooserPart hover_ = HostChooserPart::Outside;
    HostChooserPart pressedPart_ = HostChooserPart::Outside;
    std::vector<bool> forwardKeyUp_; // keys whose release the program is owed
    std::vector<bool> pressedKey_;   // keys pressed in the dialog and not yet released
    bool forwardButtonUp_[3] = {};
    bool pressedButton_[3] = {};
};

} // namespace

bool HostSdlRunFileDialog(const HostFileDialogRequest& request, HostFileDialogAnswer& answer) {
    if (!HostSdlHasWindow()) {
        std::fprintf(stderr, "%s: no window to show the file dialog in.\n", request.title.c_str());
        return false;
    }
    ChooserSession session(request);
    if (!session.Run()) return false;
    answer.path = session.Chooser().ChosenPath();
    answer.filter = session.Chooser().FilterIndex();
    return true;
}
