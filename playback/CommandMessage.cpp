#include "playback/CommandMessage.h"

#include "platform/Platform.h"

void ShowCommandFailure(const QString& text)
{
    platform().messageOk(QStringLiteral("Quorvel"), text);
}
