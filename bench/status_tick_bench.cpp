// Cost of one tick of the panel's read-out timer in the program, against the real engine while a
// title plays: the tick as the panel runs it (the ten reads, the label texts, the balance write),
// with the panel on offscreen Qt.
//
//   status_tick_bench [ticks] [disc folder]
//
// Plays title 1 of the test disc with a clocked fake audio output and no picture output, then
// runs the ticks 20 ms apart with the event loop turning in between (as the window thread does
// between two ticks). Prints median, 95th percentile, worst and mean, in microseconds.

#include "core/AppObjects.h"
#include "core/Settings.h"
#include "panel/Form1.h"
#include "panel/StatusDisplay.h"
#include "playback/PlayState.h"
#include "support/FakePlatform.h"
#include "bench/EventLoopWait.h"
#include "engine/GstEngine.h"

#include <QApplication>
#include <QLabel>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <gst/gst.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <numeric>
#include <string>
#include <vector>

namespace {

double percentile(const std::vector<double>& sorted, double p)
{
    const size_t index = std::min(sorted.size() - 1, static_cast<size_t>(p * static_cast<double>(sorted.size())));
    return sorted[index];
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    FakePlatform platformDouble;
    installPlatform(&platformDouble);
    const int ticks = argc > 1 ? std::atoi(argv[1]) : 200;
    const std::string disc = argc > 2 ? argv[2] : QUORVEL_TEST_DISC;
    if (ticks <= 0) {
        std::fprintf(stderr, "usage: %s [ticks] [disc folder]\n", argv[0]);
        return 2;
    }

    GstEngineOptions options;
    options.makeAudioSink = [] {
        GstElement* sink = gst_element_factory_make("fakesink", nullptr);
        g_object_set(sink, "sync", TRUE, nullptr);
        return sink;
    };
    GstEngine dvd(options);
    if (!dvd.EngineDirectory(disc) || !dvd.EnginePlay()) {
        std::fprintf(stderr, "cannot play the disc in %s\n", disc.c_str());
        return 1;
    }
    // The disc starts in its root menu; its first button plays title 1 (the button spans x 180..540
    // of the 720 wide picture, 192..576 once shown in square pixels, and y 200..252).
    runEventLoopFor(500);
    dvd.pointerClicked(384, 226);
    auto titlePlaying = [&dvd] {
        const auto title = dvd.EngineTitle();
        const auto position = dvd.positionNs();
        return title && *title == 1 && position && *position > 500'000'000;
    };
    if (!waitUntil(titlePlaying, 20'000, 20)) {
        std::fprintf(stderr, "title 1 did not start playing\n");
        return 1;
    }

    installEngine(&dvd);
    Form1 panel;
    installForm1(&panel);
    PlayState = 2;
    Settings.speed = 3;
    for (int i = 0; i < 5; ++i)
        StatusTimerTick();

    std::vector<double> micros;
    micros.reserve(static_cast<size_t>(ticks));
    for (int i = 0; i < ticks; ++i) {
        runEventLoopFor(20);
        const auto start = std::chrono::steady_clock::now();
        StatusTimerTick();
        const auto end = std::chrono::steady_clock::now();
        micros.push_back(std::chrono::duration<double, std::micro>(end - start).count());
    }
    const auto state = dvd.EngineState();
    const auto title = dvd.EngineTitle();
    const auto time = dvd.EngineTimeText();

    std::vector<double> sorted = micros;
    std::sort(sorted.begin(), sorted.end());
    const double mean = std::accumulate(sorted.begin(), sorted.end(), 0.0) / static_cast<double>(sorted.size());
    std::printf("status tick while playing, %d ticks, microseconds:\n", ticks);
    std::printf("  median %.1f  p95 %.1f  worst %.1f  mean %.1f\n", percentile(sorted, 0.5),
                percentile(sorted, 0.95), sorted.back(), mean);
    std::printf("  read-out at the end: %s | %s | %s | %s | %s; engine: state %d, title %d, time %s\n",
                panel.Label1->text().toUtf8().constData(), panel.Label7->text().toUtf8().constData(),
                panel.Label4->text().toUtf8().constData(), panel.Label5->text().toUtf8().constData(),
                panel.Label6->text().toUtf8().constData(), state.value_or(-1), title.value_or(-1),
                time.value_or("?").c_str());
    dvd.EngineStop();
    installForm1(nullptr);
    installEngine(nullptr);
    return state == 2 && title == 1 && panel.Label4->text() == QStringLiteral("Title : 1/2") ? 0 : 1;
}
