#pragma once

#include "engine/BackgroundJobs.h"
#include "engine/ReverseScan.h"
#include "engine/ScanDecoder.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

class QObject;
class QTimer;

namespace gstdvd {

class FrameSink;
class Pipeline;

// Scanning forwards and backwards through a title.
//
// Forwards the source keeps up with a fast playback rate by itself. Backwards it cannot read,
// and a negative rate drowns it in errors, so stretches of the title are decoded forwards by a
// second decoder and shown newest-first (see ReverseScan, ScanDecoder) while the playing
// pipeline waits. Either way the sound is silenced while scanning, and the scan ends by itself
// at the title's end or start, going on at normal speed there.
class Scanner {
public:
    enum class Direction { None, Forward, Backward };
    using Report = std::function<void(const char* operation, const std::string& reason)>;

    // The pipeline and the frames outlive the scanner; its timer runs on context's thread.
    Scanner(Pipeline& pipeline, FrameSink& frames, QObject* context, Report report);
    ~Scanner();
    Scanner(const Scanner&) = delete;
    Scanner& operator=(const Scanner&) = delete;

    Direction direction() const { return direction_; }
    bool active() const { return direction_ != Direction::None; }
    // Where the picture is: the pipeline's position, or the backward scan's own clock.
    std::optional<int64_t> position() const;

    // From the playing title at `from` (title time, nanoseconds); false (reported) when the
    // source or the scanning decoder refuses.
    bool forward(double rate, int title, int64_t from);
    bool backward(double rate, int title, int64_t from, const std::string& device, int clearingMenu);
    // With resumeNormal the picture goes on at normal speed from where the scan had got to,
    // otherwise the caller is about to move elsewhere anyway; playOn sets the waiting pipeline
    // playing again (not when playback is stopping or pausing).
    void end(bool resumeNormal, bool playOn);
    // The disc has closed: so does the scanning decoder's.
    void discClosed();

private:
    void tick();
    void forwardTick();
    void backwardTick();
    void startFill(const ReverseScan::Fill& fill);
    // Lets the scanning decoder go, with all it holds.
    void retireDecoder();

    Pipeline& pipeline_;
    FrameSink& frames_;
    Report report_;
    QTimer* timer_;
    Direction direction_ = Direction::None;
    double rate_ = 1.0;
    int title_ = 0;
    std::unique_ptr<ReverseScan> reverse_;
    // Exists only while scanning backward: it holds a second pipeline and its pictures.
    std::unique_ptr<ScanDecoder> decoder_;
    // Decoders being closed.
    std::unique_ptr<BackgroundJobs> retiring_ = std::make_unique<BackgroundJobs>();
    // The playing pipeline waits paused while a backward scan shows pictures from the decoder.
    bool parked_ = false;
    std::chrono::steady_clock::time_point fillDeadline_;
};

}  // namespace gstdvd
