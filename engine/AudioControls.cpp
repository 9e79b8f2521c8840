// Volume, balance and mute: kept by the engine, so they can be set before a disc plays.
#include "engine/EngineCore.h"

#include <cmath>

namespace gstdvd {

// Hundredths of a decibel to a linear gain; the bottom of the scale is silence.
double volumeGain(int32_t volume)
{
    if (volume <= -10000)
        return 0.0;
    return std::pow(10.0, volume / 2000.0);
}

}  // namespace gstdvd

void GstEngine::Core::applyAudio()
{
    // playbin keeps these while no disc plays and applies them to the next stream. The panel
    // gives the balance twice a second while playing: only a change reaches the pipeline.
    if (volume != appliedVolume) {
        pipeline->setVolume(gstdvd::volumeGain(volume));
        appliedVolume = volume;
    }
    if (muted != appliedMuted) {
        pipeline->setMute(muted);
        appliedMuted = muted;
    }
    if (balance != appliedBalance) {
        pipeline->setPanorama(balance / 10000.0);
        appliedBalance = balance;
    }
}
