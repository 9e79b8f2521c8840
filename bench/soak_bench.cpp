// Plays the generated disc over and over for a given time, every command in each round, and says
// what memory did:
//
//   soak_bench [--seconds S] [DISC]
//
// A round: play from stopped into the root menu, title 1 by its menu button, next and previous
// chapter, fast-forward and play, rewind and play, each disc menu and resume, bookmark save and
// restore, the angle step, pause, play, stop. RSS is printed after the first round (plugins
// loaded, the scanning decoder opened once) and at the end, with the growth per round. Built with
// the sanitizers and run with leak detection (bench/soak), the leak report comes at exit.
// Commands that fail are counted and named, not fatal: a soak is about what accumulates. The exit
// status is non-zero when a round could not be driven at all.

#include "tests/support/ResidentMemory.h"
#include "bench/EventLoopWait.h"
#include "engine/GstEngine.h"
#include "playback/VideoOutput.h"

#include <gst/gst.h>

#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>

namespace {

class KeepLastOutput : public VideoOutput {
public:
    void presentFrame(const QImage& frame) override { last = frame; }
    QImage last;
};

class Soak {
public:
    Soak(const std::string& disc, const std::string& bookmarkFile) : disc_(disc)
    {
        GstEngineOptions options;
        options.bookmarkFile = bookmarkFile;
        options.makeAudioSink = [] {
            GstElement* sink = gst_element_factory_make("fakesink", nullptr);
            g_object_set(sink, "sync", TRUE, nullptr);
            return sink;
        };
        engine_ = std::make_unique<GstEngine>(options);
        engine_->setVideoOutput(&output_);
    }
    ~Soak()
    {
        engine_->EngineStop();
        engine_->setVideoOutput(nullptr);
    }

    // One round; false when the disc could not be brought into its title at all.
    bool round()
    {
        check("directory", engine_->EngineDirectory(disc_));
        check("play", engine_->EnginePlay());
        if (!waitUntil([&] { return engine_->EngineTitle() == 0 && !output_.last.isNull(); }, 10000, 20))
            return false;
        // The root menu's first button plays title 1; a click counts once its navigation packet
        // is active.
        if (!waitUntil(
                [&] {
                    if (engine_->EngineTitle() == 0 && !output_.last.isNull())
                        engine_->pointerClicked(360.0 * output_.last.width() / 720.0,
                                                226.0 * output_.last.height() / 576.0);
                    runEventLoopFor(150);
                    return engine_->EngineTitle() == 1;
                },
                10000, 10))
            return false;
        runEventLoopFor(400);
        check("next chapter", engine_->EngineNextChapter());
        runEventLoopFor(300);
        check("previous chapter", engine_->EnginePreviousChapter());
        runEventLoopFor(300);
        check("fast-forward", engine_->EngineScanForward(4.0));
        runEventLoopFor(800);
        check("play after fast-forward", engine_->EnginePlay());
        runEventLoopFor(300);
        check("rewind", engine_->EngineScanBackward(4.0));
        runEventLoopFor(1200);
        check("play after rewind", engine_->EnginePlay());
        runEventLoopFor(300);
        for (int menu = 2; menu <= 7; ++menu) {
            if (!check(("menu " + std::to_string(menu)).c_str(), engine_->EngineShowMenu(menu)))
                continue;
            runEventLoopFor(250);
            check("resume", engine_->EngineResume());
            runEventLoopFor(250);
        }
        if (engine_->EngineTitle() == 1) {
            check("bookmark save", engine_->EngineSaveBookmark());
            runEventLoopFor(200);
            check("bookmark restore", engine_->EngineRestoreBookmark());
            runEventLoopFor(300);
        }
        const auto count = engine_->EngineAngleCount();
        const auto angle = engine_->EngineAngle();
        if (count && angle && *count > 1)
            check("angle", engine_->EngineAngle(*angle % *count + 1));
        check("pause", engine_->EnginePause());
        runEventLoopFor(200);
        check("play after pause", engine_->EnginePlay());
        runEventLoopFor(200);
        check("stop", engine_->EngineStop());
        runEventLoopFor(100);
        return true;
    }

    const std::map<std::string, int>& failures() const { return failures_; }

private:
    bool check(const char* command, bool ok)
    {
        if (!ok)
            ++failures_[command];
        return ok;
    }

    std::string disc_;
    KeepLastOutput output_;
    std::unique_ptr<GstEngine> engine_;
    std::map<std::string, int> failures_;
};

}  // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    double seconds = 120;
    std::string disc = QUORVEL_TEST_DISC;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--seconds" && i + 1 < argc)
            seconds = std::atof(argv[++i]);
        else if (arg.rfind("--", 0) == 0) {
            std::fprintf(stderr, "usage: soak_bench [--seconds S] [DISC]\n");
            return 2;
        } else
            disc = arg;
    }
    QTemporaryDir folder;
    long firstKb = 0;
    int rounds = 0;
    int lost = 0;
    QElapsedTimer clock;
    clock.start();
    {
        Soak soak(disc, (folder.path() + QStringLiteral("/bookmark")).toStdString());
        while (clock.elapsed() < seconds * 1000) {
            if (!soak.round())
                ++lost;
            ++rounds;
            if (rounds == 1)
                firstKb = residentKb();
            if (rounds % 5 == 0)
                std::printf("round %d at %.0f s: RSS %ld kB\n", rounds, clock.elapsed() / 1000.0, residentKb());
            std::fflush(stdout);
        }
        const long endKb = residentKb();
        std::printf("soak: %d rounds in %.0f s on %s\n", rounds, clock.elapsed() / 1000.0, disc.c_str());
        std::printf("RSS after the first round %ld kB, at the end %ld kB: %+ld kB (%+.1f kB a round)\n", firstKb,
                    endKb, endKb - firstKb, rounds > 1 ? double(endKb - firstKb) / (rounds - 1) : 0.0);
        for (const auto& [command, count] : soak.failures())
            std::printf("failed: %s x%d\n", command.c_str(), count);
        if (lost)
            std::printf("rounds that could not reach title 1: %d\n", lost);
    }
    return lost == rounds ? 1 : 0;
}
