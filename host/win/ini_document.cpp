#include "host/win/ini_document.h"

#include "host/win/path_names.h"

namespace {

const char* const kBlanks = " \t\r\v\f";

std::string Trim(const std::string& text) {
    size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string::npos) return std::string();
    size_t last = text.find_last_not_of(kBlanks);
    return text.substr(first, last - first + 1);
}

bool IsBlank(const std::string& text) {
    return text.find_first_not_of(kBlanks) == std::string::npos;
}

std::string WithoutLineBreaks(std::string text) {
    for (char& c : text)
        if (c == '\r' || c == '\n') c = ' ';
    return text;
}

void AddOnce(std::vector<std::string>& names, const std::string& name) {
    for (const std::string& known : names)
        if (HostNamesEqualNoCase(known, name)) return;
    names.push_back(name);
}

} // namespace

IniDocument::IniDocument(const std::string& text) {
    size_t start = 0;
    bool lineEndSeen = false;
    // A byte-order mark before the first line is kept in the text but not part of any name.
    size_t parseFrom = text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        bool lastLine = end == std::string::npos;
        if (lastLine) end = text.size();
        std::string raw = text.substr(start, end - start);
        bool crlf = !raw.empty() && raw.back() == '\r';
        if (crlf) raw.pop_back();
        if (!lastLine && !lineEndSeen) {
            lineEnd_ = crlf ? "\r\n" : "\n";
            lineEndSeen = true;
        }
        Line line = ParseLine(start == 0 ? raw.substr(std::min(parseFrom, raw.size())) : raw);
        line.text = raw;
        lines_.push_back(std::move(line));
        start = end + 1;
    }
}

IniDocument::Line IniDocument::ParseLine(const std::string& text) {
    Line line;
    line.text = text;
    std::string trimmed = Trim(text);
    if (trimmed.empty() || trimmed[0] == ';') return line;
    if (trimmed[0] == '[') {
        size_t close = trimmed.find(']');
        line.kind = Kind::Section;
        line.name = Trim(trimmed.substr(1, close == std::string::npos ? std::string::npos : close - 1));
        return line;
    }
    size_t equals = trimmed.find('=');
    if (equals == std::string::npos) return line;
    line.kind = Kind::Key;
    line.name = Trim(trimmed.substr(0, equals));
    line.value = Trim(trimmed.substr(equals + 1));
    return line;
}

IniDocument::Line IniDocument::MakeKeyLine(const std::string& key, const std::string& value) {
    return ParseLine(key + "=" + WithoutLineBreaks(value));
}

std::vector<bool> IniDocument::MembershipOf(const std::string& sectionName) const {
    std::string section = Trim(sectionName);
    std::vector<bool> inside(lines_.size(), false);
    bool current = false;
    for (size_t i = 0; i < lines_.size(); ++i) {
        if (lines_[i].kind == Kind::Section) {
            current = HostNamesEqualNoCase(lines_[i].name, section);
            continue;
        }
        inside[i] = current;
    }
    return inside;
}

bool IniDocument::Find(const std::string& section, const std::string& keyName, std::string& value) const {
    std::string key = Trim(keyName);
    std::vector<bool> inside = MembershipOf(section);
    for (size_t i = 0; i < lines_.size(); ++i) {
        if (inside[i] && lines_[i].kind == Kind::Key && HostNamesEqualNoCase(lines_[i].name, key)) {
            value = lines_[i].value;
            return true;
        }
    }
    return false;
}

std::vector<std::string> IniDocument::SectionNames() const {
    std::vector<std::string> names;
    for (const Line& line : lines_)
        if (line.kind == Kind::Section) AddOnce(names, line.name);
    return names;
}

std::vector<std::string> IniDocument::KeyNames(const std::string& section) const {
    std::vector<std::string> names;
    std::vector<bool> inside = MembershipOf(section);
    for (size_t i = 0; i < lines_.size(); ++i)
        if (inside[i] && lines_[i].kind == Kind::Key) AddOnce(names, lines_[i].name);
    return names;
}

void IniDocument::Set(const std::string& sectionName, const std::string& keyName, const std::string& value) {
    std::string section = Trim(sectionName), key = Trim(keyName);
    std::vector<bool> inside = MembershipOf(section);
    for (size_t i = 0; i < lines_.size(); ++i) {
        if (inside[i] && lines_[i].kind == Kind::Key && HostNamesEqualNoCase(lines_[i].name, key)) {
            lines_[i] = MakeKeyLine(lines_[i].name, value);
            return;
        }
    }
    // Into the first block of the section, after its last non-blank line (blank separators stay below).
    for (size_t i = 0; i < lines_.size(); ++i) {
        if (lines_[i].kind != Kind::Section || !HostNamesEqualNoCase(lines_[i].name, section)) continue;
        size_t insertAt = i + 1;
        for (size_t j = i + 1; j < lines_.size() && lines_[j].kind != Kind::Section; ++j)
            if (!IsBlank(lines_[j].text)) insertAt = j + 1;
        lines_.insert(lines_.begin() + insertAt, MakeKeyLine(key, value));
        return;
    }
    if (!lines_.empty() && !IsBlank(lines_.back().text)) lines_.push_back(ParseLine(""));
    lines_.push_back(ParseLine("[" + section + "]"));
    lines_.push_back(MakeKeyLine(key, value));
}

bool IniDocument::DeleteKey(const std::string& section, const std::string& keyName) {
    std::string key = Trim(keyName);
    std::vector<bool> inside = MembershipOf(section);
    std::vector<Line> kept;
    for (size_t i = 0; i < lines_.size(); ++i) {
        if (inside[i] && lines_[i].kind == Kind::Key && HostNamesEqualNoCase(lines_[i].name, key)) continue;
        kept.push_back(std::move(lines_[i]));
    }
    bool removed = kept.size() != lines_.size();
    lines_ = std::move(kept);
    return removed;
}

bool IniDocument::DeleteSection(const std::string& sectionName) {
    std::string section = Trim(sectionName);
    std::vector<bool> inside = MembershipOf(section);
    std::vector<Line> kept;
    for (size_t i = 0; i < lines_.size(); ++i) {
        bool header = lines_[i].kind == Kind::Section && HostNamesEqualNoCase(lines_[i].name, section);
        if (header || inside[i]) continue;
        kept.push_back(std::move(lines_[i]));
    }
    bool removed = kept.size() != lines_.size();
    lines_ = std::move(kept);
    return removed;
}

std::string IniDocument::Text() const {
    std::string text;
    for (const Line& line : lines_) {
        text += line.text;
        text += lineEnd_;
    }
    return text;
}
