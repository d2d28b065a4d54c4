// Presenting frames and measuring the frame rate (internal side; the exported functions are in quib.h).
#pragma once

// Forgets the frame-rate measurement (previous flip time, window, count, published rate), as at load.
// Only for tests, which measure many runs in one process.
void FlipResetFrameRateForTests();
