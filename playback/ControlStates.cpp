#include "playback/ControlStates.h"

#include "core/AppObjects.h"
#include "panel/Form1.h"
#include "panel/PictureButton.h"
#include "screen/Scr.h"

#include <QAction>

namespace {

void setPlayingSet(bool on)
{
    Form1& panel = form1();
    for (PictureButton* button : {panel.Image3, panel.Image5, panel.Image6, panel.Image11, panel.Image12,
                                  panel.Image13, panel.Image14, panel.Image22, panel.Image23})
        button->setEnabled(on);
    panel.Image4->setEnabled(!on);
    Scr& screen = scr();
    screen.R_Pause->setEnabled(on);
    screen.R_Stop->setEnabled(on);
    screen.R_Play->setEnabled(!on);
}

} // namespace

void SetStoppedControls()
{
    setPlayingSet(false);
}

void SetPlayingControls()
{
    setPlayingSet(true);
}

void SetScanControls()
{
    // Play ends a scan, so it comes back; everything else stays as it was.
    form1().Image4->setEnabled(true);
    scr().R_Play->setEnabled(true);
}
