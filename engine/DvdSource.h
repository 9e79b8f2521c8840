#pragma once

#include <gst/gst.h>

#include <atomic>
#include <mutex>
#include <string>

namespace gstdvd {

// The DVD source inside a playbin: gives it its device and start mode as playbin creates it,
// tracks whether its navigator holds a still picture, and jumps to a title safely.
//
// The navigator clears its still only when a menu is called or a button activated; a title or
// chapter jump out of a still leaves it set, and the source then loops inside the seek for a
// navigation block that never comes, holding the caller. So a jump from a menu or a still first calls a menu (which lets go
// of the still) while the source is held from reading on into that menu's own still.
class DvdSource {
public:
    explicit DvdSource(bool runFirstPlay);
    ~DvdSource();
    DvdSource(const DvdSource&) = delete;
    DvdSource& operator=(const DvdSource&) = delete;

    // Hooks into playbin; call once, before it starts.
    void attach(GstElement* playbin);
    void setDevice(const std::string& device);

    // Asks the source itself, not through the pipeline: its answer does not wait for, nor fail
    // in, a flush of the elements after it. False when the source is not there (yet).
    bool query(GstQuery* query) const;

    // Hands a navigation event (taken) straight to the source's own event handling. Only for
    // freeing a source stuck in a seek of its own: that seek holds the source's state lock and
    // has left every pad after it flushing, so an event sent or pushed the usual way waits or is
    // dropped. False when the source is not there.
    bool sendToSource(GstEvent* event) const;

    // The navigator is showing a still picture (a menu, mostly).
    bool inStill() const { return inStill_; }

    // Jumps to the title through `sink` (which passes the seek up to the source). When the
    // navigator may hold a still, `clearingMenu` (a navigation command calling a menu the disc
    // has) is sent first; -1 (a disc without menus) jumps at once.
    bool jumpToTitle(GstElement* sink, int title, bool fromMenu, int clearingMenu);

private:
    static void onSourceSetup(GstElement* playbin, GstElement* source, gpointer self);
    static void onDeepElementAdded(GstBin* bin, GstBin* subBin, GstElement* element, gpointer self);
    static GstPadProbeReturn onSourceEvent(GstPad* pad, GstPadProbeInfo* info, gpointer self);
    void setSourcePad(GstPad* pad);
    // The navigating source's pad (a new reference), null before playbin has made it.
    GstPad* sourcePad() const;

    bool runFirstPlay_;
    mutable std::mutex mutex_;
    std::string device_;
    GstPad* sourcePad_ = nullptr;
    std::atomic<bool> inStill_{false};
};

}  // namespace gstdvd
