#include "engine/AudioMix.h"

#include "engine/Pipeline.h"

#include <algorithm>

namespace gstdvd {

double volumeGain(int32_t volume)
{
    // The stored scale reads as hundredths of a decibel, but taken so, the default -5000 ("10" of
    // the dialog's 20) is -50 dB, next to silence. Desktop volume sliders make the gain the cube
    // of the slider's position, which the ear hears as even steps: the middle is about half as
    // loud, the top full and the bottom silent.
    if (volume <= -10000)
        return 0.0;
    const double position = std::min(1.0, (volume + 10000) / 10000.0);
    return position * position * position;
}

bool AudioMix::setVolume(int32_t volume, std::string* error)
{
    if (volume < -10000 || volume > 0) {
        *error = "outside -10000..0: " + std::to_string(volume);
        return false;
    }
    volume_ = volume;
    return true;
}

bool AudioMix::setBalance(int32_t balance, std::string* error)
{
    if (balance < -10000 || balance > 10000) {
        *error = "outside -10000..10000: " + std::to_string(balance);
        return false;
    }
    balance_ = balance;
    return true;
}

void AudioMix::applyTo(Pipeline& pipeline)
{
    // playbin keeps these while no disc plays and applies them to the next stream. The panel
    // gives the balance twice a second while playing: only a change reaches the pipeline.
    if (volume_ != appliedVolume_) {
        pipeline.setVolume(volumeGain(volume_));
        appliedVolume_ = volume_;
    }
    if (muted_ != appliedMuted_) {
        pipeline.setMute(muted_);
        appliedMuted_ = muted_;
    }
    if (balance_ != appliedBalance_) {
        pipeline.setPanorama(balance_ / 10000.0);
        appliedBalance_ = balance_;
    }
}

}  // namespace gstdvd
