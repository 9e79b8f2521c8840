#pragma once

#include <QString>

// The one way a command tells the user it failed: an OK box titled with the program's name.
void ShowCommandFailure(const QString& text);
