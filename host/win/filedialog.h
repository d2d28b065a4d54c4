// The common file dialogs: the program asks which file to open or save. The backend answers: the sdl
// backend with a chooser drawn into the program's window, the headless backend from its script (and a
// record line "dialog open|save TITLE FOLDER"). Neither ever changes the current folder.
#pragma once

#include "host/base/export.h"
#include "host/base/types.h"

// Flags.
#define OFN_OVERWRITEPROMPT  0x0001u // a save dialog asks before an existing file is chosen
#define OFN_NOCHANGEDIR      0x0002u // accepted; the dialogs never change the current folder anyway
#define OFN_ALLOWMULTISELECT 0x0004u // accepted; one file is chosen, its path followed by an extra NUL
#define OFN_PATHMUSTEXIST    0x0008u // the chosen file's folder must exist (always so here)
#define OFN_FILEMUSTEXIST    0x0010u // only an existing file may be chosen

// CommDlgExtendedError codes.
#define CDERR_STRUCTSIZE      0x0010u // lStructSize is not sizeof(OPENFILENAMEA)
#define CDERR_INITIALIZATION  0x0011u // the backend offers no dialog
#define FNERR_INVALIDFILENAME 0x0020u // no lpstrFile buffer
#define FNERR_BUFFERTOOSMALL  0x0021u // the chosen path does not fit in nMaxFile characters

struct OPENFILENAMEA {
    DWORD lStructSize;      // sizeof(OPENFILENAMEA)
    HWND hwndOwner;         // the window the dialog belongs to (may be NULL)
    LPCSTR lpstrFilter;     // pairs of strings "label\0patterns\0", ended by an empty label; patterns are
                            // separated by ';' ("*.lev;*.bak"). NULL: every file
    DWORD nFilterIndex;     // in: the filter shown first, from 1 (0 or too large: the first); out: the last
    LPSTR lpstrFile;        // in: the first text of the name field (wildcards list by it instead of the
                            // filter); out: the chosen file's full path, terminated
    DWORD nMaxFile;         // characters lpstrFile holds, terminator included
    LPCSTR lpstrInitialDir; // the folder shown first (NULL, empty or missing: the current folder)
    LPCSTR lpstrTitle;      // the dialog's title (NULL: "Open" or "Save As")
    DWORD Flags;            // OFN_*
    LPCSTR lpstrDefExt;     // added with a dot to a typed name that has no extension (NULL: none)
};
typedef OPENFILENAMEA OPENFILENAME;
typedef OPENFILENAMEA* LPOPENFILENAMEA;
typedef OPENFILENAMEA* LPOPENFILENAME;

// Runs an open dialog until the user chooses a file (TRUE, its full path in lpstrFile) or cancels
// (FALSE). Also FALSE, with CommDlgExtendedError set, for a bad structure or when the path does not fit
// in nMaxFile characters (lpstrFile is then left as it was).
HOST_API BOOL GetOpenFileNameA(LPOPENFILENAMEA dialog);
#define GetOpenFileName GetOpenFileNameA
// The same as a save dialog: a new name may be typed; OFN_OVERWRITEPROMPT asks before replacing a file.
HOST_API BOOL GetSaveFileNameA(LPOPENFILENAMEA dialog);
#define GetSaveFileName GetSaveFileNameA
// Why the last dialog on this thread returned FALSE: one of the codes above, or 0 when the user cancelled
// (or the dialog succeeded).
DWORD CommDlgExtendedError();
