#include "host/backend/headless_script.h"

#include <algorithm>
#include <cctype>
#include <sstream>
#include <strings.h>

namespace {

const uint64_t kMaxFrame = 1ull << 40;

std::string Trim(const std::string& text) {
    size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) return "";
    size_t last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

// Splits off the first word of text; rest keeps what follows the single separating blank.
std::string FirstWord(const std::string& text, std::string& rest) {
    size_t end = text.find_first_of(" \t");
    if (end == std::string::npos) {
        rest.clear();
        return text;
    }
    rest = text.substr(end + 1);
    return text.substr(0, end);
}

bool ParseFrame(const std::string& word, uint64_t& frame) {
    if (word.empty() || word.size() > 13) return false;
    frame = 0;
    for (char c : word) {
        if (!std::isdigit(static_cast<unsigned char>(c))) return false;
        frame = frame * 10 + static_cast<unsigned>(c - '0');
    }
    return frame <= kMaxFrame;
}

bool ParseCoordinate(const std::string& word, int& value) {
    if (word.empty() || word.size() > 6) return false;
    size_t start = word[0] == '-' ? 1 : 0;
    if (start == word.size()) return false;
    for (size_t i = start; i < word.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(word[i]))) return false;
    }
    value = std::stoi(word);
    return value >= -32768 && value <= 32767; // what a message's lParam can carry
}

bool ParseButton(const std::string& word, int& button) {
    if (strcasecmp(word.c_str(), "left") == 0) return button = 0, true;
    if (strcasecmp(word.c_str(), "right") == 0) return button = 1, true;
    if (strcasecmp(word.c_str(), "middle") == 0) return button = 2, true;
    return false;
}

// Fills event from "verb arguments"; message says what is wrong otherwise.
bool ParseAction(const std::string& action, HostScriptEvent& event, std::string& message) {
    std::string rest;
    std::string verb = FirstWord(action, rest);
    std::string argument = Trim(rest);
    auto is = [&verb](const char* name) { return strcasecmp(verb.c_str(), name) == 0; };
    if (is("move")) {
        std::string second;
        std::string first = FirstWord(argument, second);
        event.verb = HostScriptVerb::Move;
        if (!ParseCoordinate(first, event.x) || !ParseCoordinate(Trim(second), event.y))
            return message = "move wants two whole numbers X Y", false;
        return true;
    }
    if (is("down") || is("up")) {
        event.verb = is("down") ? HostScriptVerb::Down : HostScriptVerb::Up;
        if (!ParseButton(argument, event.button))
            return message = verb + " wants left, right or middle", false;
        return true;
    }
    if (is("key") || is("keydown") || is("keyup")) {
        event.verb = is("key")       ? HostScriptVerb::Key
                     : is("keydown") ? HostScriptVerb::KeyDown
                                     : HostScriptVerb::KeyUp;
        event.key = HostFindKeyByName(argument.c_str());
        if (!event.key) return message = "unknown key name '" + argument + "'", false;
        return true;
    }
    if (is("text")) {
        // Everything after "text " is typed, blanks included (a trailing line end is not).
        event.verb = HostScriptVerb::Text;
        event.text = rest;
        while (!event.text.empty() && (event.text.back() == '\r' || event.text.back() == '\n'))
            event.text.pop_back();
        if (event.text.empty()) return message = "text wants something to type", false;
        for (char c : event.text) {
            if (!HostFindKeyForCharacter(c, nullptr))
                return message = std::string("no key types '") + c + "'", false;
        }
        return true;
    }
    if (is("capture")) {
        event.verb = HostScriptVerb::Capture;
        event.text = argument;
        if (event.text.empty()) return message = "capture wants a file name", false;
        return true;
    }
    if (is("close")) {
        event.verb = HostScriptVerb::Close;
        if (!argument.empty()) return message = "close takes nothing more", false;
        return true;
    }
    if (is("dialog")) {
        // Everything after "dialog " is the path, blanks inside it included.
        event.verb = strcasecmp(argument.c_str(), "cancel") == 0 ? HostScriptVerb::DialogCancel
                                                                 : HostScriptVerb::Dialog;
        event.text = argument;
        if (event.text.empty()) return message = "dialog wants a path or cancel", false;
        return true;
    }
    if (is("focus")) {
        if (strcasecmp(argument.c_str(), "in") == 0) return event.verb = HostScriptVerb::FocusIn, true;
        if (strcasecmp(argument.c_str(), "out") == 0) return event.verb = HostScriptVerb::FocusOut, true;
        return message = "focus wants in or out", false;
    }
    return message = "unknown event '" + verb + "'", false;
}

} // namespace

bool HostParseScript(const std::string& script, std::vector<HostScriptEvent>& events, std::string& message) {
    std::vector<HostScriptEvent> parsed;
    std::istringstream lines(script);
    std::string line;
    int number = 0;
    while (std::getline(lines, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::string content = line;
        size_t start = content.find_first_not_of(" \t");
        if (start == std::string::npos || content[start] == '#') continue;
        content = content.substr(start);
        HostScriptEvent event;
        event.line = number;
        std::string action;
        std::string frameWord = FirstWord(content, action);
        std::string problem;
        if (!ParseFrame(frameWord, event.frame)) {
            problem = "'" + frameWord + "' is not a frame number";
        } else {
            size_t actionStart = action.find_first_not_of(" \t");
            action = actionStart == std::string::npos ? "" : action.substr(actionStart);
            if (action.empty())
                problem = "no event after the frame number";
            else
                ParseAction(action, event, problem);
        }
        if (!problem.empty()) {
            message = "line " + std::to_string(number) + ": " + problem;
            return false;
        }
        parsed.push_back(event);
    }
    std::stable_sort(parsed.begin(), parsed.end(),
                     [](const HostScriptEvent& a, const HostScriptEvent& b) { return a.frame < b.frame; });
    events = parsed;
    return true;
}
