#pragma once

namespace gstdvd {

// Loads the GStreamer plugins a disc's playback uses (the DVD source and demuxer, the decoders,
// playbin's own parts, the sinks, the stream type finders) and makes each element once, so the
// first play after start-up does not pay for it. Meant for a background thread at start-up:
// it takes a few hundred milliseconds, which the user spends reaching for the play button.
void preloadPlaybackPlugins();

}  // namespace gstdvd
