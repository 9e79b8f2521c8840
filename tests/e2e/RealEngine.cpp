#include "e2e/RealEngine.h"

#include "engine/GstEngine.h"

#include <gst/gst.h>

std::unique_ptr<Engine> makeQuietRealEngine(const std::string& bookmarkFile)
{
    GstEngineOptions options;
    options.bookmarkFile = bookmarkFile;
    options.makeAudioSink = [] {
        GstElement* sink = gst_element_factory_make("fakesink", nullptr);
        g_object_set(sink, "sync", TRUE, nullptr);
        return sink;
    };
    return std::make_unique<GstEngine>(options);
}
