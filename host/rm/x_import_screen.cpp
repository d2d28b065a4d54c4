#include "host/rm/x_import_screen.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace {

// The importer believes the counts a file gives (vertices, faces, list sizes) and allocates for them
// before reading the elements. No count of a sound file exceeds the number of its bytes, and a file's
// other integers (indices, flags, times) stay small: any integer above the bound marks a file the
// importer must not see.
uint64_t CountBound(size_t size) {
    return std::max<uint64_t>(size, 65536);
}

bool IsDigit(uint8_t c) {
    return c >= '0' && c <= '9';
}

bool IsWordByte(uint8_t c) {
    return IsDigit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == '.' ||
           c == '-' || c == '+';
}

// Whether the bytes [from, to) hold no integer (a digit run that is not part of a name or a real number)
// above the bound or below zero; the byte before from is not part of a word.
bool IntegersWithinBound(const uint8_t* data, size_t from, size_t to, uint64_t bound) {
    for (size_t at = from; at < to;) {
        uint8_t c = data[at];
        bool afterWord = at > from && IsWordByte(data[at - 1]);
        bool negative = c == '-' && at + 1 < to && IsDigit(data[at + 1]) && !afterWord;
        if (negative) {
            ++at; // a negative integer is a huge count to the importer
            c = data[at];
        }
        if (!IsDigit(c) || (!negative && afterWord)) {
            ++at;
            continue;
        }
        uint64_t value = 0;
        while (at < to && IsDigit(data[at])) {
            value = std::min<uint64_t>(value * 10 + (data[at++] - '0'), bound + 1);
        }
        bool real = at < to && (data[at] == '.' || data[at] == 'e' || data[at] == 'E');
        if (!real && (value > bound || (negative && value > 0))) return false;
    }
    return true;
}

uint32_t ReadWord(const uint8_t* at) {
    return uint32_t(at[0]) | uint32_t(at[1]) << 8 | uint32_t(at[2]) << 16 | uint32_t(at[3]) << 24;
}

// Binary form: only known tokens, every integer and integer list within the bound, every list and name
// within the file.
bool BinaryCountsPlausible(const uint8_t* data, size_t size, size_t floatBytes) {
    uint64_t bound = CountBound(size);
    size_t at = 16;
    auto left = [&] { return size - at; };
    while (left() >= 2) {
        unsigned token = data[at] | data[at + 1] << 8;
        at += 2;
        if (token == 1 || token == 2 || token == 6 || token == 7) { // name, string, integer and real lists
            if (left() < 4) return false;
            uint64_t count = ReadWord(data + at);
            at += 4;
            uint64_t bytes =
                token <= 2 ? count + (token == 2 ? 2 : 0) : count * (token == 6 ? 4 : floatBytes);
            if (bytes > left()) return false;
            if (token == 6)
                for (uint64_t i = 0; i < count; ++i)
                    if (ReadWord(data + at + 4 * i) > bound) return false;
            at += bytes;
        } else if (token == 3) { // one integer
            if (left() < 4 || ReadWord(data + at) > bound) return false;
            at += 4;
        } else if (token == 5) { // a GUID
            if (left() < 16) return false;
            at += 16;
        } else if (!(token >= 10 && token <= 20) && !(token >= 0x28 && token <= 0x37)) {
            return false; // not a token: the importer would take its bytes for a number
        }
    }
    return true;
}

// The outline of a file's objects: names, braces, and everything else as one kind.
struct OutlineToken {
    enum Kind { kName, kOpen, kClose, kOther } kind;
    std::string_view name; // into the file's bytes
};

