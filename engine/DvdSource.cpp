#include "engine/DvdSource.h"

#include <gst/video/navigation.h>
#include <gst/video/video-event.h>

namespace gstdvd {

DvdSource::DvdSource(bool runFirstPlay) : runFirstPlay_(runFirstPlay) {}

DvdSource::~DvdSource()
{
    setSourcePad(nullptr);
}

void DvdSource::attach(GstElement* playbin)
{
    // The device goes in at source-setup: a path inside a URI would need escaping that the DVD
    // source does not undo.
    g_signal_connect(playbin, "source-setup", G_CALLBACK(&DvdSource::onSourceSetup), this);
    g_signal_connect(playbin, "deep-element-added", G_CALLBACK(&DvdSource::onDeepElementAdded), this);
}

void DvdSource::setDevice(const std::string& device)
{
    std::lock_guard<std::mutex> lock(mutex_);
    device_ = device;
}

GstPad* DvdSource::sourcePad() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return sourcePad_ ? GST_PAD(gst_object_ref(sourcePad_)) : nullptr;
}

bool DvdSource::query(GstQuery* query) const
{
    GstPad* pad = sourcePad();
    if (!pad)
        return false;
    const bool answered = gst_pad_query(pad, query);
    gst_object_unref(pad);
    return answered;
}

bool DvdSource::sendToSource(GstEvent* event) const
{
    GstPad* pad = sourcePad();
    GstObject* parent = pad ? gst_pad_get_parent(pad) : nullptr;
    const GstPadEventFunction handle = pad ? GST_PAD_EVENTFUNC(pad) : nullptr;
    bool sent = false;
    if (handle && parent)
        sent = handle(pad, parent, event);
    else
        gst_event_unref(event);
    if (parent)
        gst_object_unref(parent);
    if (pad)
        gst_object_unref(pad);
    return sent;
}

void DvdSource::onSourceSetup(GstElement*, GstElement* source, gpointer self)
{
    auto* dvd = static_cast<DvdSource*>(self);
    std::lock_guard<std::mutex> lock(dvd->mutex_);
    g_object_set(source, "device", dvd->device_.c_str(), nullptr);
}

void DvdSource::onDeepElementAdded(GstBin*, GstBin*, GstElement* element, gpointer self)
{
    // The navigating source sits inside the DVD bin, made after source-setup.
    if (!g_object_class_find_property(G_OBJECT_GET_CLASS(element), "fast-start"))
        return;
    auto* dvd = static_cast<DvdSource*>(self);
    g_object_set(element, "fast-start", dvd->runFirstPlay_ ? FALSE : TRUE, nullptr);
    GstPad* pad = gst_element_get_static_pad(element, "src");
    dvd->setSourcePad(pad);
    if (pad)
        gst_object_unref(pad);
}

void DvdSource::setSourcePad(GstPad* pad)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (sourcePad_)
        gst_object_unref(sourcePad_);
    sourcePad_ = pad ? GST_PAD(gst_object_ref(pad)) : nullptr;
    inStill_ = false;
    if (pad) {
        gst_pad_add_probe(pad,
                          static_cast<GstPadProbeType>(GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM | GST_PAD_PROBE_TYPE_EVENT_FLUSH),
                          &DvdSource::onSourceEvent, this, nullptr);
    }
}

GstPadProbeReturn DvdSource::onSourceEvent(GstPad*, GstPadProbeInfo* info, gpointer self)
{
    auto* dvd = static_cast<DvdSource*>(self);
    GstEvent* event = GST_PAD_PROBE_INFO_EVENT(info);
    gboolean still = FALSE;
    if (gst_video_event_parse_still_frame(event, &still))
        dvd->inStill_ = still;
    else if (GST_EVENT_TYPE(event) == GST_EVENT_FLUSH_STOP)
        // Only a menu call or a button (which clear the still) or our own safe jump flush the
        // source while it holds a still.
        dvd->inStill_ = false;
    return GST_PAD_PROBE_OK;
}

namespace {

GstPadProbeReturn holdBuffers(GstPad*, GstPadProbeInfo*, gpointer)
{
    return GST_PAD_PROBE_OK;
}

bool seekTitle(GstElement* sink, int title)
{
    const GstFormat titleFormat = gst_format_get_by_nick("title");
    if (titleFormat == GST_FORMAT_UNDEFINED)
        return false;
    return gst_element_send_event(sink, gst_event_new_seek(1.0, titleFormat, GST_SEEK_FLAG_FLUSH, GST_SEEK_TYPE_SET,
                                                           title, GST_SEEK_TYPE_NONE, -1));
}

}  // namespace

bool DvdSource::jumpToTitle(GstElement* sink, int title, bool fromMenu, int clearingMenu)
{
    // A disc without menus has no menu still to be held in; a jump is all there is to do.
    if ((!fromMenu && !inStill_) || clearingMenu < 0)
        return seekTitle(sink, title);
    GstPad* pad = sourcePad();
    if (!pad)
        return false;
    // Hold the source after its first block, so it cannot reach the called menu's still
    // before the title seek.
    const gulong hold = gst_pad_add_probe(pad, static_cast<GstPadProbeType>(GST_PAD_PROBE_TYPE_BLOCK | GST_PAD_PROBE_TYPE_BUFFER),
                                          &holdBuffers, nullptr, nullptr);
    gst_element_send_event(sink, gst_navigation_event_new_command(static_cast<GstNavigationCommand>(clearingMenu)));
    const bool jumped = seekTitle(sink, title);
    gst_pad_remove_probe(pad, hold);
    gst_object_unref(pad);
    return jumped;
}

}  // namespace gstdvd
