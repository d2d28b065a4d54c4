// The sdl backend's modal overlays (the file chooser): SDL has no dialog of its own, so the overlay is drawn
// over the program's picture and gets SDL's events, as picture points and virtual keys, until it closes.
// Events it does not take (focus, close, the release of keys held before it opened) go on to the program as
// the message pump would send them; the picture is put back when it ends.
#include <vector>

#include "host/backend/hooks.h"
#include "host/backend/sdl_keymap.h"
#include "host/backend/sdl_screen.h"

namespace {

const int kIdleWaitMs = 250;

int ButtonIndex(Uint8 sdlButton) {
    return sdlButton == SDL_BUTTON_LEFT     ? 0
           : sdlButton == SDL_BUTTON_RIGHT  ? 1
           : sdlButton == SDL_BUTTON_MIDDLE ? 2
                                            : -1;
}

// UTF-8 text as the Latin-1 characters a name may hold; others are dropped.
std::string Latin1(const char* text) {
    std::string characters;
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

HostModalEvent At(HostModalEvent::Kind kind, int windowX, int windowY) {
    HostModalEvent event;
    event.kind = kind;
    HostSdlWindowToPicture(windowX, windowY, &event.x, &event.y);
    return event;
}

class ModalSession {
  public:
    explicit ModalSession(HostModal& modal) : modal_(modal), background_(HostSdlShownPicture()) {
        modal_.Begin(background_);
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

    // Runs until the overlay closes, then shows the program's picture again.
    void Run() {
        int cursor = SDL_ShowCursor(SDL_QUERY);
        SDL_ShowCursor(SDL_ENABLE);
        HostShownPicture frame;
        while (modal_.Open()) {
            if (dirty_) {
                modal_.Draw(frame);
                g_HostSdlBackend.present(frame);
                dirty_ = false;
            }
            SDL_Event event;
            if (!SDL_WaitEventTimeout(&event, kIdleWaitMs)) continue;
            OnEvent(event);
            while (modal_.Open() && SDL_PollEvent(&event))
                OnEvent(event);
        }
        Finish(cursor);
    }

  private:
    void Send(const HostModalEvent& event) { dirty_ |= modal_.Handle(event); }

    void Send(HostModalEvent::Kind kind) {
        HostModalEvent event;
        event.kind = kind;
        Send(event);
    }

    void Finish(int cursor) {
        g_HostSdlBackend.present(background_);
        SDL_ShowCursor(cursor);
        for (int i = 0; i < SDL_NUM_SCANCODES; ++i)
            if (pressedKey_[static_cast<size_t>(i)]) HostSdlIgnoreKeyRelease(i);
        for (int i = 0; i < 3; ++i)
            if (pressedButton_[i]) HostSdlIgnoreButtonRelease(i);
        // The program's pointer is where the user left it, not where it was when the overlay opened.
        int x = 0, y = 0;
        SDL_GetMouseState(&x, &y);
        int pictureX = 0, pictureY = 0;
        HostSdlWindowToPicture(x, y, &pictureX, &pictureY);
        HostWindowUp().mouseMove(pictureX, pictureY);
    }

    void OnEvent(const SDL_Event& event) {
        switch (event.type) {
        case SDL_QUIT:
            Send(HostModalEvent::Kind::Cancelled);
            HostSdlHandleEvent(event); // the program is asked to close, after the overlay
            break;
        case SDL_WINDOWEVENT:
            if (event.window.event == SDL_WINDOWEVENT_CLOSE) Send(HostModalEvent::Kind::Cancelled);
            HostSdlHandleEvent(event);
            Send(HostModalEvent::Kind::Changed);
            break;
        case SDL_KEYDOWN: OnKeyDown(event); break;
        case SDL_KEYUP: OnKeyUp(event); break;
        case SDL_TEXTINPUT: {
            HostModalEvent text;
            text.kind = HostModalEvent::Kind::Text;
            text.text = Latin1(event.text.text);
            Send(text);
            break;
        }
        case SDL_MOUSEMOTION: Send(At(HostModalEvent::Kind::Pointer, event.motion.x, event.motion.y)); break;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP: OnButton(event); break;
        case SDL_MOUSEWHEEL: {
            HostModalEvent wheel;
            wheel.kind = HostModalEvent::Kind::Wheel;
            wheel.rows = event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? event.wheel.y : -event.wheel.y;
            Send(wheel);
            break;
        }
        default: break;
        }
    }

    void OnKeyDown(const SDL_Event& event) {
        SDL_Scancode key = event.key.keysym.scancode;
        if (key < 0 || key >= SDL_NUM_SCANCODES) return;
        size_t slot = static_cast<size_t>(key);
        if (forwardKeyUp_[slot]) return; // still held from before the overlay: a repeat of the program's key
        if ((key == SDL_SCANCODE_RETURN) && (event.key.keysym.mod & KMOD_ALT)) {
            HostSdlHandleEvent(event); // full screen on and off, as always
            forwardKeyUp_[slot] = true;
            Send(HostModalEvent::Kind::Changed);
            return;
        }
        pressedKey_[slot] = true;
        HostPcKey pcKey;
        if (!HostPcKeyForSdlScancode(key, pcKey)) return;
        HostModalEvent down;
        down.kind = HostModalEvent::Kind::KeyDown;
        down.key = pcKey.virtualKey;
        Send(down);
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
        HostModalEvent press = At(down ? HostModalEvent::Kind::Press : HostModalEvent::Kind::Release,
                                  event.button.x, event.button.y);
        press.button = button;
        press.clicks = event.button.clicks;
        Send(press);
    }

    HostModal& modal_;
    HostShownPicture background_;
    bool dirty_ = true;
    std::vector<bool> forwardKeyUp_; // keys whose release the program is owed
    std::vector<bool> pressedKey_;   // keys pressed in the overlay and not yet released
    bool forwardButtonUp_[3] = {};
    bool pressedButton_[3] = {};
};

} // namespace

bool HostSdlRunModal(HostModal& modal) {
    if (!HostSdlHasWindow()) return false;
    ModalSession session(modal);
    session.Run();
    return true;
}
