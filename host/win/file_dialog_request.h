// A file dialog in machine terms: the window layer (host/win/filedialog.h) turns the program's request into
// this, and the chooser (file_chooser.h) answers it, drawn over the program's picture or from a backend's
// scripted answer.
#pragma once

#include <string>
#include <vector>

// One entry of the "files of type" list: a label and its wildcard patterns ("*.lev").
struct HostFileFilter {
    std::string label;
    std::vector<std::string> patterns;
};

struct HostFileDialogRequest {
    bool save = false;                   // a save dialog (else an open dialog)
    std::string title;                   // never empty
    std::string folder;                  // machine path of the folder shown first
    std::vector<HostFileFilter> filters; // never empty
    int filter = 0;                      // the filter in use, an index into filters
    std::string fileName;                // the name field's first text; wildcards make it the pattern
    std::string defaultExtension;        // added (with a dot) to a chosen name that has no extension
    bool fileMustExist = false;          // only an existing file may be chosen
    bool pathMustExist = false;          // the chosen file's folder must exist (always checked here)
    bool overwritePrompt = false;        // a save dialog asks before an existing file is chosen
};

struct HostFileDialogAnswer {
    std::string path; // machine path of the chosen file (it may not exist yet for a save)
    int filter = 0;   // the filter in use when the dialog closed
};
