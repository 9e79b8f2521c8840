// The engine's insides: building the pipeline, and taking it down in order.
#include "engine/EngineCore.h"

#include <gst/gst.h>

#include <cstdio>

GstEngine::Core::Core(GstEngineOptions opts)
    : options(std::move(opts)), context(std::make_unique<QObject>()), catalog(options.discSearch),
      bookmarks(options.bookmarkFile)
{
    if (!gst_is_initialized()) {
        GError* error = nullptr;
        if (!gst_init_check(nullptr, nullptr, &error)) {
            std::fprintf(stderr, "quorvel: GStreamer cannot start: %s\n", error ? error->message : "unknown error");
            if (error)
                g_error_free(error);
        }
    }
    frames = std::make_unique<gstdvd::FrameSink>(context.get());
    GstElement* audioSink = options.makeAudioSink ? options.makeAudioSink() : nullptr;
    gstdvd::Pipeline::Handlers handlers;
    handlers.failed = [this](const std::string& reason) { playbackFailed(reason); };
    handlers.ended = [this] { playbackEnded(); };
    pipeline = std::make_unique<gstdvd::Pipeline>(frames->element(), frames->upstreamEnd(), audioSink, options.runFirstPlay, handlers);
    scanner = std::make_unique<gstdvd::Scanner>(*pipeline, *frames, context.get(),
                                                [this](const char* operation, const std::string& reason) {
                                                    fail(operation, reason);
                                                });
    audio.applyTo(*pipeline);
}

GstEngine::Core::~Core()
{
    // The pipelines first: no streaming thread may deliver into what follows.
    scanner.reset();
    pipeline.reset();
    context.reset();
    frames.reset();
}
