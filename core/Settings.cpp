#include "core/Settings.h"

SettingsRecord Settings;

void resetSettings()
{
    Settings = SettingsRecord{};
}
