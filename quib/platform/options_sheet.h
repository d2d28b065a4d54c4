// The 3D options sheet (internal side; QuibDo3DOptionsDialog is in quib/quib.h): a one-page wizard whose
// page is the caller's dialog template 101 with an edit control 1012. The sheet has no effect on the
// engine: the value in the edit control is never read back.
#pragma once

#include "host/base/types.h"

// The dialog template and the edit control the page expects in the caller's resources.
constexpr int kOptionsPageTemplate = 101;
constexpr int kOptionsEditControl = 1012;

// The page procedure. WM_INITDIALOG: the edit control (when present) gets "50.0"; TRUE. WM_NOTIFY:
// PSN_SETACTIVE shows only the Finish button, PSN_WIZNEXT answers -1 (stay on the page), PSN_QUERYCANCEL
// allows cancelling; each TRUE. Everything else: FALSE.
INT_PTR OptionsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
