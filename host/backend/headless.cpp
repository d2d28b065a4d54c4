// The headless backend: no window and no sound card. Input comes from the script, the picture is kept
// for capture, and time is virtual: HostNowMs is the presented-frame count times 1/60 s, so a run with the
// same script sees the same times at the same frames.
#include "host/backend/headless.h"

#include <atomic>
#include <cctype>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <mutex>
#include <sstream>
#include <strings.h>
#include <unistd.h>

#include "host/backend/audio_null.h"
#include "host/backend/capture.h"
#include "host/backend/headless_script.h"
#include "host/backend/hooks.h"
#include "host/backend/keys.h"
#include "host/backend/present.h"
#include "host/base/record.h"

extern char** environ;

namespace {

const int kScreenWidth = 800;
const int kScreenHeight = 600;
const std::streamsize kMaxScriptBytes = 16 << 20;

// Touched only by the message thread (pump and present), except the picture, which tests may read.
std::vector<HostScriptEvent> g_events;
size_t g_next = 0;
size_t g_nextAnswer = 0; // dialog answers before this index of g_events are used
std::string g_folder;    // relative capture names are taken from the folder the run started in
std::mutex g_pictureLock;
HostShownPicture g_picture;
std::atomic<bool> g_fullScreen{false};

uint64_t VirtualNowMs() {
    return HostHeadlessMsAtFrame(HostPresentedFrames());
}

void PressKey(const HostKeyInfo& key, bool down) {
    HostWindowUp().key(key.virtualKey, key.scanCode, key.extended, down, false);
}

void TypeText(const std::string& text) {
    const HostKeyInfo* shiftKey = HostFindKeyByName("Shift");
    for (char c : text) {
        bool shift = false;
        const HostKeyInfo* key = HostFindKeyForCharacter(c, &shift);
        if (!key) continue; // refused when the script was read
        if (shift) PressKey(*shiftKey, true);
        PressKey(*key, true);
        PressKey(*key, false);
        if (shift) PressKey(*shiftKey, false);
    }
}

void Capture(const std::string& name) {
    std::string path = !name.empty() && name[0] != '/' && !g_folder.empty() ? g_folder + "/" + name : name;
    std::string error;
    bool written;
    {
        std::lock_guard<std::mutex> guard(g_pictureLock);
        written = HostWriteCaptureBmp(path.c_str(), g_picture, error);
    }
    if (!written) std::fprintf(stderr, "HOST_SCRIPT capture: %s\n", error.c_str());
}

void Perform(const HostScriptEvent& event) {
    const HostWindowHooks& up = HostWindowUp();
    switch (event.verb) {
    case HostScriptVerb::Move: up.mouseMove(event.x, event.y); break;
    case HostScriptVerb::Down: up.mouseButton(event.button, true); break;
    case HostScriptVerb::Up: up.mouseButton(event.button, false); break;
    case HostScriptVerb::Key:
        PressKey(*event.key, true);
        PressKey(*event.key, false);
        break;
    case HostScriptVerb::KeyDown: PressKey(*event.key, true); break;
    case HostScriptVerb::KeyUp: PressKey(*event.key, false); break;
    case HostScriptVerb::Text: TypeText(event.text); break;
    case HostScriptVerb::Capture: Capture(event.text); break;
    case HostScriptVerb::Close: up.close(); break;
    case HostScriptVerb::FocusIn: up.focus(true); break;
    case HostScriptVerb::FocusOut: up.focus(false); break;
    case HostScriptVerb::Dialog:
    case HostScriptVerb::DialogCancel: break; // waits for a dialog to take it (TakeDialogAnswer)
    }
}

// Runs every event whose frame has come. The index moves before each event runs, so an event whose
// messages lead back into the pump (activation is sent at once) is not run twice.
void RunDueEvents() {
    uint64_t frames = HostPresentedFrames();
    while (g_next < g_events.size() && g_events[g_next].frame <= frames) {
        HostScriptEvent event = g_events[g_next++];
        Perform(event);
    }
}

bool ReadScriptFile(const char* path, std::string& text, std::string& error) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return error = "cannot open", false;
    text.assign(static_cast<size_t>(kMaxScriptBytes) + 1, '\0');
    file.read(text.data(), kMaxScriptBytes + 1);
    if (file.gcount() > kMaxScriptBytes) return error = "file too large", false;
    text.resize(static_cast<size_t>(file.gcount()));
    return true;
}

