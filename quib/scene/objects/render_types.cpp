#include "quib/scene/objects/render_types.h"

#include <cctype>
#include <cstring>

char RenderTypes[kRenderTypesSize] = "*";
char TextureTypes[kRenderTypesSize] = "*";
int g_SkyTypeEnabled = 1;
float g_DetailFactor = 1.0f;

namespace {

const SwitchDistanceRow SwitchDistanceTable[] = {
    {'?', 1, 3100.0f, 3000.0f, 0, 1},    {'t', 0, 3100.0f, 3000.0f, 0, 1},
    {'m', 0, 3100.0f, 3000.0f, 0, 1},    {'b', 0, 1550.0f, 1500.0f, 0, 1},
    {'f', 0, 1033.3334f, 1000.0f, 0, 1}, {'v', 0, 1033.3334f, 1000.0f, 0, 1},
    {'d', 0, 1033.3334f, 1000.0f, 1, 0}, {'e', 0, 1033.3334f, 1000.0f, 0, 0},
    {'z', 0, 30000.0f, 40000.0f, 0, 1},  {0, 0, 0.0f, 0.0f, 0, 0},
};
const SwitchDistanceRow kDefaultRow = {0, 0, 3100.0f, 3000.0f, 0, 1};
constexpr int kMaxTableRows = 100;

// The frame-rate adjustment's counters and the letters it dropped, last on top.
struct FramerateState {
    int dropFrames = 0;
    int restoreFrames = 0;
    int dropDelay = 1;
    int restoreDelay = 1;
    char dropped[2 * kRenderTypesSize] = {};
    int depth = 0;
};
FramerateState g_Framerate;

// Copies at most size - 1 characters and terminates, so the buffers always hold a string.
void CopyLetters(char (&buffer)[kRenderTypesSize], const char* letters) {
    std::memset(buffer, 0, sizeof buffer);
    if (letters) std::strncpy(buffer, letters, sizeof buffer - 1);
}

int HasLetter(const char* buffer, char type) {
    for (const char* p = buffer; *p; ++p) {
        const char letter = char(std::tolower(static_cast<unsigned char>(*p)));
        if (letter == '*' || letter == type) return 1;
    }
    return 0;
}

// Reads N or P of an object name: one character, and a second when it is a digit. Advances p.
int ReadNameNumber(const char*& p) {
    char digits[3] = {0, 0, 0};
    if (!*p) return 0;
    digits[0] = *p++;
    if (std::isdigit(static_cast<unsigned char>(*p))) digits[1] = *p++;
    int value = 0;
    for (const char* d = digits; std::isdigit(static_cast<unsigned char>(*d)); ++d)
        value = value * 10 + (*d - '0');
    return value;
}

int DropLetter() {
    char* letter = RenderTypes;
    while (*letter && !std::isupper(static_cast<unsigned char>(*letter)))
        ++letter;
    if (!*letter || g_Framerate.depth >= int(sizeof g_Framerate.dropped)) return 0;
    g_Framerate.dropped[g_Framerate.depth++] = *letter;
    std::memmove(letter, letter + 1, std::strlen(letter + 1) + 1);
    return 1;
}

int RestoreLetter() {
    const size_t length = std::strlen(RenderTypes);
    if (g_Framerate.depth == 0 || length + 1 >= sizeof RenderTypes) return 0;
    std::memmove(RenderTypes + 1, RenderTypes, length + 1);
    RenderTypes[0] = g_Framerate.dropped[--g_Framerate.depth];
    return 1;
}

} // namespace

void GetRenderTypeParams(char type, int* flag, float* farDistance, float* nearDistance, int* extra,
                         int* zbuffer) {
    const SwitchDistanceRow* row = &kDefaultRow;
    for (int i = 0; i < kMaxTableRows && SwitchDistanceTable[i].type; ++i) {
        if (SwitchDistanceTable[i].type == type) {
            row = &SwitchDistanceTable[i];
            break;
        }
    }
    if (flag) *flag = row->flag;
    if (farDistance) *farDistance = row->farDistance * g_DetailFactor;
    if (nearDistance) *nearDistance = row->nearDistance * g_DetailFactor;
    if (extra) *extra = row->extra;
    if (zbuffer) *zbuffer = row->zbuffer;
}

void ParseObjectName(const char* name, int* number, int* parent, char* type) {
    *number = 0;
    *parent = 0;
    *type = '?';
    if (!name || name[0] != 't') return;
    const char* p = name + 1;
    const int n = ReadNameNumber(p);
    if (*p == 'p') {
        ++p;
        const int parentNumber = ReadNameNumber(p);
        *number = n;
        *parent = parentNumber;
        *type = char(std::tolower(static_cast<unsigned char>(*p)));
    } else if (p[0] == 'b' && p[1] == 'g') {
        *number = n;
        *parent = -1;
        *type = 'z';
    } else {
        *number = n;
    }
}

int AdjustRenderTypes(float low, float high, float fps) {
    if (fps < low) {
        ++g_Framerate.dropFrames;
        g_Framerate.restoreFrames = 0;
        if (g_Framerate.dropFrames < g_Framerate.dropDelay) return 0;
        g_Framerate.dropFrames = 0;
        return DropLetter();
    }
    if (fps > high) {
        ++g_Framerate.restoreFrames;
        g_Framerate.dropFrames = 0;
        if (g_Framerate.restoreFrames < g_Framerate.restoreDelay) return 0;
        g_Framerate.restoreFrames = 0;
        return RestoreLetter();
    }
    return 0;
}

int QuibSetRenderTypes(char* letters) {
    CopyLetters(RenderTypes, letters);
    g_Framerate.depth = 0;
    g_SkyTypeEnabled = QuibIsRenderType('z');
    return 1;
}

int QuibIsRenderType(char type) {
    return HasLetter(RenderTypes, type);
}

int QuibSetTextureTypes(char* letters) {
    CopyLetters(TextureTypes, letters);
    return 1;
}

int QuibIsTextureType(char type) {
    return HasLetter(TextureTypes, char(std::tolower(static_cast<unsigned char>(type))));
}

void QuibPelkDetailLevel(int level) {
    g_DetailFactor = float(level + 5) / 10.0f;
}

void QuibAutoFramerateAdjustDelays(int dropDelay, int restoreDelay) {
    g_Framerate.dropDelay = dropDelay;
    g_Framerate.restoreDelay = restoreDelay;
}
