// The sdl backend: one SDL window shows the program's main window. The 16-bit picture goes into a 5-6-5
// streaming texture (only the rows that changed are uploaded) and is drawn scaled to the window with its
// proportions kept: nearest-neighbour, by a whole factor where one fits. Pointer positions are mapped back
// through the same scaling into the picture's (= the main window's client) coordinates.
#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "host/backend/audio_sdl.h"
#include "host/backend/backend.h"
#include "host/backend/hooks.h"
#include "host/backend/sdl_keymap.h"
#include "host/backend/sdl_screen.h"

namespace {

struct SdlScreen {
    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr;
    SDL_Texture* texture = nullptr;
    int pictureWidth = 800; // the picture (client area) size, before any frame the window's own
    int pictureHeight = 600;
    int textureWidth = 0;
    int textureHeight = 0;
    std::vector<uint16_t> uploaded; // what the texture holds, to find the rows that changed
    bool fullScreen = false;
    bool cursorVisible = true;
    bool swallowReturnUp = false; // the Return of Alt+Enter is the backend's, not the program's
    // Releases of keys and buttons pressed in the backend's own dialogs belong to those dialogs.
    bool ignoreKeyUp[SDL_NUM_SCANCODES] = {};
    bool ignoreButtonUp[3] = {};
};

SdlScreen g_screen; // used from the message thread only

// Where the picture lands in the renderer's output: centred, proportions kept, whole factors where they fit.
SDL_Rect PictureArea() {
    int outputWidth = 0, outputHeight = 0;
    SDL_GetRendererOutputSize(g_screen.renderer, &outputWidth, &outputHeight);
    double scale = std::min(outputWidth / static_cast<double>(g_screen.pictureWidth),
                            outputHeight / static_cast<double>(g_screen.pictureHeight));
    if (scale >= 1.0) scale = std::floor(scale);
    int width = std::max(1, static_cast<int>(g_screen.pictureWidth * scale));
    int height = std::max(1, static_cast<int>(g_screen.pictureHeight * scale));
    return SDL_Rect{(outputWidth - width) / 2, (outputHeight - height) / 2, width, height};
}

// Window point (SDL's mouse coordinates) to picture point, clamped into the picture.
SDL_Point WindowToPicture(int x, int y) {
    if (!g_screen.renderer) return SDL_Point{x, y};
    int windowWidth = 1, windowHeight = 1, outputWidth = 1, outputHeight = 1;
    SDL_GetWindowSize(g_screen.window, &windowWidth, &windowHeight);
    SDL_GetRendererOutputSize(g_screen.renderer, &outputWidth, &outputHeight);
    double outputX = x * static_cast<double>(outputWidth) / std::max(windowWidth, 1);
    double outputY = y * static_cast<double>(outputHeight) / std::max(windowHeight, 1);
    SDL_Rect area = PictureArea();
    int pictureX = static_cast<int>(std::floor((outputX - area.x) * g_screen.pictureWidth / area.w));
    int pictureY = static_cast<int>(std::floor((outputY - area.y) * g_screen.pictureHeight / area.h));
    return SDL_Point{std::clamp(pictureX, 0, g_screen.pictureWidth - 1),
                     std::clamp(pictureY, 0, g_screen.pictureHeight - 1)};
}

void Redraw() {
    if (!g_screen.renderer) return;
    SDL_SetRenderDrawColor(g_screen.renderer, 0, 0, 0, 255);
    SDL_RenderClear(g_screen.renderer);
    if (g_screen.texture) {
        SDL_Rect area = PictureArea();
        SDL_RenderCopy(g_screen.renderer, g_screen.texture, nullptr, &area);
    }
    SDL_RenderPresent(g_screen.renderer);
}

void DestroyScreen() {
    if (g_screen.texture) SDL_DestroyTexture(g_screen.texture);
    if (g_screen.renderer) SDL_DestroyRenderer(g_screen.renderer);
    if (g_screen.window) SDL_DestroyWindow(g_screen.window);
    g_screen.texture = nullptr;
    g_screen.renderer = nullptr;
    g_screen.window = nullptr;
    g_screen.textureWidth = g_screen.textureHeight = 0;
    g_screen.uploaded.clear();
}

[[noreturn]] void FailWindow(const char* what) {
    std::fprintf(stderr, "Cannot open the program's window (%s: %s).\n", what, SDL_GetError());
    std::fflush(stderr);
    std::_Exit(1);
}

void EnsureTexture(int width, int height) {
    if (g_screen.texture && g_screen.textureWidth == width && g_screen.textureHeight == height) return;
    if (g_screen.texture) SDL_DestroyTexture(g_screen.texture);
    g_screen.texture = SDL_CreateTexture(g_screen.renderer, SDL_PIXELFORMAT_RGB565,
                                         SDL_TEXTUREACCESS_STREAMING, width, height);
    if (!g_screen.texture) FailWindow("texture");
    g_screen.textureWidth = width;
    g_screen.textureHeight = height;
    g_screen.uploaded.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
    g_screen.pictureWidth = width;
    g_screen.pictureHeight = height;
    SDL_Rect all{0, 0, width, height};
    SDL_UpdateTexture(g_screen.texture, &all, g_screen.uploaded.data(), width * 2);
}

// Uploads the band of rows that differ from what the texture holds.
void Upload(const HostShownPicture& picture) {
    size_t width = static_cast<size_t>(picture.width);
    int first = -1, last = -1;
    for (int y = 0; y < picture.height; ++y) {
        const uint16_t* row = picture.pixels.data() + y * width;
        if (std::memcmp(row, g_screen.uploaded.data() + y * width, width * 2) != 0) {
            if (first < 0) first = y;
            last = y;
        }
    }
    if (first < 0) return;
    size_t offset = static_cast<size_t>(first) * width;
    size_t count = static_cast<size_t>(last - first + 1) * width;
    std::memcpy(g_screen.uploaded.data() + offset, picture.pixels.data() + offset, count * 2);
    SDL_Rect band{0, first, picture.width, last - first + 1};
    SDL_UpdateTexture(g_screen.texture, &band, picture.pixels.data() + offset, picture.width * 2);
}

bool Init(std::string& error) {
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
    SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
    // Ask only for the display the session names (an X display, else the console's own), so that a missing
    // display is reported as such instead of SDL falling back to drawing into memory nobody sees.
    bool chosen = std::getenv("SDL_VIDEODRIVER") != nullptr;
    const char* x11 = std::getenv("DISPLAY");
    bool wayland = std::getenv("WAYLAND_DISPLAY") != nullptr;
    bool noSession = !x11 && !wayland;
    if (!chosen && !wayland) SDL_SetHint(SDL_HINT_VIDEODRIVER, x11 ? "x11" : "KMSDRM");
    std::string reason;
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        reason = noSession && !chosen ? "neither DISPLAY nor WAYLAND_DISPLAY is set"
                 : x11 && !chosen     ? std::string("cannot open X display ") + x11
                                      : SDL_GetError();
    } else if (!chosen) {
        const char* driver = SDL_GetCurrentVideoDriver();
        if (driver && (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0)) {
            reason = std::string("only SDL's ") + driver + " driver is available";
            SDL_QuitSubSystem(SDL_INIT_VIDEO);
        }
    }
    if (!reason.empty()) {
        error = "No display available (" + reason + "): set HOST_BACKEND=headless to run without a window.";
        return false;
    }
    SDL_StartTextInput();
    return true;
}

