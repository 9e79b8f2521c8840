// The real engine on the generated test disc, measured the way the program uses it:
//
//   engine_playback_bench [--cpu-seconds S] [--scan-rates R,R...] [runs] [disc folder]
//
//   1. play -> first picture handed to the video output (ms): once cold (the first play of the
//      process, a second after start-up), then the median of `runs` stop/play cycles;
//   2. chapter skip -> first picture of the new chapter (ms), median of `runs` skips;
//   3. pictures handed out per second while scanning forwards and backwards (all and distinct by
//      content) and the CPU it takes, over 3 s each, at each of the scan rates (5x unless given);
//   4. the ten reads of one status refresh while a title plays (us), median and p95 of 500;
//   5. CPU while playing a title for S seconds (20 unless given), percent of one core (utime +
//      stime of the process): the engine alone, then with each picture drawn into a 640x480 image
//      the way the video widget paints it;
//   6. peak resident memory of the process (VmHWM), before the first backward scan (which opens
//      a second decoder) and at the end.
//
// Audio goes to a clocked fakesink (no sound card needed), pictures to a VideoOutput in this
// program (QT_QPA_PLATFORM=offscreen is enough); run it on an otherwise idle machine. bench/engine-bench.sh sets the comparisons
// (ffmpeg decoding the same VOBs, gst-play-1.0 on the same title) beside it; bench/run-all puts
// its figures for two discs in one table with the program's.
//
// The disc is played as the test disc is laid out: a root menu whose first button plays title 1
// (or no menu at all), and a title 1 of at least 22 s whose fourth chapter, or where next chapter
// leads three times, begins late enough to scan back from.

#include "bench/EventLoopWait.h"
#include "engine/GstEngine.h"
#include "playback/VideoOutput.h"

#include <gst/gst.h>

#include <QByteArray>
#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <QImage>
#include <QList>
#include <QPainter>

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <set>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// Stands in for the screen window's video area: counts pictures, remembers when the latest
// came and, if asked, paints it scaled as the widget does.
class BenchOutput : public VideoOutput {
public:
    void presentFrame(const QImage& frame) override
    {
        if (frame.isNull())
            return;
        last = frame;
        lastAt = Clock::now();
        ++frames;
        uint64_t hash = 1469598103934665603ULL;
        for (int y = 0; y < frame.height(); y += 9) {
            const uchar* line = frame.constScanLine(y);
            for (int x = 0; x < frame.width() * 4; x += 17)
                hash = (hash ^ line[x]) * 1099511628211ULL;
        }
        distinct.insert(hash);
        if (paint) {
            QPainter painter(&canvas);
            painter.setRenderHint(QPainter::SmoothPixmapTransform);
            painter.drawImage(QRect(0, 0, 640, 480), frame);
        }
    }
    QImage last;
    Clock::time_point lastAt;
    uint64_t frames = 0;
    std::set<uint64_t> distinct;
    bool paint = false;
    QImage canvas{640, 480, QImage::Format_RGB32};
};

QRgb cornerColour(const QImage& frame)
{
    return frame.isNull() ? 0 : frame.pixel(16, 16);
}

double colourDistance(QRgb a, QRgb b)
{
    return std::hypot(qRed(a) - qRed(b), qGreen(a) - qGreen(b), qBlue(a) - qBlue(b));
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

double percentile(std::vector<double> values, double p)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[std::min(values.size() - 1, static_cast<size_t>(p * values.size()))];
}

double cpuSeconds()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Peak resident memory of this process in MB: the kernel's high-water mark, which also counts
// what was resident only between two looks.
double peakResidentMb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (status.open(QIODevice::ReadOnly))
        for (const QByteArray& line : status.readAll().split('\n'))
            if (line.startsWith("VmHWM:"))
                return line.mid(6).trimmed().split(' ').value(0).toLong() / 1024.0;
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

// "2,5" -> {2, 5}; nothing usable -> empty.
std::vector<double> parseRates(const std::string& text)
{
    std::vector<double> rates;
    size_t start = 0;
    while (start <= text.size()) {
        const size_t comma = std::min(text.find(',', start), text.size());
        const double rate = std::atof(text.substr(start, comma - start).c_str());
        if (rate > 1.0)
            rates.push_back(rate);
        start = comma + 1;
    }
    return rates;
}

