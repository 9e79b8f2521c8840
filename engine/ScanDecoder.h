#pragma once

#include "engine/DvdSource.h"
#include "engine/ReverseScan.h"

#include <gst/app/gstappsink.h>
#include <gst/gst.h>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace gstdvd {

// A second, picture-only pipeline on the same disc that decodes stretches of a title for
// backward scanning, as fast as it can and without a clock. It has a navigator of its own, so
// running into a title's end never sets off the disc's program in the navigator that plays;
// and once a stretch is decoded it holds still, so its source reads no further than its
// queues.
class ScanDecoder {
public:
    ScanDecoder();
    ~ScanDecoder();
    ScanDecoder(const ScanDecoder&) = delete;
    ScanDecoder& operator=(const ScanDecoder&) = delete;

    // Opens the disc and goes to the title; waits up to waitMs for the disc to open.
    // `clearingMenu` is a navigation command calling a menu the disc has (see DvdSource).
    bool open(const std::string& device, int title, int clearingMenu, int waitMs, std::string* error);
    // The same on a thread of its own: opening the disc a second time and going to the title
    // takes tens of milliseconds, the window thread does not wait for it. Until readiness()
    // says Ready nothing else may be asked of the decoder but release().
    void openInBackground(const std::string& device, int title, int clearingMenu, int waitMs);
    enum class Readiness { Ready, Opening, Failed };
    Readiness readiness(std::string* error);
    bool isOpen(const std::string& device, int title) const;
    void close();

    // Decodes from `from` (the source lands on a time-map entry at or before it) and keeps the
    // pictures below `until`, at least `spacing` apart.
    bool fill(int64_t from, int64_t until, int64_t spacing);
    // The pictures kept so far; *passedUntil tells whether decoding has gone past `until`.
    std::vector<CapturedFrame> takeCaptured(bool* passedUntil);
    // Stops keeping pictures and lets a held streaming thread go.
    void release();
    // No more bus messages reach the window thread: the decoder may then be closed on
    // another thread.
    void unwatch();

private:
    static GstFlowReturn onSample(GstAppSink* sink, gpointer self);
    // Errors and warnings of the decoder go to standard error like the player's own; after an
    // error the decoder opens afresh at the next scan.
    static gboolean onBusMessage(GstBus* bus, GstMessage* message, gpointer self);
    void handle(GstSample* sample);

    DvdSource source_{false};
    GstElement* playbin_ = nullptr;
    GstElement* sink_ = nullptr;
    std::string device_;
    int title_ = 0;
    bool open_ = false;
    std::atomic<bool> broken_{false};
    std::thread opener_;
    std::atomic<Readiness> readiness_{Readiness::Ready};
    std::string openError_;
    GstBus* bus_ = nullptr;
    guint watch_ = 0;

    std::mutex mutex_;
    std::condition_variable released_;
    bool capturing_ = false;
    bool closing_ = false;
    uint64_t generation_ = 0;
    int64_t from_ = 0;
    int64_t until_ = 0;
    int64_t spacing_ = 0;
    int64_t lastKept_ = -1;
    bool passedUntil_ = false;
    std::vector<CapturedFrame> captured_;
};

}  // namespace gstdvd
