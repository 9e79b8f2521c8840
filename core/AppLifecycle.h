#pragma once

// The load handler of the panel: places the screen window and the playback control, resets the
// read-out and runs AppStart. Returns false when the user chose to end at the settings prompt.
bool Form1Load();
void AppStart();
// Every way of quitting ends here, once: stop, save, close both windows, remove the icon, end.
// That includes ends asked from outside once the start is done: a termination signal or the
// desktop session's end.
void AppEnd();

// Ends the process at once (through the platform).
void EndProcess();
bool processEnded();
bool appEnding();
// Back to process start (for tests).
void resetLifecycle();
