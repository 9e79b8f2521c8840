#include "platform/Platform.h"

#include <cassert>

namespace {
Platform* installed = nullptr;
}

Platform& platform()
{
    assert(installed);
    return *installed;
}

void installPlatform(Platform* p)
{
    installed = p;
}
