#include "screen/Notice.h"

#include "core/AppObjects.h"
#include "screen/Scr.h"

#include <QLineEdit>
#include <QTimer>

void ShowNotice(const QString& text)
{
    Scr& screen = scr();
    screen.Sec = 0;
    screen.Text1->setText(text);
    screen.Timer2->start();
}

void ShowHint(const QString& text)
{
    Scr& screen = scr();
    screen.Sec2 = 0;
    screen.Text2->setText(text);
    screen.Timer1->start();
}

void NoticeTimerTick()
{
    Scr& screen = scr();
    screen.Sec = static_cast<int16_t>(screen.Sec + 1);
    if (screen.Sec >= 3) {
        screen.Sec = 0;
        screen.Text1->clear();
        screen.Timer2->stop();
    }
}

void HintTimerTick()
{
    Scr& screen = scr();
    screen.Sec2 = static_cast<int16_t>(screen.Sec2 + 1);
    if (screen.Sec2 >= 2) {
        screen.Sec2 = 0;
        screen.Text2->clear();
        screen.Timer1->stop();
    }
}
