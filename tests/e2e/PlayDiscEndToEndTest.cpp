#include "core/AppObjects.h"
#include "core/Settings.h"
#include "e2e/RealEngine.h"
#include "panel/Form1.h"
#include "panel/PictureButton.h"
#include "panel/StatusDisplay.h"
#include "playback/ControlStates.h"
#include "playback/Engine.h"
#include "playback/PlayState.h"
#include "screen/Scr.h"
#include "screen/VideoWidget.h"
#include "support/AppFixture.h"
#include "support/MouseEvents.h"

#include <QAction>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QThread>

namespace {

// Runs the window thread's events until the condition holds or the time is up.
bool waitFor(const std::function<bool()>& condition, int timeoutMs = 10000)
{
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
    return true;
}

// The whole program on the generated disc: panel buttons and screen-menu items driving the real
// engine, with the platform double answering message boxes.
class PlayDiscEndToEnd : public AppFixture {
protected:
    void SetUp() override
    {
        AppFixture::SetUp();
        realEngine = makeQuietRealEngine((fakePlatform.folder.path() + QStringLiteral("/bookmark")).toStdString());
        installEngine(realEngine.get());
        realEngine->setVideoOutput(screen().DVD);
        Settings.dir = QUORVEL_TEST_DISC;
        Settings.dirsta = 0;
        Settings.speed = 3;
        Settings.volume = -2000;
        ResetStatus();
        SetStoppedControls();
        screen().show();
        panel().show();
    }

    void TearDown() override
    {
        realEngine->EngineStop();
        realEngine->setVideoOutput(nullptr);
        AppFixture::TearDown();
        realEngine.reset();
    }

    void click(PictureButton* button) { sendClick(button, button->rect().center()); }

    // The title on the picture, as the status read-out shows it after a refresh.
    QString refreshed(QLabel* label)
    {
        RefreshStatus();
        return label->text();
    }

    std::optional<int> chapter() { return realEngine->EngineChapter(); }
    std::optional<int> title() { return realEngine->EngineTitle(); }

    double seconds()
    {
        auto t = realEngine->EngineTimeText();
        if (!t)
            return -1;
        QStringList parts = QString::fromStdString(*t).split(QLatin1Char(':'));
        if (parts.size() != 3)
            return -1;
        return parts[0].toInt() * 3600 + parts[1].toInt() * 60 + parts[2].toDouble();
    }

    // A point of the disc's 720 x 576 picture, as a place on the video area.
    QPoint videoPoint(double x, double y)
    {
        VideoWidget* area = screen().DVD;
        QSize frame = area->currentFrame().size();
        QRect shown = VideoWidget::pictureRect(frame, area->size());
        return QPoint(shown.left() + static_cast<int>(x / 720.0 * shown.width()),
                      shown.top() + static_cast<int>(y / 576.0 * shown.height()));
    }

    std::unique_ptr<Engine> realEngine;
};

TEST_F(PlayDiscEndToEnd, WatchTheDiscFromThePanel)
{
    // Play from stopped: the disc's first-play leads to its root menu.
    click(panel().Image4);
    ASSERT_TRUE(fakePlatform.messages.empty()) << fakePlatform.messages[0].text.toStdString();
    EXPECT_EQ(PlayState, 2);
    EXPECT_EQ(screen().Text1->text(), QStringLiteral("Play"));
    EXPECT_FALSE(screen().Picture3->isVisible());
    EXPECT_TRUE(panel().Image5->isEnabled());
    EXPECT_FALSE(screen().R_Play->isEnabled());
    ASSERT_TRUE(waitFor([&] { return !screen().DVD->currentFrame().isNull(); }));
    ASSERT_TRUE(waitFor([&] { return title() == 0; })) << "not in a menu";

    // The user picks "Play title 1" in the picture.
    ASSERT_TRUE(waitFor([&] {
        sendMove(screen().DVD, videoPoint(360, 226));
        sendClick(screen().DVD, videoPoint(360, 226));
        return waitFor([&] { return title() == 1; }, 1500);
    }, 8000)) << "the menu button did not start title 1";

    EXPECT_EQ(refreshed(panel().Label1), QStringLiteral("Play"));
    EXPECT_EQ(panel().Label4->text(), QStringLiteral("Title : 1/2"));
    EXPECT_EQ(panel().Label5->text(), QStringLiteral("Chapter : 1/4"));
    EXPECT_EQ(panel().Label6->text(), QStringLiteral("Angle : 1/1"));
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^Time : \\d\\d:\\d\\d:\\d\\d/00:00:24$"))
                    .match(panel().Label7->text())
                    .hasMatch())
        << panel().Label7->text().toStdString();