void Shutdown() {
    DestroyScreen();
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

void MainWindowShown(int width, int height, const char* title) {
    if (g_screen.window) return;
    g_screen.pictureWidth = std::max(width, 1);
    g_screen.pictureHeight = std::max(height, 1);
    Uint32 flags = SDL_WINDOW_RESIZABLE | (g_screen.fullScreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
    g_screen.window = SDL_CreateWindow(title, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                       g_screen.pictureWidth, g_screen.pictureHeight, flags);
    if (!g_screen.window) FailWindow("window");
    g_screen.renderer =
        SDL_CreateRenderer(g_screen.window, -1, SDL_RENDERER_ACCELERATED | SDL_RENDERER_PRESENTVSYNC);
    if (!g_screen.renderer)
        g_screen.renderer = SDL_CreateRenderer(g_screen.window, -1, SDL_RENDERER_SOFTWARE);
    if (!g_screen.renderer) FailWindow("renderer");
    SDL_ShowCursor(g_screen.cursorVisible ? SDL_ENABLE : SDL_DISABLE);
    Redraw();
}

void MainWindowTitle(const char* title) {
    if (g_screen.window) SDL_SetWindowTitle(g_screen.window, title);
}

void Present(const HostShownPicture& picture) {
    if (!g_screen.renderer || picture.width <= 0 || picture.height <= 0) return;
    EnsureTexture(picture.width, picture.height);
    Upload(picture);
    Redraw();
}

void SetFullScreen(bool on) {
    g_screen.fullScreen = on;
    if (g_screen.window) SDL_SetWindowFullscreen(g_screen.window, on ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
}

void ShowPointer(bool visible) {
    g_screen.cursorVisible = visible;
    SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE);
}

void WarpMouse(int x, int y) {
    if (!g_screen.window || !g_screen.renderer) return;
    int windowWidth = 1, windowHeight = 1, outputWidth = 1, outputHeight = 1;
    SDL_GetWindowSize(g_screen.window, &windowWidth, &windowHeight);
    SDL_GetRendererOutputSize(g_screen.renderer, &outputWidth, &outputHeight);
    SDL_Rect area = PictureArea();
    double outputX = area.x + (x + 0.5) * area.w / g_screen.pictureWidth;
    double outputY = area.y + (y + 0.5) * area.h / g_screen.pictureHeight;
    SDL_WarpMouseInWindow(g_screen.window, static_cast<int>(outputX * windowWidth / std::max(outputWidth, 1)),
                          static_cast<int>(outputY * windowHeight / std::max(outputHeight, 1)));
}

// Echoed to the standard error first, so that a box on a machine without a screen is not lost.
bool ShowMessageBox(const char* title, const char* text, HostMessageKind kind) {
    std::fprintf(stderr, "%s: %s\n", title, text);
    HostGetBackend(); // the window the box belongs to, or the one line saying there is no display
    Uint32 flags = kind == HostMessageKind::Error     ? SDL_MESSAGEBOX_ERROR
                   : kind == HostMessageKind::Warning ? SDL_MESSAGEBOX_WARNING
                                                      : SDL_MESSAGEBOX_INFORMATION;
    return SDL_ShowSimpleMessageBox(flags, title, text, g_screen.window) == 0;
}

bool DesktopSize(int* width, int* height) {
    SDL_DisplayMode mode;
    if (SDL_GetDesktopDisplayMode(0, &mode) != 0) return false;
    *width = mode.w;
    *height = mode.h;
    return true;
}

// UTF-8 text to characters the programs' 8-bit text can hold (Latin-1); others are dropped.
void PostText(const char* text) {
    const unsigned char* c = reinterpret_cast<const unsigned char*>(text);
    while (*c) {
        unsigned code = *c;
        int extra = code < 0x80 ? 0 : (code & 0xE0) == 0xC0 ? 1 : (code & 0xF0) == 0xE0 ? 2 : 3;
        if (extra) code &= 0x3F >> extra;
        ++c;
        for (int i = 0; i < extra && (*c & 0xC0) == 0x80; ++i, ++c)
            code = (code << 6) | (*c & 0x3F);
        if (code < 0x100) HostWindowUp().character(code);
    }
}

void KeyEvent(const SDL_KeyboardEvent& event) {
    bool down = event.type == SDL_KEYDOWN;
    if (event.keysym.scancode == SDL_SCANCODE_RETURN && (event.keysym.mod & KMOD_ALT)) {
        if (down && !event.repeat) SetFullScreen(!g_screen.fullScreen);
        g_screen.swallowReturnUp = true;
        return;
    }
    if (!down && event.keysym.scancode == SDL_SCANCODE_RETURN && g_screen.swallowReturnUp) {
        g_screen.swallowReturnUp = false;
        return;
    }
    SDL_Scancode scancode = event.keysym.scancode;
    if (scancode >= 0 && scancode < SDL_NUM_SCANCODES && g_screen.ignoreKeyUp[scancode]) {
        if (down && event.repeat) return;       // the dialog's press, still held
        g_screen.ignoreKeyUp[scancode] = false; // the release is the dialog's; a new press is not
        if (!down) return;
    }
    HostPcKey key;
    if (!HostPcKeyForSdlScancode(scancode, key)) return;
    HostWindowUp().key(key.virtualKey, key.scanCode, key.extended, down, event.repeat != 0);
}

void WindowEvent(const SDL_WindowEvent& event) {
    switch (event.event) {
    case SDL_WINDOWEVENT_FOCUS_GAINED: HostWindowUp().focus(true); break;
    case SDL_WINDOWEVENT_FOCUS_LOST: HostWindowUp().focus(false); break;
    case SDL_WINDOWEVENT_CLOSE: HostWindowUp().close(); break;
    case SDL_WINDOWEVENT_EXPOSED:
    case SDL_WINDOWEVENT_SIZE_CHANGED: Redraw(); break;
    default: break;
    }
}

void MouseButton(const SDL_MouseButtonEvent& event) {
    int button = event.button == SDL_BUTTON_LEFT     ? 0
                 : event.button == SDL_BUTTON_RIGHT  ? 1
                 : event.button == SDL_BUTTON_MIDDLE ? 2
                                                     : -1;
    if (button < 0) return;
    if (g_screen.ignoreButtonUp[button]) {
        g_screen.ignoreButtonUp[button] = false;
        if (event.type == SDL_MOUSEBUTTONUP) return;
    }
    SDL_Point at = WindowToPicture(event.x, event.y);
    HostWindowUp().mouseMove(at.x, at.y); // the press happens where the pointer is now
    HostWindowUp().mouseButton(button, event.type == SDL_MOUSEBUTTONDOWN);
}

// One event as window messages. closeAsked keeps a quit and a window close of one pump to one WM_CLOSE.
void HandleEvent(const SDL_Event& event, bool& closeAsked) {
    switch (event.type) {
    case SDL_QUIT:
        if (!closeAsked) HostWindowUp().close();
        closeAsked = true;
        break;
    case SDL_WINDOWEVENT:
        if (event.window.event == SDL_WINDOWEVENT_CLOSE) {
            if (closeAsked) break;
            closeAsked = true;
        }
        WindowEvent(event.window);
        break;
    case SDL_KEYDOWN:
    case SDL_KEYUP: KeyEvent(event.key); break;
    case SDL_TEXTINPUT: PostText(event.text.text); break;
    case SDL_MOUSEMOTION: {
        SDL_Point at = WindowToPicture(event.motion.x, event.motion.y);
        HostWindowUp().mouseMove(at.x, at.y);
        break;
    }
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: MouseButton(event.button); break;
    default: break;
    }
}

void PumpEvents() {
    // An inactive program spins on its message pump; a short wait keeps it from taking a whole core.
    if (!HostWindowUp().programActive()) SDL_WaitEventTimeout(nullptr, 10);
    bool closeAsked = false;
    SDL_Event event;
    while (SDL_PollEvent(&event))
        HandleEvent(event, closeAsked);
}

void WaitEvents(int milliseconds) {
    SDL_WaitEventTimeout(nullptr, milliseconds);
}

} // namespace

bool HostSdlHasWindow() {
    return g_screen.window && g_screen.renderer;
}

HostShownPicture HostSdlShownPicture() {
    HostShownPicture picture;
    picture.width = g_screen.pictureWidth;
    picture.height = g_screen.pictureHeight;
    bool shown = !g_screen.uploaded.empty() && g_screen.textureWidth == picture.width &&
                 g_screen.textureHeight == picture.height;
    if (shown)
        picture.pixels = g_screen.uploaded;
    else
        picture.pixels.assign(static_cast<size_t>(picture.width) * static_cast<size_t>(picture.height), 0);
    return picture;
}

void HostSdlWindowToPicture(int x, int y, int* pictureX, int* pictureY) {
    SDL_Point at = WindowToPicture(x, y);
    *pictureX = at.x;
    *pictureY = at.y;
}

void HostSdlHandleEvent(const SDL_Event& event) {
    bool closeAsked = false;
    HandleEvent(event, closeAsked);
}

void HostSdlIgnoreKeyRelease(int sdlScancode) {
    if (sdlScancode >= 0 && sdlScancode < SDL_NUM_SCANCODES) g_screen.ignoreKeyUp[sdlScancode] = true;
}

void HostSdlIgnoreButtonRelease(int button) {
    if (button >= 0 && button < 3) g_screen.ignoreButtonUp[button] = true;
}

const HostBackend g_HostSdlBackend = {
    .name = "sdl",
    .init = Init,
    .shutdown = Shutdown,
    .pumpEvents = PumpEvents,
    .waitEvents = WaitEvents,
    .present = Present,
    .mainWindowShown = MainWindowShown,
    .mainWindowTitle = MainWindowTitle,
    .mainWindowGone = DestroyScreen,
    .setFullScreen = SetFullScreen,
    .showCursor = ShowPointer,
    .warpMouse = WarpMouse,
    .messageBox = ShowMessageBox,
    .answerFileDialog = nullptr,
    .runModal = HostSdlRunModal,
    .desktopSize = DesktopSize,
    .textFromKeys = false, // printable characters come from SDL's text input
    .virtualNowMs = nullptr,
    .startProgram = nullptr,
    .openAddress = nullptr,
    .audioOpen = HostSdlAudioOpen,
    .audioClose = HostSdlAudioClose,
    .audioRate = HostSdlAudioRate,
};
