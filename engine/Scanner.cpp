#include "engine/Scanner.h"

#include "engine/EngineTimes.h"
#include "engine/FrameSink.h"
#include "engine/Pipeline.h"

#include <QObject>
#include <QTimer>

#include <malloc.h>

namespace gstdvd {

namespace {

constexpr GstSeekFlags kTrickFlags = static_cast<GstSeekFlags>(GST_SEEK_FLAG_TRICKMODE | GST_SEEK_FLAG_TRICKMODE_NO_AUDIO);
// Forwards the tick only watches for the title's end; backwards it shows each picture, 25 a
// second, so it must come at least that often.
constexpr int kForwardTickMs = 100;
constexpr int kBackwardTickMs = 20;

}  // namespace

Scanner::Scanner(Pipeline& pipeline, FrameSink& frames, QObject* context, Report report)
    : pipeline_(pipeline), frames_(frames), report_(std::move(report)), timer_(new QTimer(context))
{
    QObject::connect(timer_, &QTimer::timeout, context, [this] { tick(); });
}

Scanner::~Scanner()
{
    delete timer_;
    // Its pipeline first: no streaming thread may deliver into what follows.
    decoder_.reset();
    retiring_.reset();
}

void Scanner::retireDecoder()
{
    if (!decoder_)
        return;
    // Closing a pipeline takes tens of milliseconds: not on the window thread. Its bus watch
    // goes here, so nothing of it runs on the window thread meanwhile.
    decoder_->unwatch();
    std::shared_ptr<ScanDecoder> decoder = std::move(decoder_);
    retiring_->run([decoder]() mutable {
        decoder.reset();
        // The held pictures and the decoder's pools were large blocks of the heap; give the
        // pages back instead of keeping them for a scan that may never come.
        malloc_trim(0);
    });
}

std::optional<int64_t> Scanner::position() const
{
    if (direction_ == Direction::Backward && reverse_)
        return reverse_->position(wallNow());
    return pipeline_.position();
}

bool Scanner::forward(double rate, int title, int64_t from)
{
    if (direction_ == Direction::Backward)
        end(false, true);
    pipeline_.setSilenced(true);
    if (!pipeline_.seekTime(rate, from, kTrickFlags)) {
        pipeline_.setSilenced(false);
        report_("fast-forward", "the source refused the fast seek");
        return false;
    }
    direction_ = Direction::Forward;
    rate_ = rate;
    title_ = title;
    timer_->start(kForwardTickMs);
    return true;
}

bool Scanner::backward(double rate, int title, int64_t from, const std::string& device, int clearingMenu)
{
    // A decoder of its own for each backward scan, opened while the clock already runs back.
    if (!decoder_) {
        decoder_ = std::make_unique<ScanDecoder>();
        decoder_->openInBackground(device, title, clearingMenu, kStartWaitMs);
    }
    if (direction_ == Direction::Forward) {
        direction_ = Direction::None;
        timer_->stop();
    }
    reverse_ = std::make_unique<ReverseScan>(rate, from, wallNow());
    if (!parked_) {
        // The picture now comes from the scan decoder; the playing pipeline holds its place.
        frames_.setSuppressed(true);
        std::string error;
        pipeline_.pause(0, &error);
        parked_ = true;
    }
    pipeline_.setSilenced(true);
    direction_ = Direction::Backward;
    rate_ = rate;
    title_ = title;
    timer_->start(kBackwardTickMs);
    backwardTick();
    return true;
}

void Scanner::end(bool resumeNormal, bool playOn)
{
    if (direction_ == Direction::None)
        return;
    timer_->stop();
    const int64_t at = position().value_or(0);
    direction_ = Direction::None;
    reverse_.reset();
    retireDecoder();
    pipeline_.setSilenced(false);
    if (resumeNormal)
        pipeline_.seekTime(1.0, at, GST_SEEK_FLAG_NONE);
    if (parked_) {
        parked_ = false;
        frames_.setSuppressed(false);
        if (playOn) {
            std::string error;
            pipeline_.play(0, &error);
        }
    }
}

void Scanner::discClosed()
{
    retireDecoder();
}

void Scanner::tick()
{
    if (direction_ == Direction::Forward)
        forwardTick();
    else if (direction_ == Direction::Backward)
        backwardTick();
    else
        timer_->stop();
}

void Scanner::forwardTick()
{
    const auto current = pipeline_.positionIn("title");
    if (current && *current != title_) {
        // The source, reading ahead of the picture, has already left the title by the disc's
        // own program, and a jump the navigator makes by itself keeps the fast rate: bring a
        // new title back to normal speed (a menu's still picture does not care).
        direction_ = Direction::None;
        timer_->stop();
        pipeline_.setSilenced(false);
        if (*current > 0)
            pipeline_.seekTime(1.0, pipeline_.position().value_or(0), GST_SEEK_FLAG_NONE);
        return;
    }
    const auto at = pipeline_.position();
    const auto length = pipeline_.duration();
    // The source reads ahead of the picture by the pipeline's queues, close to a second of
    // wall time: slow down before it reaches the end, so that the title ends at normal speed
    // and the disc's program after it runs as it should.
    const auto margin = static_cast<int64_t>((rate_ * 1.2 + 0.5) * kSecond);
    if (at && length && *at + margin >= *length)
        end(true, true);
}

void Scanner::startFill(const ReverseScan::Fill& fill)
{
    reverse_->fillStarted(fill);
    fillDeadline_ = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    // Give up on a stretch that cannot be decoded rather than wait on it; the next one lies
    // lower anyway.
    if (!decoder_->fill(fill.from, fill.until, reverse_->spacing()))
        reverse_->fillFinished();
}

void Scanner::backwardTick()
{
    const int64_t at = reverse_->position(wallNow());
    std::string error;
    switch (decoder_->readiness(&error)) {
    case ScanDecoder::Readiness::Opening:
        // The clock runs back already; the pictures follow once the decoder is in the title.
        if (at <= 0)
            end(true, true);
        return;
    case ScanDecoder::Readiness::Failed:
        report_("rewind", error);
        end(true, true);
        return;
    case ScanDecoder::Readiness::Ready:
        break;
    }
    bool passed = false;
    reverse_->addFrames(decoder_->takeCaptured(&passed));
    if (reverse_->filling() && (passed || std::chrono::steady_clock::now() > fillDeadline_))
        reverse_->fillFinished();
    if (auto frame = reverse_->frameToShow(at))
        frames_.presentPicture(frame->get());
    if (at <= 0) {
        // The title's start: play on from there.
        end(true, true);
        return;
    }
    if (const auto fill = reverse_->fillNeeded(at))
        startFill(*fill);
}

}  // namespace gstdvd
