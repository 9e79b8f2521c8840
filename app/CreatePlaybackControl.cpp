#include "app/CreatePlaybackControl.h"

#include "engine/GstEngine.h"
#include "playback/StandInEngine.h"

#include <QFile>
#include <gst/gst.h>

#include <cstdio>

std::unique_ptr<Engine> createPlaybackControl(const QString& bookmarkFile)
{
    GError* error = nullptr;
    if (!gst_init_check(nullptr, nullptr, &error)) {
        std::fprintf(stderr, "quorvel: GStreamer cannot start: %s\n", error ? error->message : "unknown error");
        if (error)
            g_error_free(error);
        return std::make_unique<StandInEngine>();
    }
    for (const char* element : {"playbin", "rsndvdbin", "appsink", "videoconvert", "audiopanorama", "volume"}) {
        GstElementFactory* factory = gst_element_factory_find(element);
        if (!factory) {
            std::fprintf(stderr,
                         "quorvel: the GStreamer element '%s' is missing; DVDs cannot play "
                         "(run tools/install-deps)\n",
                         element);
            return std::make_unique<StandInEngine>();
        }
        gst_object_unref(factory);
    }
    GstEngineOptions options;
    options.bookmarkFile = QFile::encodeName(bookmarkFile).toStdString();
    return std::make_unique<GstEngine>(options);
}