    // Pause holds the time; play resumes it without giving the folder again.
    click(panel().Image6);
    EXPECT_EQ(PlayState, 1);
    EXPECT_EQ(screen().Text1->text(), QStringLiteral("Pause"));
    EXPECT_EQ(refreshed(panel().Label1), QStringLiteral("Pause"));
    double pausedAt = seconds();
    QThread::msleep(600);
    QCoreApplication::processEvents();
    EXPECT_NEAR(seconds(), pausedAt, 0.05);
    click(panel().Image4);
    EXPECT_EQ(PlayState, 2);
    EXPECT_EQ(title(), 1);

    // Next chapter.
    click(panel().Image14);
    EXPECT_EQ(screen().Text1->text(), QStringLiteral(">>|"));
    ASSERT_TRUE(waitFor([&] { return chapter() == 2; }));
    EXPECT_EQ(refreshed(panel().Label5), QStringLiteral("Chapter : 2/4"));

    // Fast-forward at the stored speed, then rewind.
    double before = seconds();
    click(panel().Image12);
    EXPECT_EQ(screen().Text1->text(), QStringLiteral(">>"));
    EXPECT_TRUE(panel().Image4->isEnabled());
    ASSERT_TRUE(waitFor([&] { return seconds() >= before + 4.5; }, 6000)) << "forward scan too slow";
    double forwardEnd = seconds();
    click(panel().Image11);
    EXPECT_EQ(screen().Text1->text(), QStringLiteral("<<"));
    ASSERT_TRUE(waitFor([&] { double s = seconds(); return s >= 0 && s <= forwardEnd - 3.0; }, 6000))
        << "backward scan did not move back";
    click(panel().Image4); // play ends the scan
    EXPECT_EQ(PlayState, 2);
    EXPECT_TRUE(fakePlatform.messages.empty());

    // A disc menu, then resume back into the title.
    fakePlatform.foreground = &panel();
    click(panel().Image22);
    ASSERT_FALSE(fakePlatform.popups.empty());
    EXPECT_EQ(fakePlatform.popups.back(), panel().M_Pop);
    panel().M_Root->trigger();
    EXPECT_EQ(screen().Text1->text(), QStringLiteral("RootMenu"));
    ASSERT_TRUE(waitFor([&] { return title() == 0; }));
    panel().M_Resume->trigger();
    EXPECT_EQ(screen().Text1->text(), QStringLiteral("Resume"));
    ASSERT_TRUE(waitFor([&] { return title() == 1; }));

    // Bookmark: saved here, restored after moving on.
    ASSERT_TRUE(waitFor([&] { return chapter().value_or(0) >= 1; }));
    int markedChapter = chapter().value_or(0);
    panel().S_Book->trigger();
    EXPECT_EQ(screen().Text1->text(), QStringLiteral("Save Bookmark"));
    click(panel().Image14);
    ASSERT_TRUE(waitFor([&] { return chapter() && *chapter() != markedChapter; }));
    panel().R_Book->trigger();
    EXPECT_EQ(screen().Text1->text(), QStringLiteral("Load Bookmark"));
    ASSERT_TRUE(waitFor([&] { return chapter() == markedChapter; }));
    EXPECT_TRUE(fakePlatform.messages.empty()) << fakePlatform.messages[0].text.toStdString();

    // The angle button on a one-angle disc.
    click(panel().Image3);
    ASSERT_EQ(messageTexts(), std::vector<QString>{QStringLiteral("アングルは一種類のみです")});
    fakePlatform.messages.clear();

    // Stop from the screen's menu.
    screen().R_Stop->trigger();
    EXPECT_EQ(PlayState, 0);
    EXPECT_EQ(screen().Text1->text(), QStringLiteral("Stop"));
    EXPECT_TRUE(screen().Picture3->isVisible());
    EXPECT_EQ(panel().Label4->text(), QStringLiteral("Title : 00 / 00"));
    EXPECT_EQ(refreshed(panel().Label1), QStringLiteral("Stop"));
    EXPECT_TRUE(fakePlatform.messages.empty());
}

TEST_F(PlayDiscEndToEnd, PlayWithoutADiscShowsThePlayMessageAndRecovers)
{
    Settings.dir = (fakePlatform.folder.path() + QStringLiteral("/no-such-disc")).toStdString();
    click(panel().Image4);
    EXPECT_EQ(messageTexts(),
              std::vector<QString>{QStringLiteral("再生時にエラーがありました。DVDがドライブに入っているか確認してください")});
    EXPECT_EQ(PlayState, 0);
    EXPECT_TRUE(screen().Picture3->isVisible());
    fakePlatform.messages.clear();

    Settings.dir = QUORVEL_TEST_DISC;
    click(panel().Image4);
    EXPECT_TRUE(fakePlatform.messages.empty());
    EXPECT_EQ(PlayState, 2);
}

} // namespace