bool IsSpace(uint8_t c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

bool IsPunctuation(uint8_t c) {
    return c == '{' || c == '}' || c == ';' || c == ',';
}

bool IsNumber(std::string_view word) {
    return !word.empty() && std::all_of(word.begin(), word.end(), [](char c) { return IsDigit(uint8_t(c)); });
}

// Every material list holds at least one material, and nothing but its numbers, materials and references
// to them.
// (The importer crashes on a list whose faces name a material it holds none of, which is what a list
// of only other objects becomes.)
bool MaterialListsSound(const std::vector<OutlineToken>& tokens) {
    auto isName = [&](size_t i, const char* name) {
        return tokens[i].kind == OutlineToken::kName && (!name || tokens[i].name == name);
    };
    for (size_t i = 0; i + 1 < tokens.size(); ++i) {
        if (!isName(i, "MeshMaterialList") || tokens[i + 1].kind != OutlineToken::kOpen) continue;
        int depth = 0, materials = 0;
        for (size_t j = i + 1; j < tokens.size(); ++j) {
            if (tokens[j].kind == OutlineToken::kClose && --depth == 0) break;
            // In the list itself: numbers, and material headers ("Material" and an optional name).
            if (depth == 1 && isName(j, nullptr) && !IsNumber(tokens[j].name) && !isName(j, "Material") &&
                !(isName(j - 1, "Material") && j + 1 < tokens.size() &&
                  tokens[j + 1].kind == OutlineToken::kOpen))
                return false;
            if (tokens[j].kind != OutlineToken::kOpen || ++depth != 2) continue;
            bool material =
                isName(j - 1, "Material") || (isName(j - 1, nullptr) && isName(j - 2, "Material"));
            bool reference = !isName(j - 1, nullptr);
            if (!material && !reference) return false;
            ++materials;
        }
        if (materials == 0) return false;
    }
    return true;
}

// Collects the tokens of each material list (from its name to its closing brace) as an outline is read
// and checks each list when it ends; the rest of the file is not kept.
class MaterialListCheck {
  public:
    void Add(OutlineToken::Kind kind, std::string_view name = {}) {
        OutlineToken token{kind, name};
        if (list_.empty()) {
            if (kind == OutlineToken::kOpen && last_.kind == OutlineToken::kName &&
                last_.name == "MeshMaterialList") {
                list_ = {last_, token};
                depth_ = 1;
            }
            last_ = token;
            return;
        }
        list_.push_back(token);
        if (kind == OutlineToken::kOpen) ++depth_;
        if (kind == OutlineToken::kClose && --depth_ == 0) EndList();
    }

    // Whether every list was sound (a list the file leaves open included).
    bool Sound() {
        if (!list_.empty()) EndList();
        return sound_;
    }

  private:
    void EndList() {
        sound_ = sound_ && MaterialListsSound(list_);
        list_.clear();
        last_ = {OutlineToken::kClose, {}};
    }

    OutlineToken last_{OutlineToken::kOther, {}};
    std::vector<OutlineToken> list_;
    int depth_ = 0;
    bool sound_ = true;
};

// Calls take(kind, from, to) for each token of the text form, as the importer reads them: words (up to
// white space or punctuation), braces, and as others separators and quoted strings (from, to: the
// string's inside); "#" and "//" comments are skipped.
template <class Take> void TextTokens(const uint8_t* data, size_t size, Take take) {
    for (size_t at = 16; at < size;) {
        uint8_t c = data[at];
        if (c == '#' || (c == '/' && at + 1 < size && data[at + 1] == '/')) {
            while (at < size && data[at] != '\n')
                ++at;
        } else if (c == '"') {
            size_t start = ++at;
            while (at < size && data[at] != '"')
                ++at;
            take(OutlineToken::kOther, start, at);
            ++at;
        } else if (IsSpace(c)) {
            ++at;
        } else if (IsPunctuation(c)) {
            ++at;
            take(c == '{'   ? OutlineToken::kOpen
                 : c == '}' ? OutlineToken::kClose
                            : OutlineToken::kOther,
                 at - 1, at);
        } else {
            size_t start = at;
            while (at < size && !IsSpace(data[at]) && !IsPunctuation(data[at]) && data[at] != '"')
                ++at;
            take(OutlineToken::kName, start, at);
        }
    }
}

// Which numbers directly in an object the importer reads as reals: none, all, or those after a leading
// count of `stride`-wide elements (vertices, normals, texture coordinates); the rest are counts and
// indices (or skipped).
struct RealRun {
    enum Kind { kNone, kAll, kAfterCount } kind = kNone;
    uint64_t stride = 0;
};

RealRun RealRunOf(std::string_view object) {
    if (object == "Material" || object == "FrameTransformMatrix") return {RealRun::kAll, 0};
    if (object == "Mesh" || object == "MeshNormals") return {RealRun::kAfterCount, 3};
    if (object == "MeshTextureCoords") return {RealRun::kAfterCount, 2};
    return {};
}

// The count a word starting with digits gives the importer, at most bound + 1.
uint64_t LeadingCount(std::string_view word, uint64_t bound) {
    uint64_t value = 0;
    for (size_t i = 0; i < word.size() && IsDigit(uint8_t(word[i])); ++i)
        value = std::min<uint64_t>(value * 10 + (word[i] - '0'), bound + 1);
    return value;
}

// Text form: every integer the importer may read as a count or an index is within the bound and not
// negative. Numbers it reads as reals (coordinates, colours, matrices) may be any: integers are common
// there. An object's kind is the word before its brace, or the one before that when it is named.
// Strings are checked whole, as the importer takes them for words where it expects numbers.
bool TextCountsPlausible(const uint8_t* data, size_t size) {
    uint64_t bound = CountBound(size);
    struct Open {
        RealRun reals;
        uint64_t words = 0, realsEnd = 0; // words directly in the object; the one after its reals
    };
    std::vector<Open> open;
    std::string_view last, beforeLast; // the last two words, empty where something else came between
    bool plausible = true;
    TextTokens(data, size, [&](OutlineToken::Kind kind, size_t from, size_t to) {
        std::string_view word;
        if (kind == OutlineToken::kName) word = {reinterpret_cast<const char*>(data) + from, to - from};
        bool separator =
            kind == OutlineToken::kOther && from < to && (data[from] == ';' || data[from] == ',');
        if (kind == OutlineToken::kOpen) {
            open.push_back({RealRunOf(beforeLast.empty() ? last : beforeLast)});
        } else if (kind == OutlineToken::kClose) {
            if (!open.empty()) open.pop_back();
        } else if (!separator) {
            bool real = false;
            if (!open.empty()) {
                Open& in = open.back();
                uint64_t index = in.words++;
                bool count = in.reals.kind == RealRun::kAfterCount && index == 0 && !word.empty() &&
                             IsDigit(uint8_t(word[0]));
                if (count) in.realsEnd = 1 + LeadingCount(word, bound) * in.reals.stride;
                real = in.reals.kind == RealRun::kAll || (index >= 1 && index < in.realsEnd);
            }
            if (!real && !IntegersWithinBound(data, from, to, bound)) plausible = false;
        }
        beforeLast = kind == OutlineToken::kName && !last.empty() ? last : std::string_view();
        last = word;
    });
    return plausible;
}

void TextOutline(const uint8_t* data, size_t size, MaterialListCheck& out) {
    TextTokens(data, size, [&](OutlineToken::Kind kind, size_t from, size_t to) {
        out.Add(kind, kind == OutlineToken::kName
                          ? std::string_view(reinterpret_cast<const char*>(data) + from, to - from)
                          : std::string_view());
    });
}

// The binary form's outline; the tokens are known to be whole (BinaryCountsPlausible).
void BinaryOutline(const uint8_t* data, size_t size, size_t floatBytes, MaterialListCheck& out) {
    for (size_t at = 16; at + 2 <= size;) {
        unsigned token = data[at] | data[at + 1] << 8;
        at += 2;
        if (token == 1 || token == 2 || token == 6 || token == 7) {
            uint64_t count = ReadWord(data + at);
            at += 4;
            uint64_t bytes =
                token <= 2 ? count + (token == 2 ? 2 : 0) : count * (token == 6 ? 4 : floatBytes);
            if (token == 1)
                out.Add(OutlineToken::kName,
                        std::string_view(reinterpret_cast<const char*>(data) + at, count));
            else
                out.Add(OutlineToken::kOther);
            at += bytes;
        } else if (token == 10 || token == 11) {
            out.Add(token == 10 ? OutlineToken::kOpen : OutlineToken::kClose);
        } else {
            at += token == 3 ? 4 : token == 5 ? 16 : 0;
            out.Add(OutlineToken::kOther);
        }
    }
}

} // namespace

bool HostRMXPlausible(const uint8_t* data, size_t size) {
    if (size < 16) return false;
    MaterialListCheck lists;
    if (std::memcmp(data + 8, "txt ", 4) == 0) {
        if (!TextCountsPlausible(data, size)) return false;
        TextOutline(data, size, lists);
        return lists.Sound();
    }
    size_t floatBytes = std::memcmp(data + 12, "0064", 4) == 0 ? 8 : 4;
    if (std::memcmp(data + 8, "bin ", 4) == 0) {
        if (!BinaryCountsPlausible(data, size, floatBytes)) return false;
        BinaryOutline(data, size, floatBytes, lists);
        return lists.Sound();
    }
    return true;
}
