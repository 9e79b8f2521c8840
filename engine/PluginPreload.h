#pragma once

namespace gstdvd {

// Loads the GStreamer plugins a disc's playback uses (the DVD source and demuxer, the decoders,
// playbin's own parts, the sinks) and makes each element once, so the
// first play after start-up does not pay for it. Meant for a background thread at start-up:
// it takes a few hundred milliseconds, which the user spends reaching for the play button.
void preloadPlaybackPlugins();

// Makes playbin pick libmpeg2's decoder for the disc's pictures where it is installed. Before
// the first pipeline is made.
void preferLeanDecoders();

}  // namespace gstdvd
