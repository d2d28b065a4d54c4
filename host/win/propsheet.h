// Property sheets (wizard-style pages of dialog controls). No program ships a dialog template, so a
// sheet is never shown here: PropertySheetA checks its header, notes the call for tests and returns as if
// the user had closed the sheet at once. The dialog calls a page procedure makes are answered as for a
// page without controls.
#pragma once

#include "host/base/export.h"
#include "host/base/types.h"

// Page flags (PROPSHEETPAGEA::dwFlags).
#define PSP_DEFAULT   0x0000
#define PSP_USEICONID 0x0004
#define PSP_USETITLE  0x0008
// Sheet flags (PROPSHEETHEADERA::dwFlags).
#define PSH_DEFAULT       0x0000
#define PSH_USEICONID     0x0004
#define PSH_PROPSHEETPAGE 0x0008
#define PSH_WIZARD        0x0020

// Notification codes a page receives in WM_NOTIFY (NMHDR::code).
#define PSN_SETACTIVE   (0u - 200u)
#define PSN_WIZNEXT     (0u - 206u)
#define PSN_QUERYCANCEL (0u - 209u)
// A wizard's Finish button (PropSheet_SetWizButtons).
#define PSWIZB_FINISH 0x0004
// The dialog long that holds a page's answer to a notification (SetWindowLong).
#define DWL_MSGRESULT 0

typedef INT_PTR (*DLGPROC)(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// What WM_NOTIFY's lParam points to.
struct NMHDR {
    HWND hwndFrom;
    UINT_PTR idFrom;
    UINT code;
};

struct PROPSHEETPAGEA {
    DWORD dwSize; // sizeof(PROPSHEETPAGEA)
    DWORD dwFlags;
    HINSTANCE hInstance;
    LPCSTR pszTemplate; // dialog template resource (MAKEINTRESOURCE number or name)
    HICON hIcon;
    LPCSTR pszTitle;
    DLGPROC pfnDlgProc;
    LPARAM lParam;
};

struct PROPSHEETHEADERA {
    DWORD dwSize; // sizeof(PROPSHEETHEADERA)
    DWORD dwFlags;
    HWND hwndParent;
    HINSTANCE hInstance;
    HICON hIcon;
    LPCSTR pszCaption;
    UINT nPages;
    UINT nStartPage;
    const PROPSHEETPAGEA* ppsp; // nPages pages (PSH_PROPSHEETPAGE)
};

// Shows a property sheet; here: 0 (closed without a choice) for a well-formed header (sizes, at least
// one page, PSH_PROPSHEETPAGE with pages that have a procedure), -1 otherwise.
HOST_API INT_PTR PropertySheetA(const PROPSHEETHEADERA* header);
#define PropertySheet PropertySheetA

// A control of a dialog page by identifier; NULL, as no page has controls here.
HOST_API HWND GetDlgItem(HWND dialog, int id);
// Sets a control's text; FALSE when the control does not exist (always here).
HOST_API BOOL SetDlgItemTextA(HWND dialog, int id, LPCSTR text);
#define SetDlgItemText SetDlgItemTextA
// Asks the sheet that holds page to show the given wizard buttons (PSM_SETWIZBUTTONS posted to the
// sheet); nothing when page is held by no sheet.
HOST_API void PropSheet_SetWizButtons(HWND page, DWORD buttons);

// What the last PropertySheetA call asked for (tests).
struct HostPropertySheetCall {
    int calls;         // PropertySheetA calls so far
    DWORD headerFlags; // the last header's dwFlags
    UINT pages;        // its nPages
    DWORD pageFlags;   // its first page's dwFlags
    LPCSTR pageTemplate;
    bool pageHasProcedure;
};
HostPropertySheetCall HostLastPropertySheet();
