#pragma once

#include "engine/GstEngine.h"
#include "support/ResidentMemory.h"
#include "playback/VideoOutput.h"

#include <gst/app/gstappsink.h>
#include <gtest/gtest.h>

#include <QImage>
#include <QTemporaryDir>

#include <functional>
#include <memory>
#include <mutex>
#include <string>

// What the generated test disc holds (tools/testdisc/make-test-disc): the tests read the
// picture's background colour to tell which menu or chapter is on screen.
namespace testdisc {
std::string path();
// Button centres in the 720x576 picture of the root menu.
constexpr int kButtonX = 360;
constexpr int kPlayTitle1Y = 226;
constexpr int kPlayTitle2Y = 294;
// Each picture's background, by name: "menu 2".."menu 7", "title 1 chapter 1"...
std::string pictureName(const QImage& frame);
}  // namespace testdisc

// The picture side, as the screen window's video area would be.
class RecordingOutput : public VideoOutput {
public:
    void presentFrame(const QImage& frame) override;
    int frames() const { return frames_; }
    QImage last() const { return last_; }
    bool cleared() const { return cleared_; }
    // Distinct pictures shown since the last call (by content).
    int takeDistinct();

private:
    int frames_ = 0;
    QImage last_;
    bool cleared_ = false;
    std::vector<uint64_t> seen_;
};

// The audio output replaced by a measuring sink: loudness per channel after the engine's
// volume, balance and mute.
class LevelTap {
public:
    GstElement* makeSink();
    void reset();
    // Root-mean-square level of each channel since the last reset; -1 when nothing arrived.
    double left() const;
    double right() const;
    // Pitch of the left channel since the last reset, from its zero crossings; 0 when silent.
    double frequency() const;

private:
    static GstFlowReturn onSample(GstAppSink* sink, gpointer self);
    mutable std::mutex mutex_;
    double sumLeft_ = 0;
    double sumRight_ = 0;
    uint64_t count_ = 0;
    uint64_t crossings_ = 0;
    bool lastPositive_ = false;
};

// Runs Qt's event loop (which runs the bus watch) until the condition holds or the time is up.
bool waitUntil(const std::function<bool()>& condition, int timeoutMs = 5000);
void runFor(int ms);

class EngineTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    GstEngineOptions options();
    void makeEngine();
    // Plays the disc into its root menu (the first-play program leads there).
    void playToRootMenu();
    // From the root menu, by clicking its button.
    void playTitle(int title);
    // In video coordinates of the stored picture (720x576, or 720x480 for NTSC).
    void click(double x, double y, int storedHeight = 576);
    void move(double x, double y);
    // Plays the disc and waits until pixel (x, y) of the stored picture shows `colour`.
    void playUntil(const std::string& disc, int x, int y, QRgb colour, int storedHeight = 576);
    // Clicks the button at (x, y) until pixel (px, py) shows `colour`: a click counts only once
    // the menu's navigation packet is active.
    void clickUntil(int x, int y, int px, int py, QRgb colour, int storedHeight = 576);
    bool shows(int x, int y, QRgb colour, int storedHeight = 576);
    double seconds();

    QTemporaryDir temp;
    LevelTap tap;
    RecordingOutput output;
    std::unique_ptr<GstEngine> engine;
};

// The discs of the corpus (tools/testdisc/make-corpus-disc, make-angle-disc), by kind.
namespace corpus {
std::string path(const std::string& kind);
}

// The picture's pixel at a point of the disc's stored picture (720 wide, `storedHeight` high),
// as the frame shows it scaled to square pixels.
QRgb storedPixel(const QImage& frame, int x, int y, int storedHeight = 576);
// Whether two colours are the same but for the decoder's rounding.
bool near(QRgb a, QRgb b, int tolerance = 14);

// A copy of the test disc that a test may damage.
std::string copyDisc(const std::string& folder);