void BlackScreen() {
    std::lock_guard<std::mutex> guard(g_pictureLock);
    g_picture.width = kScreenWidth;
    g_picture.height = kScreenHeight;
    g_picture.pixels.assign(static_cast<size_t>(kScreenWidth * kScreenHeight), 0);
}

bool Init(std::string& error) {
    char folder[PATH_MAX];
    if (getcwd(folder, sizeof folder)) g_folder = folder;
    BlackScreen();
    const char* path = std::getenv("HOST_SCRIPT");
    if (path && *path) {
        std::string text, problem;
        if (!ReadScriptFile(path, text, problem) || !HostParseScript(text, g_events, problem)) {
            error = std::string("HOST_SCRIPT ") + path + ": " + problem;
            return false;
        }
    }
    return true;
}

void Shutdown() {}

// The message queue is empty. An inactive program draws nothing and spins on its pump; each such look is
// a frame, so that its time, the script and the frame limit still move on.
void PumpEvents() {
    const HostWindowHooks& up = HostWindowUp();
    if (up.hasMainWindow() && !up.programActive()) {
        HostCountIdleFrame();
        HostAudioNullPump();
        HostRunTimePassedHooks();
    }
    RunDueEvents();
}

void Present(const HostShownPicture& picture) {
    {
        std::lock_guard<std::mutex> guard(g_pictureLock);
        g_picture = picture;
    }
    HostAudioNullPump();      // the sound of this frame's stretch of virtual time
    HostRunTimePassedHooks(); // the multimedia timers due in that stretch, in order
    RunDueEvents();
}

void SetFullScreen(bool on) {
    g_fullScreen.store(on);
}

bool IsDialogAnswer(const HostScriptEvent& event) {
    return event.verb == HostScriptVerb::Dialog || event.verb == HostScriptVerb::DialogCancel;
}

// The first answer not yet used, when its frame has come (answers wait for a dialog to open); nullptr
// when there is none.
const HostScriptEvent* TakeDialogAnswer() {
    while (g_nextAnswer < g_events.size() && !IsDialogAnswer(g_events[g_nextAnswer]))
        ++g_nextAnswer;
    if (g_nextAnswer == g_events.size() || g_events[g_nextAnswer].frame > HostPresentedFrames())
        return nullptr;
    return &g_events[g_nextAnswer++];
}

// Recorded, and answered from the script: the window layer reads the answer against the dialog's folder
// as if typed into it; no answer, or "cancel", cancels.
HostDialogAnswer AnswerFileDialog(bool save, const std::string& title, const std::string& folder) {
    HostRecord("dialog %s %s %s", save ? "save" : "open", title.c_str(), folder.c_str());
    HostDialogAnswer answer;
    const HostScriptEvent* given = TakeDialogAnswer();
    if (!given || given->verb == HostScriptVerb::DialogCancel) return answer;
    answer.given = true;
    answer.typed = given->text;
    answer.line = given->line;
    return answer;
}

// One record line per box (line ends in the text written as "\n"), answered at once: a test never waits
// for a click.
bool RecordMessageBox(const char* title, const char* text, HostMessageKind) {
    std::string line;
    for (const char* c = text; *c; ++c) {
        if (*c == '\n')
            line += "\\n";
        else if (*c != '\r')
            line += *c;
    }
    HostRecord("message %s: %s", title, line.c_str());
    return true;
}

