#include "core/Resources.h"

#include <QtGlobal>

static void registerArtwork()
{
    Q_INIT_RESOURCE(resources);
}

void loadResources()
{
    static const bool loaded = (registerArtwork(), true);
    (void)loaded;
}
