#pragma once

#include <chrono>
#include <cstdint>

// The bounds the engine keeps to on the window thread.
namespace gstdvd {
// The scan decoder opens its own disc within this, on a thread of its own while the backward
// scan's clock already runs: generous, as a loaded machine or a slow drive needs it (with 400 ms
// one backward scan in six failed to start under the sanitizers).
constexpr int kStartWaitMs = 3000;
// Right after a jump the source has a position again within this.
constexpr int kStateWaitMs = 250;
// How long play, pause and stop wait on the window thread for what came of a state change:
// a failure at once still fails the command; what takes longer goes on by itself.
constexpr int kStateDecideMs = 40;
// How long the window thread waits for the navigator to take a command.
constexpr int kCommandWaitMs = 50;
// A menu button still being handled after this has stayed in a still menu.
constexpr int kButtonSettleMs = 80;
// A button that even calling its menu again cannot free after this has stuck the source.
constexpr int kRunawayMs = 1000;
constexpr int64_t kSecond = 1000000000;
// How long the folder and play commands wait for the disc's reading on the window thread; a
// local disc is read well within it, a drive spinning up goes on in the background.
constexpr int kDiscDecideMs = 40;
constexpr int kDiscPollMs = 20;

inline int64_t wallNow()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}
}  // namespace gstdvd