// HOST_START=real: programs recorded as started are also really started.
bool StartsForReal() {
    const char* mode = std::getenv("HOST_START");
    return mode && strcasecmp(mode, "real") == 0;
}

// The environment of a program started for real: this one's, except that its HOST_SCRIPT and
// HOST_MAX_FRAMES become those meant for it, HOST_SCRIPT_<NAME> and HOST_MAX_FRAMES_<NAME> (NAME: its file
// name in upper case, other characters than letters and digits as '_'), or are left out when not set.
std::vector<std::string> EnvironmentFor(const std::string& program) {
    std::string name = program.substr(program.find_last_of('/') + 1);
    for (char& c : name)
        c = std::isalnum(static_cast<unsigned char>(c))
                ? static_cast<char>(std::toupper(static_cast<unsigned char>(c)))
                : '_';
    std::vector<std::string> environment;
    for (char** variable = environ; variable && *variable; ++variable)
        if (std::strncmp(*variable, "HOST_SCRIPT=", 12) != 0 &&
            std::strncmp(*variable, "HOST_MAX_FRAMES=", 16) != 0)
            environment.push_back(*variable);
    for (const char* setting : {"HOST_SCRIPT", "HOST_MAX_FRAMES"}) {
        const char* value = std::getenv((std::string(setting) + "_" + name).c_str());
        if (value) environment.push_back(std::string(setting) + "=" + value);
    }
    return environment;
}

// Recorded; really started only with HOST_START=real, in an environment of its own.
HostOutsideAction StartProgram(const char* program, const char* parameters, const char* folder) {
    HostRecord("start %s %s %s", program, parameters, folder);
    HostOutsideAction action;
    action.perform = StartsForReal();
    if (action.perform) {
        action.ownEnvironment = true;
        action.environment = EnvironmentFor(program);
    }
    return action;
}

// Recorded only: no browser opens in a test.
HostOutsideAction OpenAddress(const char* address) {
    HostRecord("open %s", address);
    HostOutsideAction action;
    action.perform = false;
    return action;
}

} // namespace

// Nothing arrives while waiting (only frames move the script on); there is no window, pointer or desktop
// to show; outside actions are recorded; time is virtual.
const HostBackend g_HostHeadlessBackend = {
    .name = "headless",
    .init = Init,
    .shutdown = Shutdown,
    .pumpEvents = PumpEvents,
    .waitEvents = nullptr,
    .present = Present,
    .mainWindowShown = nullptr,
    .mainWindowTitle = nullptr,
    .mainWindowGone = nullptr,
    .setFullScreen = SetFullScreen,
    .showCursor = nullptr,
    .warpMouse = nullptr,
    .messageBox = RecordMessageBox,
    .answerFileDialog = AnswerFileDialog,
    .runModal = nullptr,
    .desktopSize = nullptr,
    .textFromKeys = true,
    .virtualNowMs = VirtualNowMs,
    .startProgram = StartProgram,
    .openAddress = OpenAddress,
    .audioOpen = HostAudioNullOpen,
    .audioClose = HostAudioNullClose,
    .audioRate = HostAudioNullRate,
};

bool HostHeadlessSetScript(const std::string& script, std::string& message) {
    std::vector<HostScriptEvent> events;
    if (!HostParseScript(script, events, message)) return false;
    HostGetBackend();
    g_events = events;
    g_next = 0;
    g_nextAnswer = 0;
    return true;
}

HostShownPicture HostHeadlessShownPicture() {
    HostGetBackend();
    std::lock_guard<std::mutex> guard(g_pictureLock);
    return g_picture;
}

bool HostHeadlessFullScreen() {
    return g_fullScreen.load();
}

uint64_t HostHeadlessMsAtFrame(uint64_t frames) {
    return frames * 1000 / 60;
}

void HostHeadlessReset() {
    HostGetBackend();
    g_events.clear();
    g_next = 0;
    g_nextAnswer = 0;
    BlackScreen();
    g_fullScreen.store(false);
}
