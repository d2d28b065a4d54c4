// Files through kernel handles, as the engine's bitmap code and the sound library use them. Paths go
// through HostResolvePath (backslashes, ".\" and "..\", names in any case). Handles are closed with
// CloseHandle (host/win/handles.h). Failures leave a code for GetLastError (host/win/last_error.h).
#pragma once

#include "host/base/export.h"
#include "host/base/types.h"
#include "host/win/handles.h"
#include "host/win/last_error.h"

struct SECURITY_ATTRIBUTES; // never filled in by the programs: always NULL
typedef SECURITY_ATTRIBUTES* LPSECURITY_ATTRIBUTES;
struct OVERLAPPED; // no overlapped input and output: always NULL
typedef OVERLAPPED* LPOVERLAPPED;

// Access rights.
#define GENERIC_READ  0x80000000u
#define GENERIC_WRITE 0x40000000u
// Sharing modes: accepted; other openers are never locked out.
#define FILE_SHARE_READ  0x1u
#define FILE_SHARE_WRITE 0x2u
// What to do when the file exists or not.
#define CREATE_NEW        1u // fails when it exists
#define CREATE_ALWAYS     2u // creates or empties
#define OPEN_EXISTING     3u // fails when it does not exist
#define OPEN_ALWAYS       4u // opens or creates
#define TRUNCATE_EXISTING 5u // empties an existing file

#define FILE_ATTRIBUTE_READONLY  0x01u
#define FILE_ATTRIBUTE_HIDDEN    0x02u
#define FILE_ATTRIBUTE_DIRECTORY 0x10u
#define FILE_ATTRIBUTE_ARCHIVE   0x20u
#define FILE_ATTRIBUTE_NORMAL    0x80u
#define INVALID_FILE_ATTRIBUTES  ((DWORD)0xFFFFFFFFu)

#define FILE_BEGIN               0u
#define FILE_CURRENT             1u
#define FILE_END                 2u
#define INVALID_SET_FILE_POINTER ((DWORD)0xFFFFFFFFu)
#define INVALID_FILE_SIZE        ((DWORD)0xFFFFFFFFu)

// Opens or creates a file. Returns INVALID_HANDLE_VALUE on failure (ERROR_FILE_NOT_FOUND,
// ERROR_PATH_NOT_FOUND, ERROR_FILE_EXISTS, ERROR_ACCESS_DENIED for a folder or a refused file).
// attributes and templateFile are ignored.
HOST_API HANDLE CreateFileA(LPCSTR path, DWORD access, DWORD shareMode, LPSECURITY_ATTRIBUTES security,
                            DWORD disposition, DWORD attributes, HANDLE templateFile);
#define CreateFile CreateFileA

// Reads up to toRead bytes; *bytesRead (may be NULL) gets the count, less than toRead only at the end
// of the file (0 there). FALSE for a bad handle, a handle without read access or a read error.
HOST_API BOOL ReadFile(HANDLE file, LPVOID buffer, DWORD toRead, LPDWORD bytesRead, LPOVERLAPPED overlapped);
// Writes toWrite bytes; *bytesWritten (may be NULL) gets the count. FALSE when not all could be written.
HOST_API BOOL WriteFile(HANDLE file, LPCVOID buffer, DWORD toWrite, LPDWORD bytesWritten,
                        LPOVERLAPPED overlapped);
// Moves the file position by distance (with *distanceHigh as the upper 32 bits when given) from FILE_BEGIN,
// FILE_CURRENT or FILE_END. Returns the low 32 bits of the new position (the upper ones in *distanceHigh),
// or INVALID_SET_FILE_POINTER with the last error set (a position before the start is refused).
HOST_API DWORD SetFilePointer(HANDLE file, LONG distance, LONG* distanceHigh, DWORD method);
// The file's size: low 32 bits returned, upper ones in *sizeHigh when given; INVALID_FILE_SIZE on error.
HOST_API DWORD GetFileSize(HANDLE file, LPDWORD sizeHigh);

// Deletes a file (not a folder).
BOOL DeleteFileA(LPCSTR path);
#define DeleteFile DeleteFileA
// Creates a folder whose parent exists; FALSE with ERROR_ALREADY_EXISTS when the name is taken.
BOOL CreateDirectoryA(LPCSTR path, LPSECURITY_ATTRIBUTES security);
#define CreateDirectory CreateDirectoryA
// FILE_ATTRIBUTE_* of a file or folder, or INVALID_FILE_ATTRIBUTES when it does not exist.
DWORD GetFileAttributesA(LPCSTR path);
#define GetFileAttributes GetFileAttributesA
