// The platform's attribute bits for a file of this machine (shared by files.cpp and folders.cpp).
#pragma once

#include <string>
#include <sys/stat.h>

#include "host/base/types.h"

// Folders are FILE_ATTRIBUTE_DIRECTORY only (the menu accepts nothing else as a game folder); names
// starting with '.' (other than "." and "..") are hidden; a file this process may not write is
// read-only; any other file is FILE_ATTRIBUTE_NORMAL.
DWORD HostAttributesOf(const std::string& machinePath, const std::string& name, const struct stat& info);
