#include "screen/SideTexts.h"

#include "core/AppObjects.h"
#include "core/Settings.h"
#include "screen/Scr.h"

#include <QLineEdit>

namespace {
void applyFlag(QLineEdit* text, int16_t flag)
{
    if (flag == 1)
        text->show();
    else if (flag == 0)
        text->hide();
}
} // namespace

void ApplySideTexts()
{
    applyFlag(scr().Text1, Settings.r_lbl);
    applyFlag(scr().Text2, Settings.l_lbl);
}
