#pragma once

// Play state and the seven transport commands. Each command shows its own message when a step
// fails and ends there; what earlier steps did stays done.
bool RefreshPlayState();
bool ApplyDirectory();

void DvdPlay();
void DvdStop();
void DvdPause();
void DvdPrevChapter();
void DvdNextChapter();
void DvdRewind();
void DvdFastForward();

enum class PlaybackEnd;
// When playback has stopped by itself: the panel and the screen would otherwise go on showing
// the playing controls with play switched off, and only stop would get the user out; stop is
// done for them (after the play message, when the disc failed).
void PlaybackEndedByItself(PlaybackEnd end);
