#include "core/AppLifecycle.h"

#include "core/AppObjects.h"
#include "core/SettingsFile.h"
#include "core/Tray.h"
#include "core/Twips.h"
#include "panel/Form1.h"
#include "panel/StatusDisplay.h"
#include "platform/Platform.h"
#include "playback/ControlStates.h"
#include "playback/Engine.h"
#include "playback/PlayState.h"
#include "playback/TransportCommands.h"
#include "screen/Scr.h"
#include "screen/VideoWidget.h"

#include <QLabel>

namespace {
bool ending = false;
bool ended = false;
bool savedAtEnd = false;

// The settings file already holds what shutdown would write once shutdown has saved; before
// that, a save asked from outside is the only one that may ever happen.
void saveUnlessShutdownHas()
{
    if (!savedAtEnd)
        SaveSettings();
}
} // namespace

bool Form1Load()
{
    Form1& panel = form1();
    setTwipsHeight(&panel, 1620);
    Scr& screen = scr();
    setTwipsGeometry(&screen, 1850, 700, 11500, 7680);
    setTwipsGeometry(screen.DVD, 60, 360, 11355, 7215);
    setTwipsGeometry(screen.Picture3, 60, 360, 11355, 7215);
    ResetStatus();
    AppStart();
    if (ended)
        return false;
    setTwipsPosition(&panel, 3795, 8505);
    return true;
}

void AppStart()
{
    scr().show();
    LoadSettings();
    if (ended)
        return;
    SetStoppedControls();
    engine().setPlaybackEndedHandler(&PlaybackEndedByItself);
    TrayAdd();
    // Only now: before the settings are loaded (or while their prompt is open) there is nothing
    // of the user's to keep, and a save would write the start values over the file.
    platform().watchEndRequests([] { AppEnd(); }, &saveUnlessShutdownHas);
}

void AppEnd()
{
    // The window closes below raise their own quit requests; they only close the window.
    if (ending)
        return;
    ending = true;
    if (PlayState != 0)
        DvdStop();
    SaveSettings();
    savedAtEnd = true;
    if (scrExists())
        scr().close();
    if (form1Exists())
        form1().close();
    TrayRemove();
    EndProcess();
}

void EndProcess()
{
    ended = true;
    platform().endProcess(0);
}

bool processEnded() { return ended; }
bool appEnding() { return ending; }

void resetLifecycle()
{
    ending = false;
    ended = false;
    savedAtEnd = false;
}
