#pragma once

// The panel's seven-line read-out: idle texts, and the twice-a-second refresh from the play
// state, the settings and the playback control.
void ResetStatus();
void RefreshStatus();
// The tick of the panel's Timer1: refresh, then (while playing) give the stored balance again.
void StatusTimerTick();
