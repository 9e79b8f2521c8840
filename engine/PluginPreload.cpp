#include "engine/PluginPreload.h"

#include <gst/gst.h>

namespace gstdvd {

namespace {

// What playing a disc makes, as GStreamer's element factory logs it, and the sinks that may
// stand behind autoaudiosink.
constexpr const char* kPlaybackElements[] = {
    "playbin", "uridecodebin", "decodebin", "typefind", "rsndvdbin", "multiqueue", "queue", "mpegvideoparse",
    "mpeg2dec", "a52dec", "dvdlpcmdec", "dvdspu", "subtitleoverlay", "deinterlace",
    "videobalance", "videoconvert", "videoscale", "videoconvertscale", "autoconvert", "audioconvert",
    "audioresample", "volume", "audiopanorama", "capsfilter", "appsink", "identity", "tee", "fakesink",
    "autoaudiosink", "pulsesink", "alsasink",
};

}  // namespace

void preferLeanDecoders()
{
    // libmpeg2 decodes a DVD's pictures in less CPU time than FFmpeg's decoder (a quarter less
    // on a 6 Mbit/s PAL stream, on one thread where FFmpeg's uses several), and its plugin is
    // small. The DVD source's own decoder makes every decoder of the stream's kind to ask it
    // what it can give, so the others are taken out of the choice altogether: otherwise FFmpeg's
    // plugin maps FFmpeg's libraries and all they link, some 40 MB resident for nothing. Where
    // libmpeg2's plugin is missing, nothing changes.
    GstRegistry* registry = gst_registry_get();
    GstPluginFeature* lean = gst_registry_lookup_feature(registry, "mpeg2dec");
    if (!lean)
        return;
    gst_object_unref(lean);
    GstCaps* dvdVideo = gst_caps_from_string("video/mpeg, mpegversion=(int)[1, 2], systemstream=(boolean)false");
    GList* decoders = gst_element_factory_list_get_elements(GST_ELEMENT_FACTORY_TYPE_DECODER, GST_RANK_MARGINAL);
    GList* others = gst_element_factory_list_filter(decoders, dvdVideo, GST_PAD_SINK, FALSE);
    for (GList* item = others; item; item = item->next) {
        GstPluginFeature* feature = GST_PLUGIN_FEATURE(item->data);
        if (g_strcmp0(gst_plugin_feature_get_name(feature), "mpeg2dec") != 0)
            gst_plugin_feature_set_rank(feature, GST_RANK_NONE);
    }
    gst_plugin_feature_list_free(others);
    gst_plugin_feature_list_free(decoders);
    gst_caps_unref(dvdVideo);
}

void preloadPlaybackPlugins()
{
    for (const char* name : kPlaybackElements) {
        if (GstElement* element = gst_element_factory_make(name, nullptr))
            gst_object_unref(gst_object_ref_sink(element));
    }
}

}  // namespace gstdvd
