// The engine's insides: building the pipeline, and how failures are told.
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
    pipeline = std::make_unique<gstdvd::Pipeline>(frames->element(), audioSink, options.runFirstPlay, handlers);
    scanTimer = new QTimer(context.get());
    scanTimer->setInterval(100);
    QObject::connect(scanTimer, &QTimer::timeout, context.get(), [this] { scanTick(); });
    applyAudio();
}

GstEngine::Core::~Core()
{
    scanTimer->stop();
    // The pipelines first: no streaming thread may deliver into what follows.
    scanDecoder.reset();
    pipeline.reset();
    context.reset();
    frames.reset();
}

bool GstEngine::Core::fail(const char* operation, const std::string& reason)
{
    std::string text = std::string(operation) + ": " + reason;
    if (text != lastFailure) {
        std::fprintf(stderr, "quorvel: %s\n", text.c_str());
        lastFailure = std::move(text);
    }
    return false;
}
