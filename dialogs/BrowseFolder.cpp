#include "dialogs/BrowseFolder.h"

#include "core/AppObjects.h"
#include "dialogs/Cont.h"
#include "panel/Form1.h"
#include "platform/Platform.h"

void BrowseFolder()
{
    Cont* dialog = contIfLoaded();
    if (!dialog)
        return;
    const QString path = platform().browseFolder(&form1(), QStringLiteral("フォルダを選択してください。"));
    // A user who opens the chooser and thinks better of it should not lose the disc folder
    // they had: cancelling keeps it.
    if (path.isEmpty())
        return;
    dialog->TempDir = path.toStdString();
}
