// Latency the user sees in the program on the real engine and the generated disc, through the
// panel's own buttons (offscreen Qt, no sound card needed):
//   - a click on play (from stopped), a second after the windows come up, until the first
//     picture reaches the video area;
//   - a click on next chapter (while title 1 plays) until the first picture of the new chapter.
//
//   click_latency_bench [runs] [disc folder]
//
// Prints every run and the median, in milliseconds.

#include "app/CreatePlaybackControl.h"
#include "core/AppObjects.h"
#include "core/Settings.h"
#include "panel/Form1.h"
#include "panel/PictureButton.h"
#include "playback/ControlStates.h"
#include "playback/Engine.h"
#include "playback/PlayState.h"
#include "playback/VideoOutput.h"
#include "screen/Scr.h"
#include "screen/VideoWidget.h"
#include "support/FakePlatform.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

// Passes pictures on to the video area and notes when the latest one came.
class TimedOutput : public VideoOutput {
public:
    explicit TimedOutput(VideoOutput* next) : next_(next) {}
    void presentFrame(const QImage& frame) override
    {
        if (!frame.isNull())
            ++frames;
        next_->presentFrame(frame);
    }
    int frames = 0;

private:
    VideoOutput* next_;
};

bool waitFor(const std::function<bool()>& condition, int timeoutMs = 10000)
{
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
        QThread::usleep(200);
    }
    return true;
}

void click(QWidget* widget, QPoint pos)
{
    QPointF global = widget->mapToGlobal(QPointF(pos));
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(pos), global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(pos), global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &press);
    QApplication::sendEvent(widget, &release);
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
    const char* disc = argc > 2 ? argv[2] : QUORVEL_TEST_DISC;

    FakePlatform platformDouble;
    installPlatform(&platformDouble);
    std::vector<double> playMs;
    std::vector<double> chapterMs;

    for (int run = 0; run < runs; ++run) {
        auto dvd = createPlaybackControl(platformDouble.folder.path());
        installEngine(dvd.get());
        auto* panel = new Form1;
        installForm1(panel);
        Scr& screen = scr();
        screen.show();
        TimedOutput output(screen.DVD);
        dvd->setVideoOutput(&output);
        resetSettings();
        resetPlayState();
        Settings.dir = disc;
        Settings.volume = -5000;
        SetStoppedControls();
        // A user's click on play comes a second after the windows are up at the earliest.
        waitFor([] { return false; }, 1000);

        QElapsedTimer clock;
        clock.start();
        click(panel->Image4, panel->Image4->rect().center());
        bool shown = waitFor([&] { return output.frames > 0; });
        double play = clock.nsecsElapsed() / 1e6;

        // Title 1 from the disc's root menu, as a user would pick it.
        bool inTitle = shown && waitFor([&] { return dvd->EngineShowMenu(3); }, 3000)
            && waitFor([&] {
                   QSize frame = screen.DVD->currentFrame().size();
                   QRect pic = VideoWidget::pictureRect(frame, screen.DVD->size());
                   QPoint at(pic.left() + pic.width() / 2, pic.top() + static_cast<int>(226.0 / 576 * pic.height()));
                   click(screen.DVD, at);
                   return waitFor([&] { return dvd->EngineTitle() == 1; }, 1000);
               }, 8000)
            && waitFor([&] { return dvd->EngineTimeText() && *dvd->EngineTimeText() >= std::string("00:00:01"); });
        double chapter = -1;
        if (inTitle) {
            clock.restart();
            click(panel->Image14, panel->Image14->rect().center());
            // The new picture: the first one delivered once the position reads inside chapter 2
            // (it starts at 6 s; the run skips from about 1 s).
            int before = -1;
            if (waitFor([&] {
                    auto t = dvd->EngineTimeText();
                    if (before < 0 && t && *t >= std::string("00:00:06"))
                        before = output.frames;
                    return before >= 0 && output.frames > before;
                }))
                chapter = clock.nsecsElapsed() / 1e6;
        }
        std::printf("run %d: play -> first picture %.1f ms%s, chapter click -> new picture %.1f ms\n", run + 1, play,
                    shown ? "" : " (no picture)", chapter);
        if (shown)
            playMs.push_back(play);
        if (chapter >= 0)
            chapterMs.push_back(chapter);

        dvd->EngineStop();
        dvd->setVideoOutput(nullptr);
        delete &scr();
        installScr(nullptr);
        delete panel;
        installForm1(nullptr);
        installEngine(nullptr);
    }
    std::printf("median: play click -> first picture %.1f ms (%zu runs), chapter click -> new picture %.1f ms (%zu runs)\n",
                median(playMs), playMs.size(), median(chapterMs), chapterMs.size());
    return 0;
}
