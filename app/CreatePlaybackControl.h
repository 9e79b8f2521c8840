#pragma once

#include <QString>
#include <memory>

class Engine;

// The program's playback control: the GStreamer DVD engine, or, when GStreamer or one of the
// plugins it needs is missing, a stand-in that keeps the settings working and refuses to play
// (the reason goes to standard error).
std::unique_ptr<Engine> createPlaybackControl(const QString& bookmarkFile);
