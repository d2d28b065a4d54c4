// Files and bytes as tests make and read them: whole files read and written in one call, and
// little-endian numbers put into and read out of byte buffers (the layout of BMP, WAV and level files).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace testsupport {

// The whole file as bytes or text; empty when it cannot be read.
std::vector<uint8_t> ReadBytes(const std::string& path);
std::string ReadText(const std::string& path);
// The file's lines without their line ends; empty when it cannot be read.
std::vector<std::string> ReadLines(const std::string& path);

// Waits (up to half a minute, never expected) for a file another process writes, then returns its text;
// empty when it never comes.
std::string WaitForText(const std::string& path);

// Writes the bytes or text as the file, replacing it and making the folders above it first.
void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes);
void WriteText(const std::string& path, const std::string& text);

// Appends value to out, low byte first.
void PutLe16(std::vector<uint8_t>& out, uint32_t value);
void PutLe32(std::vector<uint8_t>& out, uint32_t value);

// The little-endian number at bytes[at]; the caller keeps at + 2 (at + 4) within bytes.
uint16_t Le16(const std::vector<uint8_t>& bytes, size_t at);
uint32_t Le32(const std::vector<uint8_t>& bytes, size_t at);

} // namespace testsupport
