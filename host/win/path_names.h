// Name matching shared by the file, folder, profile and shell parts of the host (not for code above host/).
#pragma once

#include <string>

// ASCII case folding: the platform's file names and profile names ignore the case of A-Z.
inline char HostFoldCase(char c) {
    return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}
// True when a and b are equal ignoring ASCII case.
bool HostNamesEqualNoCase(const std::string& a, const std::string& b);
// The process's current folder as a machine path; false only when it cannot be read.
bool HostCurrentFolder(std::string& out);
// Looks for name in the machine folder: the exact name when it exists, else the first entry in byte
// order that equals it ignoring case. found receives the entry's name as stored.
bool HostFindInFolder(const std::string& folder, const std::string& name, std::string& found);
