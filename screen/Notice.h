#pragma once

#include <QString>

// Short texts on the screen window: a notice on the right cleared on the third tick of a 1 s
// timer after the latest post, a hint on the left cleared on the second tick of a 300 ms timer.
void ShowNotice(const QString& text);
void ShowHint(const QString& text);
void NoticeTimerTick(); // Timer2 of Scr
void HintTimerTick(); // Timer1 of Scr
