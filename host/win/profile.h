// INI profiles with the platform's rules. The file path goes through HostResolvePath (".\setup.ini",
// "..\options.ini", any case); a bare name means the current folder. Section and key names ignore case;
// values are read with the spaces around them (and one pair of enclosing quotes) removed. Every call
// re-reads the file, so two programs sharing one file see each other's writes.
#pragma once

#include "host/base/export.h"
#include "host/base/types.h"

// Copies the value of key in section of file into buffer, cut to size - 1 characters and terminated;
// returns the number of characters copied. A missing file, section or key gives defaultValue (NULL
// means ""). With key NULL the buffer receives the section's key names, with section NULL all section
// names, each terminated, the list ending with an extra terminator (cut lists return size - 2).
HOST_API DWORD GetPrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR defaultValue, LPSTR buffer,
                                        DWORD size, LPCSTR file);
#define GetPrivateProfileString GetPrivateProfileStringA

// The value of key read as a decimal integer: an optional sign and the leading digits ("42A" is 42);
// a present value without leading digits is 0; a missing key gives defaultValue.
HOST_API UINT GetPrivateProfileIntA(LPCSTR section, LPCSTR key, int defaultValue, LPCSTR file);
#define GetPrivateProfileInt GetPrivateProfileIntA

// Sets key in section of file to value, creating the file and the section when missing and keeping
// every other line. value NULL deletes the key; key NULL deletes the whole section. The file is replaced
// in one step (a new file written beside it, then renamed), so a crash never leaves a half-written
// file. FALSE when section or file is NULL, a name cannot be stored (line breaks, ']' in a section, '='
// in a key), the folder does not exist or the file cannot be written.
HOST_API BOOL WritePrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR value, LPCSTR file);
#define WritePrivateProfileString WritePrivateProfileStringA
