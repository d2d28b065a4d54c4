// The game's frame rate. Speeds are in pixels per frame, and every per-second quantity (friction, the
// magnet, dimples) is divided by the measured rate so that it is spread over the frames of a second.
#pragma once

// The engine's last measured frames per second, refreshed by the main loop at the start of every pass.
// 0 until the engine has measured a first rate (about two seconds after start-up).
extern float fps;

// The rate the physics assumes while no usable rate is measured.
constexpr float kNominalFrameRate = 60.0f;

// fps when it is a usable rate (finite and above 0), else kNominalFrameRate: what every per-frame
// division uses, so a missing or broken measurement never divides by 0.
float PhysicsFrameRate();
