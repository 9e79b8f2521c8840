#include "core/FilePlace.h"

#include "platform/Platform.h"

QString keptFilesFolder()
{
    const QString programFolder = platform().programFolder();
    if (platform().canCreateFilesIn(programFolder))
        return programFolder;
    const QString userFolder = platform().userConfigFolder();
    // With no folder of the user's either, the program folder is no worse: the save fails
    // silently there, as it always did.
    return userFolder.isEmpty() ? programFolder : userFolder;
}

QString bookmarkFilePath()
{
    return keptFilesFolder() + QStringLiteral("/quorvel2.bookmark");
}
