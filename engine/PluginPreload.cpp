#include "engine/PluginPreload.h"

#include <gst/gst.h>

namespace gstdvd {

namespace {

// What playing a disc makes, as GStreamer's element factory logs it, and the sinks that may
// stand behind autoaudiosink.
constexpr const char* kPlaybackElements[] = {
    "playbin", "uridecodebin", "decodebin", "typefind", "rsndvdbin", "multiqueue", "queue", "mpegvideoparse",
    "avdec_mpeg2video", "mpeg2dec", "a52dec", "dvdlpcmdec", "dvdspu", "subtitleoverlay", "deinterlace",
    "videobalance", "videoconvert", "videoscale", "videoconvertscale", "autoconvert", "audioconvert",
    "audioresample", "volume", "audiopanorama", "capsfilter", "appsink", "identity", "tee", "fakesink",
    "autoaudiosink", "pulsesink", "alsasink",
};

}  // namespace

void preloadPlaybackPlugins()
{
    for (const char* name : kPlaybackElements) {
        if (GstElement* element = gst_element_factory_make(name, nullptr))
            gst_object_unref(gst_object_ref_sink(element));
    }
    // Type finding of the disc's streams tries the type finders in turn, loading the plugin of
    // each.
    GList* finders = gst_type_find_factory_get_list();
    for (GList* item = finders; item; item = item->next) {
        if (GstPluginFeature* loaded = gst_plugin_feature_load(GST_PLUGIN_FEATURE(item->data)))
            gst_object_unref(loaded);
    }
    gst_plugin_feature_list_free(finders);
}

}  // namespace gstdvd
