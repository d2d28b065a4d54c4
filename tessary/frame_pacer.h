// Paces the main loop to a fixed number of passes a second. The game's speeds are pixels per frame, so
// the frame rate is the game's speed: without a cap a 144 Hz screen (the display presents with vsync)
// would play 2.4 times as fast as a 60 Hz one. The pacer keeps an absolute schedule, so a pass that
// comes late (waiting for the screen) is made up by the next one and the average rate stays exact. On a
// virtual clock (headless runs) the waits return at once: time moves only with frames there.
#pragma once

#include <cstdint>

class FramePacer {
  public:
    // Passes per second; 0 or less switches pacing off.
    explicit FramePacer(int ratePerSecond);

    // Waits until the next pass is due. A loop that fell more than a few passes behind (a stall, a modal
    // popup) starts a new schedule instead of racing to catch up.
    void WaitForNextPass();

  private:
    double periodMs_ = 0.0;
    double nextDueMs_ = 0.0;
    bool started_ = false;
};
