// The first start of a build-tree copy: the settings file the build writes beside the program
// loads without the prompt, and Play then plays the sample disc on the real engine.
#include "core/AppLifecycle.h"
#include "core/AppObjects.h"
#include "core/Settings.h"
#include "e2e/RealEngine.h"
#include "panel/Form1.h"
#include "panel/PictureButton.h"
#include "playback/Engine.h"
#include "playback/PlayState.h"
#include "screen/Scr.h"
#include "screen/VideoWidget.h"
#include "support/AppFixture.h"
#include "support/MouseEvents.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QThread>

namespace {

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

// What the build does when build/quorvel2.ini is missing, aimed at another folder.
bool writeFirstStartSettings(const QString& file)
{
    const int code = QProcess::execute(QStringLiteral(QUORVEL_CMAKE),
                                       {QStringLiteral("-DFILE=") + file,
                                        QStringLiteral("-DDISC=") + QStringLiteral(QUORVEL_TEST_DISC),
                                        QStringLiteral("-P"), QStringLiteral(QUORVEL_FIRST_START_SCRIPT)});
    return code == 0;
}

class FirstStart : public AppFixture {
protected:
    void SetUp() override
    {
        AppFixture::SetUp();
        realEngine = makeQuietRealEngine((fakePlatform.folder.path() + QStringLiteral("/bookmark")).toStdString());
        installEngine(realEngine.get());
        realEngine->setVideoOutput(screen().DVD);
    }
    void TearDown() override
    {
        realEngine->EngineStop();
        realEngine->setVideoOutput(nullptr);
        AppFixture::TearDown();
        realEngine.reset();
    }
    std::unique_ptr<Engine> realEngine;
};

TEST_F(FirstStart, TheBuildsSettingsFileStartsWithoutThePromptAndPlayPlaysTheSampleDisc)
{
    ASSERT_TRUE(writeFirstStartSettings(fakePlatform.settingsPath()));
    EXPECT_EQ(fakePlatform.settingsFileBytes(),
              QByteArray("[quorvel]\nvolume=-5000\nbalance=0\nscreen=0\nmute=0\nspeed=3\nr_lbl=0\nl_lbl=0\ndir=")
                  + QUORVEL_TEST_DISC + "\ndirsta=0\n");

    ASSERT_TRUE(Form1Load());
    panel().show();
    EXPECT_TRUE(fakePlatform.messages.empty());
    EXPECT_EQ(Settings.dir, QUORVEL_TEST_DISC);
    EXPECT_EQ(Settings.dirsta, 0);

    sendClick(panel().Image4, panel().Image4->rect().center());
    ASSERT_TRUE(fakePlatform.messages.empty()) << fakePlatform.messages[0].text.toStdString();
    EXPECT_EQ(PlayState, 2);
    EXPECT_TRUE(waitFor([&] { return !screen().DVD->currentFrame().isNull(); })) << "no picture";
}

TEST_F(FirstStart, TheBuildNeverWritesOverASettingsFileThatIsThere)
{
    const QByteArray own = "[quorvel]\nvolume=-300\nbalance=0\nscreen=0\nmute=1\nspeed=5\nr_lbl=1\nl_lbl=1\n"
                           "dir=/media/cdrom\ndirsta=1\n";
    fakePlatform.writeSettingsFile(own);
    ASSERT_TRUE(writeFirstStartSettings(fakePlatform.settingsPath()));
    EXPECT_EQ(fakePlatform.settingsFileBytes(), own);
}

} // namespace
