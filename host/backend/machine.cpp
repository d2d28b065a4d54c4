// The emulated machine: defaults, the machine file, and the screen mode the programs see.
#include "host/backend/machine.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <optional>
#include <sstream>

#include "host/backend/backend.h"
#include "host/base/record.h"

namespace {

const int kMaxDimension = 16384;
const std::streamsize kMaxMachineFileBytes = 1 << 20;

std::mutex g_lock;
bool g_loaded = false;
HostMachine g_machine;
std::optional<HostScreenMode> g_screenMode; // set while a program holds a display mode

std::string Trim(const std::string& text) {
    size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) return "";
    size_t last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

std::string Lower(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

bool ParseBool(const std::string& value, bool& out) {
    std::string v = Lower(value);
    if (v == "1" || v == "yes" || v == "true" || v == "on") return out = true, true;
    if (v == "0" || v == "no" || v == "false" || v == "off") return out = false, true;
    return false;
}

// A whole non-negative decimal number within limit.
bool ParseNumber(const std::string& text, unsigned long long limit, unsigned long long& out) {
    if (text.empty() || text.size() > 12) return false;
    unsigned long long value = 0;
    for (char c : text) {
        if (!std::isdigit(static_cast<unsigned char>(c))) return false;
        value = value * 10 + static_cast<unsigned>(c - '0');
    }
    if (value > limit) return false;
    out = value;
    return true;
}

// Bytes, with an optional K or M suffix (1024-based).
bool ParseBytes(const std::string& value, unsigned& out) {
    std::string digits = value;
    unsigned long long scale = 1;
    if (!digits.empty() && (digits.back() == 'K' || digits.back() == 'k')) scale = 1024;
    if (!digits.empty() && (digits.back() == 'M' || digits.back() == 'm')) scale = 1024 * 1024;
    if (scale != 1) digits = Trim(digits.substr(0, digits.size() - 1));
    unsigned long long number;
    if (!ParseNumber(digits, 0xFFFFFFFFull, number) || number * scale > 0xFFFFFFFFull) return false;
    out = static_cast<unsigned>(number * scale);
    return true;
}

bool ValidDepth(unsigned long long bits) {
    return bits == 8 || bits == 15 || bits == 16 || bits == 24 || bits == 32;
}

// "WIDTHxHEIGHTxBITS".
bool ParseMode(const std::string& text, HostDisplayMode& mode) {
    std::string parts[3];
    size_t start = 0;
    for (int i = 0; i < 3; ++i) {
        size_t end = i < 2 ? Lower(text).find('x', start) : text.size();
        if (end == std::string::npos) return false;
        parts[i] = text.substr(start, end - start);
        start = end + 1;
    }
    unsigned long long width, height, bits;
    if (!ParseNumber(parts[0], kMaxDimension, width) || !ParseNumber(parts[1], kMaxDimension, height) ||
        !ParseNumber(parts[2], 32, bits) || width == 0 || height == 0 || !ValidDepth(bits))
        return false;
    mode = HostDisplayMode{static_cast<int>(width), static_cast<int>(height), static_cast<int>(bits)};
    return true;
}

bool ParseModeList(const std::string& value, std::vector<HostDisplayMode>& modes, std::string& bad) {
    std::vector<HostDisplayMode> parsed;
    std::string item;
    std::istringstream words(value);
    while (words >> item) {
        std::istringstream pieces(item);
        std::string piece;
        while (std::getline(pieces, piece, ',')) {
            if (piece.empty()) continue;
            HostDisplayMode mode;
            if (!ParseMode(piece, mode)) {
                bad = piece;
                return false;
            }
            parsed.push_back(mode);
        }
    }
    modes = parsed;
    return true;
}

// Applies one "key = value"; message says what is wrong otherwise.
bool ApplySetting(const std::string& key, const std::string& value, HostMachine& machine,
                  std::string& message) {
    bool flag;
    unsigned long long number;
    if (key == "desktop") {
        HostDisplayMode mode;
        if (!ParseMode(value, mode))
            return message = "desktop wants WIDTHxHEIGHTxBITS, not '" + value + "'", false;
        machine.desktopWidth = mode.width;
        machine.desktopHeight = mode.height;
        machine.desktopBitsPerPixel = mode.bitsPerPixel;
        return true;
    }
    if (key == "modes") {
        std::string bad;
        if (!ParseModeList(value, machine.displayModes, bad))
            return message = "modes wants WIDTHxHEIGHTxBITS items, not '" + bad + "'", false;
        return true;
    }
    if (key == "video_memory" || key == "video_memory_free") {
        unsigned bytes;
        if (!ParseBytes(value, bytes))
            return message = key + " wants bytes (suffix K or M allowed), not '" + value + "'", false;
        (key == "video_memory" ? machine.videoMemoryTotal : machine.videoMemoryFree) = bytes;
        return true;
    }
    if (key == "joysticks") {
        if (!ParseNumber(value, 16, number))
            return message = "joysticks wants 0 to 16, not '" + value + "'", false;
        machine.joysticks = static_cast<int>(number);
        return true;
    }
    bool* target = key == "pixels555"                  ? &machine.pixels555
                   : key == "hardware_3d"              ? &machine.hardware3D
                   : key == "software_3d"              ? &machine.software3D
                   : key == "palettised_8bit_textures" ? &machine.palettised8BitTextures
                   : key == "audio"                    ? &machine.audioDevice
                                                       : nullptr;
    if (!target) return message = "unknown key '" + key + "'", false;
    if (!ParseBool(value, flag)) return message = key + " wants yes or no, not '" + value + "'", false;
    *target = flag;
    return true;
}

HostMachine LoadMachine() {
    HostMachine machine = HostDefaultMachine();
    if (HostIsHeadless()) {
        const char* path = std::getenv("HOST_MACHINE");
        if (path && *path) {
            std::string message;
            if (!HostLoadMachineFile(path, machine, message)) {
                // A test that names a machine must get that machine, not a silent default.
                std::fprintf(stderr, "HOST_MACHINE: %s\n", message.c_str());
                std::fflush(stderr);
                std::_Exit(1);
            }
        }
        return machine;
    }
    int width = 0, height = 0;
    const HostBackend& backend = HostGetBackend();
    if (backend.desktopSize && backend.desktopSize(&width, &height) && width > 0 && height > 0) {
        machine.desktopWidth = std::min(width, kMaxDimension);
        machine.desktopHeight = std::min(height, kMaxDimension);
        bool listed = false;
        for (const HostDisplayMode& mode : machine.displayModes)
            listed |= mode.width == machine.desktopWidth && mode.height == machine.desktopHeight &&
                      mode.bitsPerPixel == 16;
        if (!listed) machine.displayModes.push_back({machine.desktopWidth, machine.desktopHeight, 16});
    }
    return machine;
}

} // namespace

HostMachine HostDefaultMachine() {
    HostMachine machine;
    const int sizes[][2] = {{640, 480}, {800, 600}, {1024, 768}};
    for (const auto& size : sizes) {
        for (int bits : {8, 16, 32})
            machine.displayModes.push_back({size[0], size[1], bits});
    }
    machine.displayModes.push_back({1280, 1024, 16});
    machine.displayModes.push_back({1280, 1024, 32});
    return machine;
}

const HostMachine& HostGetMachine() {
    {
        std::lock_guard<std::mutex> guard(g_lock);
        if (g_loaded) return g_machine;
    }
    HostMachine loaded = LoadMachine(); // outside the lock: the sdl backend may start here
    std::lock_guard<std::mutex> guard(g_lock);
    if (!g_loaded) {
        g_machine = loaded;
        g_loaded = true;
    }
    return g_machine;
}

void HostSetMachine(const HostMachine& machine) {
    std::lock_guard<std::mutex> guard(g_lock);
    g_machine = machine;
    g_loaded = true;
    g_screenMode.reset();
}

bool HostParseMachineText(const std::string& text, HostMachine& machine, std::string& message) {
    HostMachine result = machine;
    std::istringstream lines(text);
    std::string line;
    int number = 0;
    while (std::getline(lines, line)) {
        ++number;
        line = Trim(line);
        if (line.empty() || line[0] == '#' || line[0] == ';') continue;
        size_t equals = line.find('=');
        std::string problem;
        if (equals == std::string::npos) {
            problem = "expected 'key = value'";
        } else {
            ApplySetting(Lower(Trim(line.substr(0, equals))), Trim(line.substr(equals + 1)), result, problem);
        }
        if (!problem.empty()) {
            message = "line " + std::to_string(number) + ": " + problem;
            return false;
        }
    }
    if (result.videoMemoryFree > result.videoMemoryTotal) {
        message = "video_memory_free is larger than video_memory";
        return false;
    }
    machine = result;
    return true;
}

bool HostLoadMachineFile(const char* path, HostMachine& machine, std::string& message) {
    if (!path) return message = "no machine file named", false;
    std::ifstream file(path, std::ios::binary);
    if (!file) return message = std::string(path) + ": cannot open", false;
    std::string text(static_cast<size_t>(kMaxMachineFileBytes) + 1, '\0');
    file.read(text.data(), kMaxMachineFileBytes + 1);
    if (file.gcount() > kMaxMachineFileBytes) return message = std::string(path) + ": file too large", false;
    text.resize(static_cast<size_t>(file.gcount()));
    if (text.find('\0') != std::string::npos) return message = std::string(path) + ": not a text file", false;
    std::string problem;
    if (!HostParseMachineText(text, machine, problem))
        return message = std::string(path) + " " + problem, false;
    return true;
}

HostScreenMode HostGetScreenMode() {
    const HostMachine& machine = HostGetMachine();
    std::lock_guard<std::mutex> guard(g_lock);
    if (g_screenMode) return *g_screenMode;
    return HostScreenMode{machine.desktopWidth, machine.desktopHeight, machine.desktopBitsPerPixel};
}

void HostSetScreenMode(int width, int height, int bitsPerPixel) {
    std::lock_guard<std::mutex> guard(g_lock);
    g_screenMode = HostScreenMode{width, height, bitsPerPixel};
}

void HostRestoreScreenMode() {
    std::lock_guard<std::mutex> guard(g_lock);
    g_screenMode.reset();
}
