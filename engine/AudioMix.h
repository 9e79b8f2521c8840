#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace gstdvd {

class Pipeline;

// Volume, balance and mute as the program set them, kept so that they can be set before a disc
// plays, and handed to the pipeline only when they change.
class AudioMix {
public:
    // -10000 (silence) to 0 (full); false with the reason outside the scale.
    bool setVolume(int32_t volume, std::string* error);
    // -10000 (left only) to 10000 (right only).
    bool setBalance(int32_t balance, std::string* error);
    void setMuted(bool muted) { muted_ = muted; }
    bool muted() const { return muted_; }

    void applyTo(Pipeline& pipeline);

private:
    int32_t volume_ = 0;
    int32_t balance_ = 0;
    bool muted_ = false;
    std::optional<int32_t> appliedVolume_;
    std::optional<int32_t> appliedBalance_;
    std::optional<bool> appliedMuted_;
};

// The gain for a volume of the stored scale (-10000 silent to 0 full), as a desktop slider's.
double volumeGain(int32_t volume);

}  // namespace gstdvd
