#pragma once

#include <memory>
#include <string>

class Engine;

// The program's GStreamer engine with a silent audio output, in a file of its own so the test
// files need not see the GStreamer headers.
std::unique_ptr<Engine> makeQuietRealEngine(const std::string& bookmarkFile);
