// The physics settings of the balls, read from section "setup" of the game's setup.ini.
#pragma once

struct PhysicsSettings {
    float speed = 3.0f;      // "speed": the base factor of friction, magnet and dimples
    float friction = 0.004f; // "friction": deceleration = friction x speed, per second of frames
    float magnet = 0.02f;    // "magnet": magnet force factor
    float maxMagnet = 0.03f; // "max_magnet": magnet force cap factor
    float dimple = 0.015f;   // "dimple": dimple force factor
    int collideWidth = 0;    // "collidew": ball-to-ball collision distance in pixels
    int ballWidth = 0;       // "ballw": ball diameter in pixels (edge and wall probes use half of it)
};

// The program's settings, filled by LoadPhysicsSettings.
extern PhysicsSettings g_physics;

// The largest "collidew" and "ballw" kept; larger values are clamped (negative ones become 0).
constexpr int kMaxBallWidth = 4096;

// Fills g_physics from section "setup" of iniPath. Each float's default is its default value formatted
// with "%8.5f"; a value that is not a finite number keeps that default. "collidew" and "ballw" are read
// with the default text of "dimple", whose integer value is 0, so a setup file must give both.
void LoadPhysicsSettings(const char* iniPath);
