#pragma once

#include <QObject>
#include <cstdint>

// Last play state read from the playback control: 0 stopped, 1 paused, 2 playing. Other values
// the control may report are kept as they are.
extern int16_t PlayState;

// Every read of the control's state goes through here, so that what follows the play state
// from outside the windows (the desktop's media controls, the screensaver) hears of a change
// at once, not at the next refresh of the read-out.
void setPlayState(int16_t state);

class PlayStateSignal : public QObject {
    Q_OBJECT
signals:
    // PlayState took a different value.
    void changed();
};
PlayStateSignal& playStateSignal();

void resetPlayState();
