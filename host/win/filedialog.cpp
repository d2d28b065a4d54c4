// The program's dialog structure turned into a request in machine terms, answered by the chooser (drawn by
// the backend over the program's picture, or read from the backend's scripted answer), and the answer
// copied back into the program's buffer, bounded.
#include "host/win/filedialog.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "host/backend/backend.h"
#include "host/win/file_chooser.h"
#include "host/win/file_chooser_session.h"
#include "host/win/file_dialog_request.h"
#include "host/win/path_names.h"
#include "host/win/paths.h"

namespace {

// Limits on what is read from the program's strings, so a missing terminator cannot run on for ever.
const size_t kMaxText = 32768;
const size_t kMaxFilters = 256;

thread_local DWORD t_lastError = 0;

std::string Bounded(const char* text, size_t limit = kMaxText) {
    return text ? std::string(text, strnlen(text, limit)) : std::string();
}

std::string Trim(const std::string& text) {
    size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::vector<std::string> SplitPatterns(const std::string& text) {
    std::vector<std::string> patterns;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = std::min(text.find(';', start), text.size());
        std::string pattern = Trim(text.substr(start, end - start));
        if (!pattern.empty()) patterns.push_back(pattern);
        start = end + 1;
    }
    return patterns;
}

// "label\0patterns\0...\0\0" as filters; a label without patterns ends the list.
std::vector<HostFileFilter> ParseFilters(const char* list) {
    std::vector<HostFileFilter> filters;
    const char* at = list;
    size_t budget = kMaxText;
    while (at && *at && filters.size() < kMaxFilters) {
        std::string label = Bounded(at, budget);
        if (label.size() + 1 >= budget) break;
        budget -= label.size() + 1;
        at += label.size() + 1;
        if (!*at) break;
        std::string patterns = Bounded(at, budget);
        if (patterns.size() + 1 >= budget) break;
        budget -= patterns.size() + 1;
        at += patterns.size() + 1;
        filters.push_back({label, SplitPatterns(patterns)});
    }
    if (filters.empty()) filters.push_back({"All files", {"*.*"}});
    return filters;
}

std::string InitialFolder(LPCSTR given) {
    std::string folder;
    if (given && *given && HostResolvePath(Bounded(given).c_str(), folder, false)) return folder;
    if (!HostCurrentFolder(folder)) folder = "/";
    return folder;
}

HostFileDialogRequest MakeRequest(const OPENFILENAMEA& dialog, bool save) {
    HostFileDialogRequest request;
    request.save = save;
    request.title = Bounded(dialog.lpstrTitle);
    if (request.title.empty()) request.title = save ? "Save As" : "Open";
    request.folder = InitialFolder(dialog.lpstrInitialDir);
    request.filters = ParseFilters(dialog.lpstrFilter);
    int index = static_cast<int>(std::min<DWORD>(dialog.nFilterIndex, 0x7fffffff));
    request.filter = index >= 1 && index <= static_cast<int>(request.filters.size()) ? index - 1 : 0;
    request.fileName = Bounded(dialog.lpstrFile, dialog.nMaxFile);
    request.defaultExtension = Bounded(dialog.lpstrDefExt, 255);
    while (!request.defaultExtension.empty() && request.defaultExtension[0] == '.')
        request.defaultExtension.erase(0, 1);
    request.fileMustExist = (dialog.Flags & OFN_FILEMUSTEXIST) != 0;
    request.pathMustExist = request.fileMustExist || (dialog.Flags & OFN_PATHMUSTEXIST) != 0;
    request.overwritePrompt = save && (dialog.Flags & OFN_OVERWRITEPROMPT) != 0;
    return request;
}

// A scripted answer is read against the dialog's folder as if typed into it, and must pass the dialog's own
// checks.
bool TakeScriptedAnswer(const HostBackend& backend, const HostFileDialogRequest& request,
                        HostFileDialogAnswer& answer) {
    HostDialogAnswer given = backend.answerFileDialog(request.save, request.title, request.folder);
    if (!given.given) return false;
    HostTypedChoice choice = HostInterpretTyped(request.folder, given.typed, request.defaultExtension);
    std::string refusal = HostRefuseChoice(request, choice);
    if (!refusal.empty()) {
        std::fprintf(stderr, "HOST_SCRIPT line %d: dialog '%s' cannot take '%s': %s\n", given.line,
                     request.title.c_str(), given.typed.c_str(), refusal.c_str());
        return false;
    }
    answer.path = choice.path;
    answer.filter = request.filter;
    return true;
}

// The chooser over the program's picture, until the user chooses or cancels.
bool RunChooser(const HostBackend& backend, const HostFileDialogRequest& request,
                HostFileDialogAnswer& answer) {
    HostChooserSession session(request);
    if (!backend.runModal(session)) {
        std::fprintf(stderr, "%s: no window to show the file dialog in.\n", request.title.c_str());
        return false;
    }
    if (!session.Chosen()) return false;
    answer.path = session.Chooser().ChosenPath();
    answer.filter = session.Chooser().FilterIndex();
    return true;
}

BOOL RunDialog(LPOPENFILENAMEA dialog, bool save) {
    t_lastError = 0;
    if (!dialog || dialog->lStructSize != sizeof(OPENFILENAMEA)) {
        t_lastError = CDERR_STRUCTSIZE;
        return FALSE;
    }
    if (!dialog->lpstrFile || dialog->nMaxFile == 0) {
        t_lastError = FNERR_INVALIDFILENAME;
        return FALSE;
    }
    const HostBackend& backend = HostGetBackend();
    if (!backend.answerFileDialog && !backend.runModal) {
        t_lastError = CDERR_INITIALIZATION;
        return FALSE;
    }
    HostFileDialogRequest request = MakeRequest(*dialog, save);
    HostFileDialogAnswer answer;
    bool answered = backend.answerFileDialog ? TakeScriptedAnswer(backend, request, answer)
                                             : RunChooser(backend, request, answer);
    if (!answered) return FALSE;
    size_t needed = answer.path.size() + 1;
    if (needed > dialog->nMaxFile) {
        t_lastError = FNERR_BUFFERTOOSMALL;
        return FALSE;
    }
    std::memcpy(dialog->lpstrFile, answer.path.c_str(), needed);
    // A multiple-selection result is a list ended by an empty name.
    if ((dialog->Flags & OFN_ALLOWMULTISELECT) && needed < dialog->nMaxFile) dialog->lpstrFile[needed] = '\0';
    dialog->nFilterIndex = static_cast<DWORD>(answer.filter + 1);
    return TRUE;
}

} // namespace

BOOL GetOpenFileNameA(LPOPENFILENAMEA dialog) {
    return RunDialog(dialog, false);
}

BOOL GetSaveFileNameA(LPOPENFILENAMEA dialog) {
    return RunDialog(dialog, true);
}

DWORD CommDlgExtendedError() {
    return t_lastError;
}
