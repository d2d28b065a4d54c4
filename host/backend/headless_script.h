// The headless input script (HOST_SCRIPT): one event a line, "FRAME verb arguments", where FRAME is the
// number of presented frames at which the event happens (0: before the first frame). Blank lines and lines
// starting with '#' are skipped. See docs/headless.md for the verbs.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/backend/keys.h"

enum class HostScriptVerb {
    Move,
    Down,
    Up,
    Key,
    KeyDown,
    KeyUp,
    Text,
    Capture,
    Close,
    FocusIn,
    FocusOut,
    Dialog,       // the answer of the next file dialog opened at or after the frame: text, a path
    DialogCancel, // the next file dialog opened at or after the frame is cancelled
};

struct HostScriptEvent {
    uint64_t frame = 0;
    HostScriptVerb verb = HostScriptVerb::Close;
    int x = 0, y = 0;                 // move
    int button = 0;                   // down, up: 0 left, 1 right, 2 middle
    const HostKeyInfo* key = nullptr; // key, keydown, keyup
    std::string text;                 // text: the characters; capture: the file; dialog: the path
    int line = 0;                     // where it was written
};

// Parses a whole script into events ordered by frame (lines of one frame keep their order). False with
// message "line N: ..." at the first bad line; events is then left unchanged.
bool HostParseScript(const std::string& script, std::vector<HostScriptEvent>& events, std::string& message);
