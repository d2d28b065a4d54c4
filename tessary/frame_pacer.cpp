#include "tessary/frame_pacer.h"

#include "host/win/clock.h"

namespace {
// Behind by more than this many passes: start afresh.
constexpr double kMaxPassesBehind = 4.0;
} // namespace

FramePacer::FramePacer(int ratePerSecond) : periodMs_(ratePerSecond > 0 ? 1000.0 / ratePerSecond : 0.0) {}

void FramePacer::WaitForNextPass() {
    if (periodMs_ <= 0.0) return;
    const double now = static_cast<double>(HostNowMs());
    if (!started_ || now - nextDueMs_ > kMaxPassesBehind * periodMs_) {
        started_ = true;
        nextDueMs_ = now;
        return;
    }
    nextDueMs_ += periodMs_;
    if (nextDueMs_ > now) HostPaceWait(static_cast<DWORD>(nextDueMs_ - now));
}
