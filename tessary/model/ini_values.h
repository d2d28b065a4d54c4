// Reading numbers and names from the game's INI files through the profile functions. Values are
// untrusted text: numbers are converted as atoi/atof would (leading blanks, trailing junk ignored), but
// without their undefined cases: out-of-range integers are clamped, and a float that is not finite
// gives the caller's fallback.
#pragma once

#include <cstddef>

// The value of key in section of iniPath, or defaultValue, into buffer (size bytes, always terminated).
void ReadIniText(const char* iniPath, const char* section, const char* key, const char* defaultValue,
                 char* buffer, size_t size);

// atoi of text, clamped to [low, high]. Empty or non-numeric text gives 0 (then clamped).
int ParseIntClamped(const char* text, int low, int high);

// atof of text; fallback when the result is not finite.
float ParseFloatFinite(const char* text, float fallback);

// Truncates value toward zero to an int, clamped to [low, high]; NaN gives 0 (then clamped).
int TruncateClamped(double value, int low, int high);

// ParseIntClamped of the key's value (defaultValue when missing).
int ReadIniInt(const char* iniPath, const char* section, const char* key, const char* defaultValue, int low,
               int high);

// ParseFloatFinite of the key's value (defaultValue when missing); a value that is not finite gives
// fallback.
float ReadIniFloat(const char* iniPath, const char* section, const char* key, const char* defaultValue,
                   float fallback);
