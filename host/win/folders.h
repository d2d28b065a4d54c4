// Folder searches, the current folder and the program's own path. The current folder is the process's
// real working folder, so relative paths everywhere (stdio included) follow it.
#pragma once

#include "host/base/export.h"
#include "host/base/types.h"
#include "host/win/files.h"

// One result of a folder search.
struct WIN32_FIND_DATAA {
    DWORD dwFileAttributes; // FILE_ATTRIBUTE_* (see GetFileAttributesA)
    DWORD nFileSizeHigh;
    DWORD nFileSizeLow;
    CHAR cFileName[MAX_PATH]; // the name as stored, terminated
};
typedef WIN32_FIND_DATAA WIN32_FIND_DATA;
typedef WIN32_FIND_DATAA* LPWIN32_FIND_DATAA;

// Starts a search for pattern: a folder path (any separators, names in any case) and a last component
// with '*' and '?' wildcards matched ignoring case ("*.*" and "name.*" also match names without a dot).
// The results, "." and ".." included when they match, come sorted by name ignoring case. Fills *data with
// the first and returns the search handle, or INVALID_HANDLE_VALUE (ERROR_FILE_NOT_FOUND when nothing
// matches, ERROR_PATH_NOT_FOUND when the folder does not exist).
HOST_API HANDLE FindFirstFileA(LPCSTR pattern, WIN32_FIND_DATAA* data);
#define FindFirstFile FindFirstFileA
// The next result; FALSE with ERROR_NO_MORE_FILES after the last.
HOST_API BOOL FindNextFileA(HANDLE search, WIN32_FIND_DATAA* data);
#define FindNextFile FindNextFileA
// Ends a search (CloseHandle does the same).
HOST_API BOOL FindClose(HANDLE search);

// Copies the current folder (a machine path) into buffer and returns its length. When buffer is NULL
// or size is too small, copies nothing and returns the size needed, terminator included. 0 on error.
HOST_API DWORD GetCurrentDirectoryA(DWORD size, LPSTR buffer);
#define GetCurrentDirectory GetCurrentDirectoryA
// Changes the process's current folder to path (any separators, names in any case, "..").
HOST_API BOOL SetCurrentDirectoryA(LPCSTR path);
#define SetCurrentDirectory SetCurrentDirectoryA

// Copies the running program's path into buffer, cut to size - 1 characters and terminated; returns the
// length copied, or size with ERROR_INSUFFICIENT_BUFFER when cut. module is ignored (the program).
DWORD GetModuleFileNameA(HMODULE module, LPSTR buffer, DWORD size);
#define GetModuleFileName GetModuleFileNameA
