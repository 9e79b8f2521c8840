#include "EngineFixture.h"

#include <gst/gst.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <array>
#include <cmath>

namespace testdisc {

std::string path()
{
    return QUORVEL_TEST_DISC;
}

namespace {
struct Swatch {
    const char* name;
    QRgb colour;
};
// The backgrounds the disc generator paints.
constexpr std::array<Swatch, 12> kSwatches{{
    {"menu 2", 0x0d3b2e},
    {"menu 3", 0x14233f},
    {"menu 4", 0x2f0d3a},
    {"menu 5", 0x0d2f3a},
    {"menu 6", 0x3a0d1a},
    {"menu 7", 0x3a1f0d},
    {"title 1 chapter 1", 0x203a70},
    {"title 1 chapter 2", 0x5a2a6e},
    {"title 1 chapter 3", 0x1f6a4a},
    {"title 1 chapter 4", 0x7a4a1a},
    {"title 2 chapter 1", 0x6a1f2a},
    {"title 2 chapter 2", 0x2a5a6e},
}};
}  // namespace

std::string pictureName(const QImage& frame)
{
    if (frame.isNull())
        return "nothing";
    // A corner block, clear of text and buttons.
    double r = 0, g = 0, b = 0;
    int n = 0;
    for (int y = 8; y < 24; ++y) {
        for (int x = 8; x < 24; ++x) {
            const QRgb p = frame.pixel(x, y);
            r += qRed(p);
            g += qGreen(p);
            b += qBlue(p);
            ++n;
        }
    }
    r /= n;
    g /= n;
    b /= n;
    const char* best = "unknown";
    double bestDistance = 1e9;
    for (const auto& swatch : kSwatches) {
        const double d = std::hypot(r - qRed(swatch.colour), g - qGreen(swatch.colour), b - qBlue(swatch.colour));
        if (d < bestDistance) {
            bestDistance = d;
            best = swatch.name;
        }
    }
    return bestDistance < 12 ? best : "unknown";
}

}  // namespace testdisc

void RecordingOutput::presentFrame(const QImage& frame)
{
    if (frame.isNull()) {
        cleared_ = true;
        last_ = QImage();
        return;
    }
    cleared_ = false;
    ++frames_;
    last_ = frame;
    // Content, not the image object: a picture shown twice counts once.
    uint64_t hash = 1469598103934665603ULL;
    for (int y = 0; y < frame.height(); y += 7) {
        const auto* line = reinterpret_cast<const uchar*>(frame.constScanLine(y));
        for (int x = 0; x < frame.width() * 4; x += 13) {
            hash ^= line[x];
            hash *= 1099511628211ULL;
        }
    }
    if (seen_.empty() || seen_.back() != hash)
        seen_.push_back(hash);
}

int RecordingOutput::takeDistinct()
{
    std::sort(seen_.begin(), seen_.end());
    const int distinct = static_cast<int>(std::unique(seen_.begin(), seen_.end()) - seen_.begin());
    seen_.clear();
    return distinct;
}

GstElement* LevelTap::makeSink()
{
    GstElement* bin = gst_parse_bin_from_description(
        "audioconvert ! audio/x-raw,format=F32LE,channels=2,layout=interleaved ! appsink name=tap sync=true",
        TRUE, nullptr);
    GstElement* sink = gst_bin_get_by_name(GST_BIN(bin), "tap");
    GstAppSinkCallbacks callbacks {};
    callbacks.new_sample = &LevelTap::onSample;
    gst_app_sink_set_callbacks(GST_APP_SINK(sink), &callbacks, this, nullptr);
    gst_object_unref(sink);
    return bin;
}

GstFlowReturn LevelTap::onSample(GstAppSink* sink, gpointer self)
{
    GstSample* sample = gst_app_sink_pull_sample(sink);
    if (!sample)
        return GST_FLOW_OK;
    auto* tap = static_cast<LevelTap*>(self);
    GstBuffer* buffer = gst_sample_get_buffer(sample);
    GstMapInfo map;
    if (buffer && gst_buffer_map(buffer, &map, GST_MAP_READ)) {
        const auto* samples = reinterpret_cast<const float*>(map.data);
        const size_t frames = map.size / (2 * sizeof(float));
        double left = 0, right = 0;
        std::lock_guard<std::mutex> lock(tap->mutex_);
        for (size_t i = 0; i < frames; ++i) {
            left += double(samples[2 * i]) * samples[2 * i];
            right += double(samples[2 * i + 1]) * samples[2 * i + 1];
            // A small dead band keeps decoder noise in silence from counting.
            const float sample = samples[2 * i];
            if ((tap->lastPositive_ && sample < -1e-3f) || (!tap->lastPositive_ && sample > 1e-3f)) {
                tap->lastPositive_ = !tap->lastPositive_;
                ++tap->crossings_;
            }
        }
        gst_buffer_unmap(buffer, &map);
        tap->sumLeft_ += left;
        tap->sumRight_ += right;
        tap->count_ += frames;
    }
    gst_sample_unref(sample);
    return GST_FLOW_OK;
}

void LevelTap::reset()
{
    std::lock_guard<std::mutex> lock(mutex_);
    sumLeft_ = sumRight_ = 0;
    count_ = 0;
    crossings_ = 0;
}

double LevelTap::frequency() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    // Two crossings a period, 48000 frames a second.
    return count_ ? crossings_ / 2.0 * 48000.0 / count_ : 0;
}

