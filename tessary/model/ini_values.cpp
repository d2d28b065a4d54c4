#include "tessary/model/ini_values.h"

#include <cmath>
#include <cstdlib>

#include "host/win/profile.h"

void ReadIniText(const char* iniPath, const char* section, const char* key, const char* defaultValue,
                 char* buffer, size_t size) {
    if (!buffer || size == 0) return;
    buffer[0] = '\0';
    GetPrivateProfileStringA(section, key, defaultValue, buffer, DWORD(size), iniPath);
    buffer[size - 1] = '\0';
}

int ParseIntClamped(const char* text, int low, int high) {
    long long value = 0;
    if (text) {
        value = std::strtoll(text, nullptr, 10); // saturates at the long long range on overflow
    }
    if (value < low) return low;
    if (value > high) return high;
    return int(value);
}

float ParseFloatFinite(const char* text, float fallback) {
    if (!text) return fallback;
    double value = std::strtod(text, nullptr);
    if (!std::isfinite(value) || std::fabs(value) > 3.0e38) return fallback;
    return float(value);
}

int TruncateClamped(double value, int low, int high) {
    if (std::isnan(value)) value = 0;
    if (value <= double(low)) return low;
    if (value >= double(high)) return high;
    return int(value);
}

int ReadIniInt(const char* iniPath, const char* section, const char* key, const char* defaultValue, int low,
               int high) {
    char text[64];
    ReadIniText(iniPath, section, key, defaultValue, text, sizeof text);
    return ParseIntClamped(text, low, high);
}

float ReadIniFloat(const char* iniPath, const char* section, const char* key, const char* defaultValue,
                   float fallback) {
    char text[64];
    ReadIniText(iniPath, section, key, defaultValue, text, sizeof text);
    return ParseFloatFinite(text, fallback);
}
