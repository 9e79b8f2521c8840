#include "playback/PlayState.h"

int16_t PlayState = 0;

void setPlayState(int16_t state)
{
    if (state == PlayState)
        return;
    PlayState = state;
    emit playStateSignal().changed();
}

PlayStateSignal& playStateSignal()
{
    static PlayStateSignal signal;
    return signal;
}

void resetPlayState()
{
    PlayState = 0;
}
