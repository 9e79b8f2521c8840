#include "playback/PlayState.h"

int16_t PlayState = 0;

void resetPlayState()
{
    PlayState = 0;
}
