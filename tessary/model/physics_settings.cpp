#include "tessary/model/physics_settings.h"

#include <cstdio>

#include "tessary/model/ini_values.h"

PhysicsSettings g_physics;

namespace {

// The float under key, with defaultValue formatted "%8.5f" as the default text.
float ReadSetting(const char* iniPath, const char* key, float defaultValue) {
    char defaultText[32];
    std::snprintf(defaultText, sizeof defaultText, "%8.5f", double(defaultValue));
    char text[64];
    ReadIniText(iniPath, "setup", key, defaultText, text, sizeof text);
    return ParseFloatFinite(text, ParseFloatFinite(defaultText, defaultValue));
}

} // namespace

void LoadPhysicsSettings(const char* iniPath) {
    const PhysicsSettings defaults;
    g_physics.speed = ReadSetting(iniPath, "speed", defaults.speed);
    g_physics.friction = ReadSetting(iniPath, "friction", defaults.friction);
    g_physics.magnet = ReadSetting(iniPath, "magnet", defaults.magnet);
    g_physics.maxMagnet = ReadSetting(iniPath, "max_magnet", defaults.maxMagnet);
    g_physics.dimple = ReadSetting(iniPath, "dimple", defaults.dimple);

    // Both integers use the default text of "dimple" (" 0.01500"), whose integer value is 0.
    char dimpleDefault[32];
    std::snprintf(dimpleDefault, sizeof dimpleDefault, "%8.5f", double(defaults.dimple));
    g_physics.collideWidth = ReadIniInt(iniPath, "setup", "collidew", dimpleDefault, 0, kMaxBallWidth);
    g_physics.ballWidth = ReadIniInt(iniPath, "setup", "ballw", dimpleDefault, 0, kMaxBallWidth);
}
