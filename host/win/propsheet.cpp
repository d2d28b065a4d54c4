// Property sheets: checked, noted and closed at once, since no program ships the dialog templates
// their pages would be made from.
#include "host/win/propsheet.h"

#include <mutex>

namespace {

std::mutex g_sheetLock;
HostPropertySheetCall g_lastSheet = {};

bool IsWellFormed(const PROPSHEETHEADERA* header) {
    if (!header || header->dwSize != sizeof(PROPSHEETHEADERA)) return false;
    if (!(header->dwFlags & PSH_PROPSHEETPAGE) || header->nPages == 0 || !header->ppsp) return false;
    if (header->nStartPage >= header->nPages) return false;
    for (UINT i = 0; i < header->nPages; ++i) {
        const PROPSHEETPAGEA& page = header->ppsp[i];
        if (page.dwSize != sizeof(PROPSHEETPAGEA) || !page.pfnDlgProc) return false;
    }
    return true;
}

} // namespace

INT_PTR PropertySheetA(const PROPSHEETHEADERA* header) {
    std::lock_guard<std::mutex> guard(g_sheetLock);
    ++g_lastSheet.calls;
    g_lastSheet.headerFlags = header ? header->dwFlags : 0;
    g_lastSheet.pages = header ? header->nPages : 0;
    const PROPSHEETPAGEA* first = header && header->nPages ? header->ppsp : nullptr;
    g_lastSheet.pageFlags = first ? first->dwFlags : 0;
    g_lastSheet.pageTemplate = first ? first->pszTemplate : nullptr;
    g_lastSheet.pageHasProcedure = first && first->pfnDlgProc;
    return IsWellFormed(header) ? 0 : -1;
}

HWND GetDlgItem(HWND, int) {
    return nullptr;
}

BOOL SetDlgItemTextA(HWND, int, LPCSTR) {
    return FALSE;
}

void PropSheet_SetWizButtons(HWND, DWORD) {}

HostPropertySheetCall HostLastPropertySheet() {
    std::lock_guard<std::mutex> guard(g_sheetLock);
    return g_lastSheet;
}