double LevelTap::left() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return count_ ? std::sqrt(sumLeft_ / count_) : -1;
}

double LevelTap::right() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return count_ ? std::sqrt(sumRight_ / count_) : -1;
}

namespace {

// Sleeps in the event loop (not a busy loop: the pipeline's threads need the cores).
void turnEventLoop(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

}  // namespace

bool waitUntil(const std::function<bool()>& condition, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > timeoutMs)
            return false;
        turnEventLoop(10);
    }
    return true;
}

void runFor(int ms)
{
    turnEventLoop(ms);
}

void EngineTest::SetUp()
{
    ASSERT_TRUE(QFileInfo::exists(QString::fromStdString(testdisc::path() + "/VIDEO_TS/VIDEO_TS.IFO")))
        << "build the testdisc target first";
    ASSERT_TRUE(temp.isValid());
    makeEngine();
}

void EngineTest::TearDown()
{
    engine.reset();
}

GstEngineOptions EngineTest::options()
{
    GstEngineOptions o;
    o.bookmarkFile = temp.filePath("quorvel2.bookmark").toStdString();
    o.makeAudioSink = [this] { return tap.makeSink(); };
    // No drive or mount of the test machine may be found by accident.
    o.discSearch.drivePatterns.clear();
    o.discSearch.mountPatterns.clear();
    return o;
}

void EngineTest::makeEngine()
{
    engine.reset();
    engine = std::make_unique<GstEngine>(options());
    engine->setVideoOutput(&output);
}

void EngineTest::playToRootMenu()
{
    ASSERT_TRUE(engine->EngineDirectory(testdisc::path()));
    ASSERT_TRUE(engine->EnginePlay());
    ASSERT_TRUE(waitUntil([&] { return testdisc::pictureName(output.last()) == "menu 3"; }))
        << "showing " << testdisc::pictureName(output.last());
}

void EngineTest::playTitle(int title)
{
    // A click counts once the menu's navigation packet is active; until the title starts,
    // click again.
    ASSERT_TRUE(waitUntil([&] {
        if (engine->EngineTitle() == 0)
            click(testdisc::kButtonX, title == 1 ? testdisc::kPlayTitle1Y : testdisc::kPlayTitle2Y);
        return engine->EngineTitle() == title && seconds() > 0.2;
    })) << "title " << engine->EngineTitle().value_or(-1);
}

void EngineTest::click(double x, double y, int storedHeight)
{
    const QImage frame = output.last();
    ASSERT_FALSE(frame.isNull());
    engine->pointerClicked(x * frame.width() / 720.0, y * frame.height() / double(storedHeight));
}

bool EngineTest::shows(int x, int y, QRgb colour, int storedHeight)
{
    const QImage frame = output.last();
    return !frame.isNull() && near(storedPixel(frame, x, y, storedHeight), colour);
}

void EngineTest::playUntil(const std::string& disc, int x, int y, QRgb colour, int storedHeight)
{
    ASSERT_TRUE(engine->EngineDirectory(disc));
    ASSERT_TRUE(engine->EnginePlay());
    ASSERT_TRUE(waitUntil([&] { return shows(x, y, colour, storedHeight); }))
        << "showing " << std::hex << (output.last().isNull() ? 0 : storedPixel(output.last(), x, y, storedHeight));
}

void EngineTest::clickUntil(int x, int y, int px, int py, QRgb colour, int storedHeight)
{
    QElapsedTimer sinceClick;
    ASSERT_TRUE(waitUntil([&] {
        if (shows(px, py, colour, storedHeight))
            return true;
        if (!sinceClick.isValid() || sinceClick.elapsed() > 300) {
            click(x, y, storedHeight);
            sinceClick.start();
        }
        return false;
    })) << "showing " << std::hex << (output.last().isNull() ? 0 : storedPixel(output.last(), px, py, storedHeight));
}

void EngineTest::move(double x, double y)
{
    const QImage frame = output.last();
    ASSERT_FALSE(frame.isNull());
    engine->pointerMoved(x * frame.width() / 720.0, y * frame.height() / 576.0);
}

double EngineTest::seconds()
{
    const auto position = engine->positionNs();
    return position ? *position / 1e9 : -1;
}

namespace corpus {
std::string path(const std::string& kind)
{
    return std::string(QUORVEL_TEST_CORPUS) + "/" + kind;
}
}  // namespace corpus

QRgb storedPixel(const QImage& frame, int x, int y, int storedHeight)
{
    const int fx = static_cast<int>((x + 0.5) * frame.width() / 720.0);
    const int fy = static_cast<int>((y + 0.5) * frame.height() / double(storedHeight));
    return frame.pixel(std::clamp(fx, 0, frame.width() - 1), std::clamp(fy, 0, frame.height() - 1));
}

bool near(QRgb a, QRgb b, int tolerance)
{
    return std::abs(qRed(a) - qRed(b)) <= tolerance && std::abs(qGreen(a) - qGreen(b)) <= tolerance
        && std::abs(qBlue(a) - qBlue(b)) <= tolerance;
}

std::string copyDisc(const std::string& folder)
{
    const QString target = QString::fromStdString(folder) + "/VIDEO_TS";
    QDir().mkpath(target);
    const QDir source(QString::fromStdString(testdisc::path() + "/VIDEO_TS"));
    for (const QString& name : source.entryList(QDir::Files))
        QFile::copy(source.filePath(name), target + "/" + name);
    return folder;
}
