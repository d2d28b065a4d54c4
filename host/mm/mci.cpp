#include "host/mm/mci.h"

#include <cctype>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "host/dsound/mixer.h"
#include "host/mm/music_voice.h"
#include "host/win/messages.h"
#include "host/win/paths.h"

namespace {

// A music file larger than this is refused rather than held in memory.
constexpr size_t kMaxMusicBytes = 256u * 1024 * 1024;

struct Device {
    MCIDEVICEID id;
    std::unique_ptr<HostMusicVoice> voice;
};

// The open devices by lower-case name. Lock order: this lock, then the mixer lock.
struct MciState {
    std::mutex lock;
    std::map<std::string, Device> devices;
    MCIDEVICEID nextId = 1;
};

// Never destroyed: devices left open at exit stay reachable until the process ends.
MciState& State() {
    static MciState* state = new MciState;
    return *state;
}

std::string Lower(std::string text) {
    for (char& c : text)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// Splits a command into words at blanks; a double-quoted word may hold blanks.
std::vector<std::string> Tokenize(const char* command) {
    std::vector<std::string> words;
    const char* at = command;
    for (;;) {
        while (*at && std::isspace(static_cast<unsigned char>(*at)))
            ++at;
        if (!*at) break;
        std::string word;
        if (*at == '"') {
            ++at;
            while (*at && *at != '"')
                word += *at++;
            if (*at == '"') ++at;
        } else {
            while (*at && !std::isspace(static_cast<unsigned char>(*at)))
                word += *at++;
        }
        words.push_back(word);
    }
    return words;
}

// A command's words after the verb, with a trailing "notify" taken out.
struct Command {
    std::string verb;
    std::vector<std::string> words;
    bool notify = false;
};

MCIERROR ParseMilliseconds(const std::string& text, uint64_t& out) {
    if (text.empty() || text.size() > 12) return MCIERR_BAD_INTEGER;
    out = 0;
    for (char c : text) {
        if (!std::isdigit(static_cast<unsigned char>(c))) return MCIERR_BAD_INTEGER;
        out = out * 10 + uint64_t(c - '0');
    }
    return 0;
}

uint64_t MillisecondsToFrames(uint64_t ms, int rate) {
    return ms * uint64_t(rate) / 1000;
}
uint64_t FramesToMilliseconds(uint64_t frames, int rate) {
    return rate > 0 ? frames * 1000 / uint64_t(rate) : 0;
}

MCIERROR Answer(const std::string& text, LPSTR out, UINT length) {
    if (!out || length == 0) return 0;
    if (text.size() + 1 > length) {
        out[0] = '\0';
        return MCIERR_PARAM_OVERFLOW;
    }
    std::memcpy(out, text.c_str(), text.size() + 1);
    return 0;
}

bool EndsWithMp3(const std::string& path) {
    return path.size() >= 4 && Lower(path.substr(path.size() - 4)) == ".mp3";
}

// Reads a whole file named by a program path.
MCIERROR ReadMusicFile(const std::string& path, std::vector<unsigned char>& bytes) {
    std::string resolved;
    if (!HostResolvePath(path.c_str(), resolved, false)) return MCIERR_FILE_NOT_FOUND;
    FILE* file = std::fopen(resolved.c_str(), "rb");
    if (!file) return MCIERR_FILE_NOT_FOUND;
    unsigned char chunk[65536];
    MCIERROR result = 0;
    for (;;) {
        size_t got = std::fread(chunk, 1, sizeof chunk, file);
        if (bytes.size() + got > kMaxMusicBytes) {
            result = MCIERR_OUT_OF_MEMORY;
            break;
        }
        bytes.insert(bytes.end(), chunk, chunk + got);
        if (got < sizeof chunk) {
            if (std::ferror(file)) result = MCIERR_INVALID_FILE;
            break;
        }
    }
    std::fclose(file);
    return result;
}

MCIERROR OpenDevice(MciState& state, const Command& command, MCIDEVICEID& id) {
    if (command.words.empty()) return MCIERR_MISSING_PARAMETER;
    std::string path = command.words[0];
    std::string name = path;
    std::string type;
    for (size_t i = 1; i < command.words.size(); ++i) {
        std::string keyword = Lower(command.words[i]);
        if (keyword == "shareable") continue;
        if (keyword != "alias" && keyword != "type") return MCIERR_UNRECOGNIZED_KEYWORD;
        if (i + 1 >= command.words.size()) return MCIERR_MISSING_PARAMETER;
        (keyword == "alias" ? name : type) = command.words[++i];
    }
    if (!type.empty() && Lower(type) != "mpegvideo") return MCIERR_INVALID_DEVICE_NAME;
    if (type.empty() && !EndsWithMp3(path)) return MCIERR_EXTENSION_NOT_FOUND;
    std::string key = Lower(name);
    if (key == "all") return MCIERR_DUPLICATE_ALIAS;
    if (state.devices.count(key)) return MCIERR_DUPLICATE_ALIAS;

    std::vector<unsigned char> bytes;
    if (MCIERROR error = ReadMusicFile(path, bytes)) return error;
    auto decoder = std::make_unique<HostMp3Decoder>(std::move(bytes));
    if (!decoder->Open()) return MCIERR_INVALID_FILE;
    if (!HostMixerAcquire()) return MCIERR_HARDWARE;
    id = state.nextId++;
    state.devices[key] = Device{id, std::make_unique<HostMusicVoice>(std::move(decoder), id)};
    return 0;
}

void CloseDevice(Device& device) {
    {
        std::lock_guard<std::mutex> mixer(HostMixerLock());
        device.voice->Stop();
    }
    device.voice.reset();
    HostMixerRelease();
}

MCIERROR CloseDevices(MciState& state, const Command& command, MCIDEVICEID& id) {
    if (command.words.size() != 1)
        return command.words.empty() ? MCIERR_MISSING_DEVICE_NAME : MCIERR_UNRECOGNIZED_KEYWORD;
    std::string key = Lower(command.words[0]);
    if (key == "all") {
        for (auto& [name, device] : state.devices)
            CloseDevice(device);
        state.devices.clear();
        id = 0;
        return 0;
    }
    auto found = state.devices.find(key);
    if (found == state.devices.end()) return MCIERR_INVALID_DEVICE_NAME;
    id = found->second.id;
    CloseDevice(found->second);
    state.devices.erase(found);
    return 0;
}

MCIERROR PlayDevice(Device& device, const std::vector<std::string>& options, HWND notifyWindow) {
    HostMusicVoice& voice = *device.voice;
    uint64_t fromMs = HostMusicVoice::NO_FRAME;
    uint64_t toMs = HostMusicVoice::NO_FRAME;
    for (size_t i = 0; i < options.size(); ++i) {
        std::string keyword = Lower(options[i]);
        if (keyword != "from" && keyword != "to") return MCIERR_UNRECOGNIZED_KEYWORD;
        if (i + 1 >= options.size()) return MCIERR_MISSING_PARAMETER;
        if (MCIERROR error = ParseMilliseconds(options[++i], keyword == "from" ? fromMs : toMs)) return error;
    }
    std::lock_guard<std::mutex> mixer(HostMixerLock());
    int rate = voice.Rate();
    uint64_t length = voice.LengthFrames();
    uint64_t from = fromMs == HostMusicVoice::NO_FRAME ? fromMs : MillisecondsToFrames(fromMs, rate);
    uint64_t to = toMs == HostMusicVoice::NO_FRAME ? toMs : MillisecondsToFrames(toMs, rate);
    if (from != HostMusicVoice::NO_FRAME && from > length) return MCIERR_OUTOFRANGE;
    if (to != HostMusicVoice::NO_FRAME) {
        uint64_t start = from != HostMusicVoice::NO_FRAME ? from : voice.PositionFrames();
        if (to > length || to < start) return MCIERR_OUTOFRANGE;
    }
    voice.Play(from, to, notifyWindow);
    return 0;
}

MCIERROR SeekDevice(Device& device, const std::vector<std::string>& options) {
    if (options.size() != 2 || Lower(options[0]) != "to") {
        return options.size() < 2 ? MCIERR_MISSING_PARAMETER : MCIERR_UNRECOGNIZED_KEYWORD;
    }
    std::lock_guard<std::mutex> mixer(HostMixerLock());
    HostMusicVoice& voice = *device.voice;
    std::string where = Lower(options[1]);
    uint64_t frame = 0;
    if (where == "end") {
        frame = voice.LengthFrames();
    } else if (where != "start") {
        uint64_t ms = 0;
        if (MCIERROR error = ParseMilliseconds(where, ms)) return error;
        frame = MillisecondsToFrames(ms, voice.Rate());
        if (frame > voice.LengthFrames()) return MCIERR_OUTOFRANGE;
    }
    voice.Seek(frame);
    return 0;
}

MCIERROR StatusDevice(Device& device, const std::vector<std::string>& options, std::string& answer) {
    if (options.size() != 1) return options.empty() ? MCIERR_MISSING_PARAMETER : MCIERR_UNRECOGNIZED_KEYWORD;
    std::lock_guard<std::mutex> mixer(HostMixerLock());
    HostMusicVoice& voice = *device.voice;
    std::string item = Lower(options[0]);
    if (item == "mode")
        answer = voice.Mode();
    else if (item == "position")
        answer = std::to_string(FramesToMilliseconds(voice.PositionFrames(), voice.Rate()));
    else if (item == "length")
        answer = std::to_string(FramesToMilliseconds(voice.LengthFrames(), voice.Rate()));
    else
        return MCIERR_UNRECOGNIZED_KEYWORD;
    return 0;
}

// The commands that name one open device: play, stop, pause, resume, seek, status.
MCIERROR DeviceCommand(MciState& state, const Command& command, HWND callback, MCIDEVICEID& id,
                       std::string& answer, bool& noticeLater) {
    if (command.words.empty()) return MCIERR_MISSING_DEVICE_NAME;
    auto found = state.devices.find(Lower(command.words[0]));
    if (found == state.devices.end()) return MCIERR_INVALID_DEVICE_NAME;
    Device& device = found->second;
    id = device.id;
    std::vector<std::string> options(command.words.begin() + 1, command.words.end());
    if (command.verb == "play") {
        noticeLater = true;
        return PlayDevice(device, options, command.notify ? callback : nullptr);
    }
    if (command.verb == "seek") return SeekDevice(device, options);
    if (command.verb == "status") return StatusDevice(device, options, answer);
    if (!options.empty()) return MCIERR_UNRECOGNIZED_KEYWORD;
    std::lock_guard<std::mutex> mixer(HostMixerLock());
    if (command.verb == "stop")
        device.voice->Stop();
    else if (command.verb == "pause")
        device.voice->Pause();
    else
        device.voice->Resume();
    return 0;
}

MCIERROR RunCommand(const Command& command, HWND callback, MCIDEVICEID& id, std::string& answer,
                    bool& noticeLater) {
    MciState& state = State();
    std::lock_guard<std::mutex> guard(state.lock);
    if (command.verb == "open") return OpenDevice(state, command, id);
    if (command.verb == "close") return CloseDevices(state, command, id);
    static const char* const kDeviceVerbs[] = {"play", "stop", "pause", "resume", "seek", "status"};
    for (const char* verb : kDeviceVerbs)
        if (command.verb == verb) return DeviceCommand(state, command, callback, id, answer, noticeLater);
    return MCIERR_UNRECOGNIZED_COMMAND;
}

} // namespace

MCIERROR mciSendStringA(LPCSTR text, LPSTR returnText, UINT returnLength, HWND callback) {
    if (returnText && returnLength > 0) returnText[0] = '\0';
    if (!text) return MCIERR_UNRECOGNIZED_COMMAND;
    std::vector<std::string> words = Tokenize(text);
    if (words.empty()) return MCIERR_UNRECOGNIZED_COMMAND;
    Command command;
    command.verb = Lower(words[0]);
    command.words.assign(words.begin() + 1, words.end());
    // "notify" may stand anywhere after the device name; every other word keeps its place.
    for (size_t i = 1; i < command.words.size();) {
        if (Lower(command.words[i]) == "notify") {
            command.notify = true;
            command.words.erase(command.words.begin() + long(i));
        } else {
            ++i;
        }
    }
    MCIDEVICEID id = 0;
    std::string answer;
    bool noticeLater = false;
    MCIERROR error = RunCommand(command, callback, id, answer, noticeLater);
    if (error) return error;
    error = Answer(answer, returnText, returnLength);
    if (error) return error;
    if (command.notify && callback && !noticeLater)
        PostMessageA(callback, MM_MCINOTIFY, MCI_NOTIFY_SUCCESSFUL, LPARAM(id));
    return 0;
}
