// The 3D options wizard page and the sheet that shows it.
#include "quib/platform/options_sheet.h"

#include "host/win/messages.h"
#include "host/win/propsheet.h"
#include "host/win/system.h"
#include "host/win/window.h"
#include "quib/quib.h"

namespace {

INT_PTR OnNotify(HWND page, const NMHDR* notice) {
    if (!notice) return FALSE;
    switch (notice->code) {
    case PSN_SETACTIVE: PropSheet_SetWizButtons(page, PSWIZB_FINISH); return TRUE;
    case PSN_WIZNEXT: SetWindowLongA(page, DWL_MSGRESULT, -1); return TRUE;
    case PSN_QUERYCANCEL: return TRUE;
    default: return FALSE;
    }
}

} // namespace

INT_PTR OptionsPageProc(HWND page, UINT message, WPARAM, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        if (GetDlgItem(page, kOptionsEditControl)) SetDlgItemTextA(page, kOptionsEditControl, "50.0");
        return TRUE;
    case WM_NOTIFY: return OnNotify(page, reinterpret_cast<const NMHDR*>(lParam));
    default: return FALSE;
    }
}

int QuibDo3DOptionsDialog(HWND parent, HINSTANCE instance) {
    PROPSHEETPAGEA page = {};
    page.dwSize = sizeof page;
    page.dwFlags = PSP_USEICONID | PSP_USETITLE;
    page.hInstance = instance;
    page.pszTemplate = MAKEINTRESOURCEA(kOptionsPageTemplate);
    page.pfnDlgProc = OptionsPageProc;

    PROPSHEETHEADERA sheet = {};
    sheet.dwSize = sizeof sheet;
    sheet.dwFlags = PSH_WIZARD | PSH_PROPSHEETPAGE | PSH_USEICONID;
    sheet.hwndParent = parent;
    sheet.hInstance = instance;
    sheet.nPages = 1;
    sheet.nStartPage = 0;
    sheet.ppsp = &page;
    PropertySheetA(&sheet);
    // What the sheet answers does not matter: it changes nothing in the engine.
    return 1;
}
