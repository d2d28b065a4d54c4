// The file chooser's model, without any drawing: the folder shown, its list of folders and matching
// files, the selection, the name field, and what a typed name or a picked entry means. The dialog draws
// it over the program's picture (file_chooser_view.h, file_chooser_session.h), or reads a backend's
// scripted answer by its name rules.
#pragma once

#include <string>
#include <vector>

#include "host/win/file_dialog_request.h"

// True when name matches the wildcard pattern ('*' any run, '?' one character), ignoring ASCII case.
// "*.*" and "NAME.*" also match names without a dot.
bool HostWildcardMatch(const std::string& name, const std::string& pattern);
// True when text holds '*' or '?'.
bool HostHasWildcards(const std::string& text);

// What a name typed into the chooser (or given by a script) stands for, read against the folder shown.
// Either separator may be used; a name starting with one is taken from the root.
struct HostTypedChoice {
    enum class Kind {
        Nothing,   // empty text
        File,      // path: the file (default extension added to a name without one); exists: whether it does
        Folder,    // path: an existing folder to show
        Pattern,   // path: the folder to show, pattern: the wildcard name to list by
        BadFolder, // the folder part does not exist
    };
    Kind kind = Kind::Nothing;
    std::string path;
    std::string pattern;
    bool exists = false;
};
HostTypedChoice HostInterpretTyped(const std::string& folder, const std::string& typed,
                                   const std::string& defaultExtension);

// Why request refuses to close on choice (a line for the user), or "" when the choice may be taken.
// A file that must exist and does not, and anything but a file, are refused.
std::string HostRefuseChoice(const HostFileDialogRequest& request, const HostTypedChoice& choice);

struct HostChooserEntry {
    std::string name;
    bool folder = false;
};

class HostFileChooser {
  public:
    // Shows request's folder (the root when it cannot be read), with its filter or the wildcard name it
    // was given.
    explicit HostFileChooser(const HostFileDialogRequest& request);

    enum class Outcome { Stay, Chosen };

    const std::string& Folder() const { return folder_; }
    // ".." first (except at the root), then folders, then files matching the patterns; each group sorted
    // by name ignoring case.
    const std::vector<HostChooserEntry>& Entries() const { return entries_; }
    int Selected() const { return selected_; } // -1 when nothing is selected
    int Top() const { return top_; }           // the first entry in view
    int VisibleRows() const { return visibleRows_; }
    const std::string& Name() const { return name_; }
    // A line telling the user why nothing happened, or that a second OK replaces a file ("" when none).
    const std::string& Status() const { return status_; }
    // The patterns the list is made by, as shown ("*.lev").
    std::string PatternText() const;
    int FilterIndex() const { return filter_; }
    const HostFileDialogRequest& Request() const { return request_; }
    // The chosen machine path, once an action returned Chosen.
    const std::string& ChosenPath() const { return chosen_; }

    // How many rows the list shows; the selection is kept in view.
    void SetVisibleRows(int rows);
    // Selects entry index (clamped; -1 for none); a file's name goes into the name field.
    void Select(int index);
    // Moves the selection by delta rows (arrow and page keys); from no selection, down starts at the top.
    void MoveSelection(int delta);
    // Moves the view by rows without touching the selection (mouse wheel).
    void Scroll(int rows);
    // Name field editing: adds a printable character, takes off the last one.
    void Type(char character);
    void Erase();
    // Uses the next filter of the request (wraps around) and forgets a typed pattern.
    void NextFilter();
    // Shows another folder (machine path); false, with the status set, when it cannot be read.
    bool Enter(const std::string& folder);
    // Shows the folder above (nothing at the root).
    void GoUp();
    // A double click or Return on entry index: a folder is entered, a file is chosen (when allowed).
    Outcome Activate(int index);
    // OK or Return in the name field: a typed folder is entered, a pattern lists by it, a file is chosen
    // (when allowed); an empty field activates the selection.
    Outcome Accept();

  private:
    bool List(const std::string& folder);
    Outcome Choose(const HostTypedChoice& choice);
    void KeepSelectionInView();
    std::vector<std::string> Patterns() const;

    HostFileDialogRequest request_;
    std::string folder_;
    std::vector<HostChooserEntry> entries_;
    int selected_ = -1;
    int top_ = 0;
    int visibleRows_ = 1;
    std::string name_;
    std::string status_;
    std::string typedPattern_; // a wildcard name typed or given, in place of the filter's patterns
    int filter_ = 0;
    std::string replacing_; // the file a first OK asked to replace
    std::string chosen_;
};
