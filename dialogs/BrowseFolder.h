#pragma once

// The folder chooser behind the settings dialog's "..." button, owned by the panel. Its only
// output is TempDir of the loaded settings dialog.
void BrowseFolder();
