// The engine's error convention. A failing call registers a text (RegError): it is kept in g_ErrorText
// with a trailing newline, g_bError is set and the text goes to the debug log. Failed platform calls are
// reported with their result code's name, the source file and the line (Report...Error, usually through
// the REPORT_..._ERROR macros, which pass the call site's __FILE__ and __LINE__). Reporting never fails
// and never stops the caller; the caller returns 0 or NULL itself.
#pragma once

#include <atomic>

#include "host/base/types.h"

// Size of g_ErrorText, including the newline and the terminator.
constexpr int kErrorTextSize = 2048;

// The text of the last registered error, ending with a newline (cut to fit, the newline kept).
extern char g_ErrorText[kErrorTextSize];
// Set to 1 by every registered error; never cleared by the engine.
extern std::atomic<int> g_bError;

// Registers an error text: stores it with a newline in g_ErrorText, sets g_bError and logs the stored
// text literally (a '%' in it is not a format). A NULL text counts as an empty one.
void RegError(const char* text);

// Formats into a 256-character buffer (cut to fit), then RegError.
void RegErrorf(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Decode hr with the matching name table and register
//   "DirectDraw Error <name>\nin file <file> at line <line>"      (ReportDDError)
//   "DirectSound Error <name>\nin file <file> at line <line>"     (ReportDSError)
//   "Direct3D Error <name>\nin file <file> at line <line>"        (ReportD3DError)
//   "Direct3D-RM Error : <name>\nin file <file> at line <line>"   (ReportD3DRMError)
// file and line are those of the failing call.
void ReportDDError(HRESULT hr, const char* file, int line);
void ReportDSError(HRESULT hr, const char* file, int line);
void ReportD3DError(HRESULT hr, const char* file, int line);
void ReportD3DRMError(HRESULT hr, const char* file, int line);

// Call-site forms: report hr with the current source file and line.
#define REPORT_DD_ERROR(hr)    ReportDDError((hr), __FILE__, __LINE__)
#define REPORT_DS_ERROR(hr)    ReportDSError((hr), __FILE__, __LINE__)
#define REPORT_D3D_ERROR(hr)   ReportD3DError((hr), __FILE__, __LINE__)
#define REPORT_D3DRM_ERROR(hr) ReportD3DRMError((hr), __FILE__, __LINE__)

// The name of a result code's constant ("DDERR_SURFACELOST"), or "Unknown Error" for any code outside
// the family's table, success codes included. DDErrorName also names the five generic codes that the
// display driver reuses (invalid argument, out of memory, not implemented, failure, not initialised).
const char* DDErrorName(HRESULT hr);
const char* DSErrorName(HRESULT hr);
const char* D3DErrorName(HRESULT hr);
const char* D3DRMErrorName(HRESULT hr);