double seconds(GstEngine& dvd)
{
    const auto position = dvd.positionNs();
    return position ? *position / 1e9 : -1;
}

// From the root menu the first button plays title 1 (x 180..540, y 200..252 of the 720x576
// picture); clicks count once the menu's navigation packet is active.
bool playTitle1(GstEngine& dvd, BenchOutput& output)
{
    return waitUntil(
        [&] {
            if (dvd.EngineTitle() == 0 && !output.last.isNull())
                dvd.pointerClicked(360.0 * output.last.width() / 720, 226.0 * output.last.height() / 576);
            return dvd.EngineTitle() == 1 && seconds(dvd) > 0.3;
        },
        10000, 2);
}

}  // namespace

int main(int argc, char** argv)
{
    // Painting into an image needs the GUI side of Qt (any platform, offscreen will do).
    QGuiApplication app(argc, argv);
    int cpuSecondsToPlay = 20;
    std::vector<double> scanRates {5.0};
    std::vector<std::string> positional;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--cpu-seconds" && i + 1 < argc) {
            cpuSecondsToPlay = std::max(1, std::atoi(argv[++i]));
        } else if (arg == "--scan-rates" && i + 1 < argc) {
            scanRates = parseRates(argv[++i]);
            if (scanRates.empty()) {
                std::fprintf(stderr, "--scan-rates wants rates above 1, such as 5 or 5,2\n");
                return 2;
            }
        } else {
            positional.push_back(arg);
        }
    }
    const int runs = positional.size() > 0 ? std::max(1, std::atoi(positional[0].c_str())) : 7;
    const std::string disc = positional.size() > 1 ? positional[1] : QUORVEL_TEST_DISC;

    GstEngineOptions options;
    options.makeAudioSink = [] {
        GstElement* sink = gst_element_factory_make("fakesink", nullptr);
        g_object_set(sink, "sync", TRUE, nullptr);
        return sink;
    };
    options.discSearch = {{}, {}};
    BenchOutput output;
    GstEngine dvd(options);
    dvd.setVideoOutput(&output);
    if (!dvd.EngineDirectory(disc)) {
        std::fprintf(stderr, "no disc in %s\n", disc.c_str());
        return 1;
    }

    // 1. Play -> first picture. The first play comes a second after start-up, as a click on
    // the play button does at the earliest once the windows are up.
    runEventLoopFor(1000);
    std::vector<double> firstPicture;
    double cold = 0;
    for (int run = 0; run <= runs; ++run) {
        dvd.EngineStop();
        const uint64_t before = output.frames;
        const auto start = Clock::now();
        if (!dvd.EnginePlay() || !waitUntil([&] { return output.frames > before; }, 5000, 2)) {
            std::fprintf(stderr, "play failed\n");
            return 1;
        }
        const double ms = std::chrono::duration<double, std::milli>(output.lastAt - start).count();
        if (run == 0)
            cold = ms;
        else
            firstPicture.push_back(ms);
        runEventLoopFor(200);
    }
    std::printf("play -> first picture: cold %.0f ms, then median %.1f ms (min %.1f, max %.1f, %d runs)\n", cold,
                median(firstPicture), *std::min_element(firstPicture.begin(), firstPicture.end()),
                *std::max_element(firstPicture.begin(), firstPicture.end()), runs);

    // 2. Chapter skip -> new picture: between chapters 1 and 2 of title 1, whose backgrounds
    // differ.
    if (!playTitle1(dvd, output)) {
        std::fprintf(stderr, "title 1 did not start\n");
        return 1;
    }
    std::vector<double> skip;
    for (int run = 0; run < runs; ++run) {
        runEventLoopFor(700);
        const QRgb before = cornerColour(output.last);
        const bool forward = dvd.EngineChapter() == 1;
        const auto start = Clock::now();
        if (!(forward ? dvd.EngineNextChapter() : dvd.EnginePreviousChapter()))
            return 1;
        if (!waitUntil([&] { return colourDistance(cornerColour(output.last), before) > 40; }, 5000, 2)) {
            std::fprintf(stderr, "no new picture after the skip\n");
            return 1;
        }
        skip.push_back(std::chrono::duration<double, std::milli>(output.lastAt - start).count());
    }
    std::printf("chapter skip -> new picture: median %.1f ms (min %.1f, max %.1f, %d skips)\n", median(skip),
                *std::min_element(skip.begin(), skip.end()), *std::max_element(skip.begin(), skip.end()), runs);
    std::printf("peak RSS so far (playing, no backward scan yet): %.1f MB\n", peakResidentMb());

    // 3. Scanning: forwards from chapter 1, backwards from late in the title, so that 3 s at the
    // rate stays inside the title.
    auto measureScan = [&](const char* name, bool forward, double rate) {
        runEventLoopFor(300);
        if (!(forward ? dvd.EngineScanForward(rate) : dvd.EngineScanBackward(rate)))
            return false;
        runEventLoopFor(300);
        const uint64_t frames = output.frames;
        output.distinct.clear();
        const double cpuStart = cpuSeconds();
        QElapsedTimer wall;
        wall.start();
        runEventLoopFor(3000);
        const double secs = wall.elapsed() / 1000.0;
        const double cpu = cpuSeconds() - cpuStart;
        std::printf("scan %s %gx: %.1f pictures/s handed out, %.1f distinct/s, CPU %.1f %% of one core\n", name, rate,
                    (output.frames - frames) / secs, output.distinct.size() / secs, 100.0 * cpu / secs);
        return dvd.EnginePlay();
    };
    for (const double rate : scanRates) {
        for (int i = 0; i < 4 && dvd.EngineChapter() != 1; ++i) {
            dvd.EnginePreviousChapter();
            runEventLoopFor(100);
        }
        if (!measureScan("forward", true, rate))
            return 1;
        for (int i = 0; i < 3 && dvd.EngineNextChapter(); ++i)
            runEventLoopFor(100);
        waitUntil([&] { return seconds(dvd) > 22.0; }, 6000, 2);
        if (!measureScan("backward", false, rate))
            return 1;
    }

    // 4. The ten reads of one status refresh.
    dvd.EngineStop();
    dvd.EnginePlay();
    if (!playTitle1(dvd, output))
        return 1;
    std::vector<double> refresh;
    for (int i = 0; i < 500; ++i) {
        runEventLoopFor(4);
        const auto start = Clock::now();
        const auto time = dvd.EngineTimeText();
        const auto total = dvd.EngineTotalTimeText();
        const auto title = dvd.EngineTitle();
        const auto titles = dvd.EngineTitleCount();
        const auto title2 = dvd.EngineTitle();
        const auto chapter = dvd.EngineChapter();
        const auto chapters = dvd.EngineChapterCount(title2.value_or(1));
        const auto angle = dvd.EngineAngle();
        const auto angles = dvd.EngineAngleCount();
        const auto mute = dvd.EngineMute();
        refresh.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
        if (!time || !total || !title || !titles || !chapter || !chapters || !angle || !angles || !mute) {
            std::fprintf(stderr, "a read failed\n");
            return 1;
        }
    }
    std::printf("status refresh (ten reads): median %.1f us, p95 %.1f us\n", median(refresh), percentile(refresh, 0.95));

    // 5. CPU while playing title 1 from its start: the engine alone, then with the widget's
    // painting.
    for (const bool paint : {false, true}) {
        output.paint = paint;
        dvd.EngineStop();
        if (!dvd.EnginePlay() || !playTitle1(dvd, output))
            return 1;
        const double cpuStart = cpuSeconds();
        QElapsedTimer wall;
        wall.start();
        const uint64_t framesBefore = output.frames;
        runEventLoopFor(1000 * cpuSecondsToPlay);
        const double cpu = cpuSeconds() - cpuStart;
        std::printf("CPU while playing %d s%s: %.1f %% of one core (%.1f pictures/s)\n", cpuSecondsToPlay,
                    paint ? ", pictures painted" : "", 100.0 * cpu / (wall.elapsed() / 1000.0),
                    (output.frames - framesBefore) / (wall.elapsed() / 1000.0));
    }

    // 6. Peak memory.
    std::printf("peak RSS at the end: %.1f MB\n", peakResidentMb());
    dvd.EngineStop();
    return 0;
}
