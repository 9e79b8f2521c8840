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
