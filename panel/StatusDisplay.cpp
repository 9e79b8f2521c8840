#include "panel/StatusDisplay.h"

#include "core/AppObjects.h"
#include "core/Settings.h"
#include "panel/Form1.h"
#include "playback/Engine.h"
#include "playback/PlayState.h"

#include <QLabel>

namespace {

QString number(int32_t value)
{
    return QString::number(value);
}

// The four playing lines; a failed read leaves the line being built and those after it as they were.
void refreshPlayingLines(Form1& panel, Engine& dvd)
{
    auto time = dvd.EngineTimeText();
    if (!time)
        return;
    auto total = dvd.EngineTotalTimeText();
    if (!total)
        return;
    panel.Label7->setText(QStringLiteral("Time : ") + QString::fromStdString(*time) + QLatin1Char('/')
                          + QString::fromStdString(*total));

    auto title = dvd.EngineTitle();
    if (!title)
        return;
    auto titles = dvd.EngineTitleCount();
    if (!titles)
        return;
    panel.Label4->setText(QStringLiteral("Title : ") + number(*title) + QLatin1Char('/') + number(*titles));

    auto titleNumber = dvd.EngineTitle();
    if (!titleNumber)
        return;
    auto chapter = dvd.EngineChapter();
    if (!chapter)
        return;
    auto chapters = dvd.EngineChapterCount(*titleNumber);
    if (!chapters)
        return;
    panel.Label5->setText(QStringLiteral("Chapter : ") + number(*chapter) + QLatin1Char('/') + number(*chapters));

    auto angle = dvd.EngineAngle();
    if (!angle)
        return;
    auto angles = dvd.EngineAngleCount();
    if (!angles)
        return;
    panel.Label6->setText(QStringLiteral("Angle : ") + number(*angle) + QLatin1Char('/') + number(*angles));
}

} // namespace

void ResetStatus()
{
    Form1& panel = form1();
    panel.Label1->setText(QStringLiteral("Stop"));
    panel.Label7->setText(QStringLiteral("Time : 00:00:00 / 00:00:00"));
    panel.Label4->setText(QStringLiteral("Title : 00 / 00"));
    panel.Label5->setText(QStringLiteral("Chapter : 00 / 00"));
    panel.Label6->setText(QStringLiteral("Angle : 0 / 0"));
    panel.Label3->setText(Settings.mute == 1 ? QStringLiteral("Mute : ON") : QStringLiteral("Mute : OFF"));
}

void RefreshStatus()
{
    Form1& panel = form1();
    Engine& dvd = engine();
    if (PlayState == 0) {
        panel.Label1->setText(QStringLiteral("Stop"));
    } else if (PlayState == 1) {
        panel.Label1->setText(QStringLiteral("Pause"));
    } else if (PlayState == 2) {
        panel.Label1->setText(QStringLiteral("Play"));
        refreshPlayingLines(panel, dvd);
    }
    // A failed mute read is left unshown rather than guessed.
    if (auto muted = dvd.EngineMute())
        panel.Label3->setText(*muted ? QStringLiteral("Mute : ON") : QStringLiteral("Mute : OFF"));
    panel.Label2->setText(QLatin1Char('*') + QString::number(Settings.speed));
}

void StatusTimerTick()
{
    RefreshStatus();
    if (PlayState == 2)
        engine().EngineBalance(Settings.balance);
}
