// The engine's insides: building the pipeline, and taking it down in order.
#include "engine/EngineCore.h"

#include "engine/PluginPreload.h"

#include <gst/gst.h>

#include <cstdio>

#include <malloc.h>

GstEngine::Core::Core(GstEngineOptions opts)
    : options(std::move(opts)), context(std::make_unique<QObject>()), catalog(options.discSearch),
      bookmarks(options.bookmarkFile)
{
    // Each streaming thread would get a heap arena of its own, and pictures freed in one are
    // kept there for that thread: over a session of both pipelines that is tens of MB held for
    // nothing. Two arenas cost no measurable CPU while playing and keep the peak near 110 MB
    // instead of 130.
    mallopt(M_ARENA_MAX, 2);
    if (!gst_is_initialized()) {
        GError* error = nullptr;
        if (!gst_init_check(nullptr, nullptr, &error)) {
            std::fprintf(stderr, "quorvel: GStreamer cannot start: %s\n", error ? error->message : "unknown error");
            if (error)
                g_error_free(error);
        }
    }
    gstdvd::preferLeanDecoders();
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
    preload = std::make_unique<gstdvd::BackgroundJobs>();
    preload->run(gstdvd::preloadPlaybackPlugins);
}

GstEngine::Core::~Core()
{
    preload.reset();
    // The pipelines first: no streaming thread may deliver into what follows.
    scanner.reset();
    pipeline.reset();
    context.reset();
    frames.reset();
}
