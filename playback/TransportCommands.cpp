#include "playback/TransportCommands.h"

#include "core/AppObjects.h"
#include "core/Settings.h"
#include "panel/StatusDisplay.h"
#include "playback/CommandMessage.h"
#include "playback/ControlStates.h"
#include "playback/Engine.h"
#include "playback/PlayState.h"
#include "screen/Notice.h"
#include "screen/Scr.h"

#include <QLabel>

namespace {

enum class Direction { Backward, Forward };

const QString kPlayFailure = QStringLiteral("再生時にエラーがありました。DVDがドライブに入っているか確認してください");

bool readState()
{
    auto state = engine().EngineState();
    if (!state)
        return false;
    setPlayState(static_cast<int16_t>(*state));
    return true;
}

bool scan(Direction direction)
{
    double rate = static_cast<double>(Settings.speed);
    return direction == Direction::Backward ? engine().EngineScanBackward(rate) : engine().EngineScanForward(rate);
}

void scanCommand(Direction direction)
{
    const bool backward = direction == Direction::Backward;
    const QString notice = backward ? QStringLiteral("<<") : QStringLiteral(">>");
    const QString failure = backward ? QStringLiteral("巻き戻しに失敗しました") : QStringLiteral("早送りに失敗しました");
    if (PlayState == 2) {
        if (!scan(direction)) {
            ShowCommandFailure(failure);
            return;
        }
        SetScanControls();
        ShowNotice(notice);
    } else if (PlayState == 1) {
        // A paused scan plays, scans and pauses again; the inner commands report their own failures.
        DvdPlay();
        if (!scan(direction)) {
            ShowCommandFailure(failure);
            return;
        }
        DvdPause();
        ShowNotice(notice);
    } else {
        ShowCommandFailure(backward ? QStringLiteral("巻き戻しはできません") : QStringLiteral("早送りはできません"));
    }
}

void chapterCommand(bool next)
{
    auto skip = [next] { return next ? engine().EngineNextChapter() : engine().EnginePreviousChapter(); };
    const QString notice = next ? QStringLiteral(">>|") : QStringLiteral("|<<");
    const QString failure = QStringLiteral("チャプター移動に失敗しました");
    if (PlayState == 2) {
        if (!skip() || !readState()) {
            ShowCommandFailure(failure);
            return;
        }
        ShowNotice(notice);
    } else if (PlayState == 1) {
        if (!skip()) {
            ShowCommandFailure(failure);
            return;
        }
        DvdPause();
        if (!readState()) {
            ShowCommandFailure(failure);
            return;
        }
        ShowNotice(notice);
    }
}

} // namespace

bool RefreshPlayState()
{
    if (!readState())
        return false;
    if (PlayState == 0)
        scr().Picture3->setVisible(true);
    else if (PlayState == 1 || PlayState == 2)
        scr().Picture3->setVisible(false);
    return true;
}

bool ApplyDirectory()
{
    if (Settings.dirsta != 0)
        return true;
    return engine().EngineDirectory(Settings.dir);
}

void DvdPlay()
{
    // Resuming from pause keeps the disc where it is; from stopped or scanning the folder is given again.
    bool ok = (PlayState == 1 || ApplyDirectory()) && engine().EnginePlay() && RefreshPlayState();
    if (ok) {
        SetPlayingControls();
        ShowNotice(QStringLiteral("Play"));
        ok = engine().EngineVolume(Settings.volume);
    }
    if (!ok)
        ShowCommandFailure(kPlayFailure);
}

void DvdStop()
{
    if (PlayState != 1 && PlayState != 2)
        return;
    if (!engine().EngineStop() || !RefreshPlayState()) {
        ShowCommandFailure(QStringLiteral("再生中止時にエラーがありました"));
        return;
    }
    SetStoppedControls();
    ResetStatus();
    ShowNotice(QStringLiteral("Stop"));
}

void DvdPause()
{
    if (!engine().EnginePause() || !RefreshPlayState()) {
        ShowCommandFailure(QStringLiteral("再生停止中にエラーがありました"));
        DvdStop();
        return;
    }
    SetStoppedControls();
    ShowNotice(QStringLiteral("Pause"));
}

void DvdPrevChapter()
{
    chapterCommand(false);
}

void DvdNextChapter()
{
    chapterCommand(true);
}

void DvdRewind()
{
    scanCommand(Direction::Backward);
}

void DvdFastForward()
{
    scanCommand(Direction::Forward);
}

void PlaybackEndedByItself(PlaybackEnd end)
{
    // Already stopped by the user: nothing left to do.
    if (PlayState != 1 && PlayState != 2)
        return;
    // A disc that failed after the play command had returned (a drive that never answered, a
    // read error on the way) gets the play command's message after all.
    if (end == PlaybackEnd::Failed)
        ShowCommandFailure(kPlayFailure);
    DvdStop();
}
