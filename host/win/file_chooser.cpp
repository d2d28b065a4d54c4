#include "host/win/file_chooser.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "host/win/path_names.h"
#include "host/win/paths.h"

namespace {

// The longest name the field takes: what a platform path buffer holds.
const size_t kMaxNameLength = 259;

std::string Join(const std::string& folder, const std::string& name) {
    return folder == "/" ? "/" + name : folder + "/" + name;
}

std::string Parent(const std::string& folder) {
    size_t slash = folder.find_last_of('/');
    if (slash == std::string::npos || folder == "/") return "/";
    return slash == 0 ? "/" : folder.substr(0, slash);
}

bool IsFolder(const std::string& path) {
    std::error_code error;
    return std::filesystem::is_directory(path, error);
}

bool IsFile(const std::string& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

std::string Trim(const std::string& text) {
    size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// Ignoring case first, so "b" sorts between "A" and "C"; then by bytes, so the order is total.
bool NameBefore(const std::string& a, const std::string& b) {
    size_t count = std::min(a.size(), b.size());
    for (size_t i = 0; i < count; ++i) {
        char x = HostFoldCase(a[i]), y = HostFoldCase(b[i]);
        if (x != y) return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
    }
    if (a.size() != b.size()) return a.size() < b.size();
    return a < b;
}

bool MatchFrom(const char* name, const char* pattern) {
    const char* starPattern = nullptr; // where to resume after the last '*'
    const char* starName = nullptr;
    while (*name) {
        if (*pattern == '*') {
            starPattern = ++pattern;
            starName = name;
        } else if (*pattern == '?' || (*pattern && HostFoldCase(*pattern) == HostFoldCase(*name))) {
            ++pattern;
            ++name;
        } else if (starPattern) {
            pattern = starPattern; // let the last '*' take one more character
            name = ++starName;
        } else {
            return false;
        }
    }
    while (*pattern == '*')
        ++pattern;
    return *pattern == 0;
}

HostTypedChoice MakeChoice(HostTypedChoice::Kind kind, const std::string& path) {
    HostTypedChoice choice;
    choice.kind = kind;
    choice.path = path;
    return choice;
}

// A path naming a folder: the folder when it exists.
HostTypedChoice FolderChoice(const std::string& full) {
    std::string resolved;
    if (HostResolvePath(full.c_str(), resolved, false) && IsFolder(resolved))
        return MakeChoice(HostTypedChoice::Kind::Folder, resolved);
    return MakeChoice(HostTypedChoice::Kind::BadFolder, "");
}

} // namespace

bool HostHasWildcards(const std::string& text) {
    return text.find_first_of("*?") != std::string::npos;
}

bool HostWildcardMatch(const std::string& name, const std::string& pattern) {
    if (MatchFrom(name.c_str(), pattern.c_str())) return true;
    // The platform's rule: "NAME.*" also matches NAME with no extension at all.
    bool dotStar = pattern.size() >= 2 && pattern.compare(pattern.size() - 2, 2, ".*") == 0;
    if (!dotStar || name.find('.') != std::string::npos) return false;
    return MatchFrom(name.c_str(), pattern.substr(0, pattern.size() - 2).c_str());
}

HostTypedChoice HostInterpretTyped(const std::string& folder, const std::string& typed,
                                   const std::string& defaultExtension) {
    std::string text = Trim(typed);
    std::replace(text.begin(), text.end(), '\\', '/');
    if (text.empty()) return HostTypedChoice{};
    std::string full = text[0] == '/' ? text : Join(folder, text);
    size_t slash = full.find_last_of('/');
    std::string last = full.substr(slash + 1);
    if (last.empty() || last == "." || last == "..") return FolderChoice(full);
    if (HostHasWildcards(last)) {
        HostTypedChoice choice = FolderChoice(slash == 0 ? "/" : full.substr(0, slash));
        if (choice.kind == HostTypedChoice::Kind::Folder) {
            choice.kind = HostTypedChoice::Kind::Pattern;
            choice.pattern = last;
        }
        return choice;
    }
    std::string resolved;
    if (!HostResolvePath(full.c_str(), resolved, true))
        return MakeChoice(HostTypedChoice::Kind::BadFolder, "");
    if (IsFolder(resolved)) return MakeChoice(HostTypedChoice::Kind::Folder, resolved);
    if (last.find('.') == std::string::npos && !defaultExtension.empty()) {
        std::string withExtension = full + "." + defaultExtension;
        if (!HostResolvePath(withExtension.c_str(), resolved, true))
            return MakeChoice(HostTypedChoice::Kind::BadFolder, "");
        if (IsFolder(resolved)) return MakeChoice(HostTypedChoice::Kind::Folder, resolved);
    }
    HostTypedChoice choice;
    choice.kind = HostTypedChoice::Kind::File;
    choice.path = resolved;
    choice.exists = IsFile(resolved);
    return choice;
}

std::string HostRefuseChoice(const HostFileDialogRequest& request, const HostTypedChoice& choice) {
    switch (choice.kind) {
    case HostTypedChoice::Kind::Nothing: return "Type a file name or pick a file.";
    case HostTypedChoice::Kind::BadFolder: return "That folder does not exist.";
    case HostTypedChoice::Kind::Folder:
    case HostTypedChoice::Kind::Pattern: return "Pick a file, not a folder.";
    case HostTypedChoice::Kind::File: break;
    }
    if (request.fileMustExist && !choice.exists) {
        size_t slash = choice.path.find_last_of('/');
        return "File not found: " + choice.path.substr(slash + 1);
    }
    return "";
}

HostFileChooser::HostFileChooser(const HostFileDialogRequest& request) : request_(request) {
    if (request_.filters.empty()) request_.filters.push_back({"All files", {"*"}});
    filter_ = std::clamp(request_.filter, 0, static_cast<int>(request_.filters.size()) - 1);
    std::string folder = request_.folder;
    if (HostHasWildcards(request_.fileName)) {
        HostTypedChoice given = HostInterpretTyped(folder, request_.fileName, "");
        if (given.kind == HostTypedChoice::Kind::Pattern) {
            typedPattern_ = given.pattern;
            folder = given.path;
        }
    } else {
        name_ = request_.fileName.substr(0, kMaxNameLength);
    }
    if (!Enter(folder)) Enter("/");
}

std::string HostFileChooser::PatternText() const {
    std::string text;
    for (const std::string& pattern : Patterns())
        text += (text.empty() ? "" : ";") + pattern;
    return text;
}

std::vector<std::string> HostFileChooser::Patterns() const {
    if (!typedPattern_.empty()) return {typedPattern_};
    const std::vector<std::string>& patterns = request_.filters[static_cast<size_t>(filter_)].patterns;
    return patterns.empty() ? std::vector<std::string>{"*"} : patterns;
}

bool HostFileChooser::List(const std::string& folder) {
    std::vector<HostChooserEntry> folders, files;
    std::vector<std::string> patterns = Patterns();
    std::error_code error;
    std::filesystem::directory_iterator it(folder, std::filesystem::directory_options::skip_permission_denied,
                                           error);
    for (; !error && it != std::filesystem::directory_iterator(); it.increment(error)) {
        std::string name = it->path().filename().string();
        if (name.empty() || name[0] == '.') continue; // hidden, as the desktop's own choosers do
        std::error_code kindError;
        if (it->is_directory(kindError)) {
            folders.push_back({name, true});
        } else if (std::any_of(patterns.begin(), patterns.end(),
                               [&name](const std::string& p) { return HostWildcardMatch(name, p); })) {
            files.push_back({name, false});
        }
    }
    if (error) {
        status_ = "Cannot read the folder " + folder;
        return false;
    }
    auto byName = [](const HostChooserEntry& a, const HostChooserEntry& b) {
        return NameBefore(a.name, b.name);
    };
    std::sort(folders.begin(), folders.end(), byName);
    std::sort(files.begin(), files.end(), byName);
    entries_.clear();
    if (folder != "/") entries_.push_back({"..", true});
    entries_.insert(entries_.end(), folders.begin(), folders.end());
    entries_.insert(entries_.end(), files.begin(), files.end());
    return true;
}

void HostFileChooser::SetVisibleRows(int rows) {
    visibleRows_ = std::max(rows, 1);
    KeepSelectionInView();
}

void HostFileChooser::KeepSelectionInView() {
    int count = static_cast<int>(entries_.size());
    if (selected_ >= 0) {
        if (selected_ < top_) top_ = selected_;
        if (selected_ >= top_ + visibleRows_) top_ = selected_ - visibleRows_ + 1;
    }
    top_ = std::clamp(top_, 0, std::max(count - visibleRows_, 0));
}

void HostFileChooser::Select(int index) {
    status_.clear();
    replacing_.clear();
    int count = static_cast<int>(entries_.size());
    selected_ = count == 0 || index < 0 ? -1 : std::min(index, count - 1);
    if (selected_ >= 0 && !entries_[static_cast<size_t>(selected_)].folder)
        name_ = entries_[static_cast<size_t>(selected_)].name.substr(0, kMaxNameLength);
    KeepSelectionInView();
}

void HostFileChooser::MoveSelection(int delta) {
    if (entries_.empty()) return;
    int from = selected_ < 0 ? (delta > 0 ? -1 : static_cast<int>(entries_.size())) : selected_;
    Select(std::clamp(from + delta, 0, static_cast<int>(entries_.size()) - 1));
}

void HostFileChooser::Scroll(int rows) {
    int count = static_cast<int>(entries_.size());
    top_ = std::clamp(top_ + rows, 0, std::max(count - visibleRows_, 0));
}

void HostFileChooser::Type(char character) {
    unsigned char code = static_cast<unsigned char>(character);
    if (code < 32 || code == 127 || name_.size() >= kMaxNameLength) return;
    status_.clear();
    replacing_.clear();
    name_ += character;
}

void HostFileChooser::Erase() {
    status_.clear();
    replacing_.clear();
    if (!name_.empty()) name_.pop_back();
}

void HostFileChooser::NextFilter() {
    filter_ = (filter_ + 1) % static_cast<int>(request_.filters.size());
    typedPattern_.clear();
    Enter(folder_);
}

bool HostFileChooser::Enter(const std::string& folder) {
    status_.clear();
    replacing_.clear();
    if (!List(folder)) return false;
    folder_ = folder;
    selected_ = -1;
    top_ = 0;
    return true;
}

void HostFileChooser::GoUp() {
    if (folder_ == "/") return;
    std::string from = folder_.substr(folder_.find_last_of('/') + 1);
    if (!Enter(Parent(folder_))) return;
    for (size_t i = 0; i < entries_.size(); ++i) {
        if (entries_[i].folder && entries_[i].name == from) {
            Select(static_cast<int>(i)); // come back up onto the folder just left
            break;
        }
    }
}

HostFileChooser::Outcome HostFileChooser::Activate(int index) {
    if (index < 0 || index >= static_cast<int>(entries_.size())) return Outcome::Stay;
    HostChooserEntry entry = entries_[static_cast<size_t>(index)];
    if (entry.folder) {
        if (entry.name == "..")
            GoUp();
        else
            Enter(Join(folder_, entry.name));
        return Outcome::Stay;
    }
    if (index != selected_) Select(index); // a second activation of the same file keeps a pending replace
    HostTypedChoice choice;
    choice.kind = HostTypedChoice::Kind::File;
    choice.path = Join(folder_, entry.name);
    choice.exists = IsFile(choice.path);
    return Choose(choice);
}

HostFileChooser::Outcome HostFileChooser::Accept() {
    if (Trim(name_).empty()) {
        if (selected_ >= 0) return Activate(selected_);
        status_ = HostRefuseChoice(request_, HostTypedChoice{});
        return Outcome::Stay;
    }
    HostTypedChoice choice = HostInterpretTyped(folder_, name_, request_.defaultExtension);
    switch (choice.kind) {
    case HostTypedChoice::Kind::Folder:
        if (Enter(choice.path)) name_.clear();
        return Outcome::Stay;
    case HostTypedChoice::Kind::Pattern: {
        std::string previous = typedPattern_;
        typedPattern_ = choice.pattern;
        if (Enter(choice.path))
            name_.clear();
        else
            typedPattern_ = previous;
        return Outcome::Stay;
    }
    case HostTypedChoice::Kind::File: return Choose(choice);
    default: status_ = HostRefuseChoice(request_, choice); return Outcome::Stay;
    }
}

HostFileChooser::Outcome HostFileChooser::Choose(const HostTypedChoice& choice) {
    status_ = HostRefuseChoice(request_, choice);
    if (!status_.empty()) return Outcome::Stay;
    if (request_.save && request_.overwritePrompt && choice.exists && replacing_ != choice.path) {
        replacing_ = choice.path;
        status_ =
            choice.path.substr(choice.path.find_last_of('/') + 1) + " exists. Press OK again to replace it.";
        return Outcome::Stay;
    }
    chosen_ = choice.path;
    return Outcome::Chosen;
}
