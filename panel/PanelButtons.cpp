#include "panel/PanelButtons.h"

#include "core/AppObjects.h"
#include "dialogs/Cont.h"
#include "panel/Form1.h"
#include "panel/PictureButton.h"
#include "platform/Platform.h"
#include "screen/Notice.h"

void RestoreButtonImages()
{
    Form1& panel = form1();
    for (PictureButton* button : {panel.Image4, panel.Image5, panel.Image6, panel.Image11, panel.Image12,
                                  panel.Image13, panel.Image14, panel.Image22, panel.Image23, panel.Image1,
                                  panel.Image2, panel.Image3, panel.Image7})
        button->showNormalPicture();
}

void HoverButton(PictureButton& button)
{
    // The settings button alone leaves the others as they are, so a button reached straight
    // from another keeps the other's hover picture too.
    if (&button != form1().Image1)
        RestoreButtonImages();
    button.showHoverPicture();
    ShowHint(button.toolTip());
}

void ShowPanelMenu(int16_t menu)
{
    Form1& panel = form1();
    if (platform().foregroundWindow() != &panel)
        return;
    if (menu == 1)
        platform().popupMenuAtPointer(panel.M_Pop);
    else if (menu == 2)
        platform().popupMenuAtPointer(panel.B_Pop);
}

void ShowSettingsDialog()
{
    ShowCont();
}
