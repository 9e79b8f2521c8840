#include "screen/ScreenFonts.h"

#include <QFont>
#include <QStringList>

QString pGothicFamily()
{
    return QStringLiteral("ＭＳ Ｐゴシック");
}

void installFontSubstitutions()
{
    // Shift-JIS was asked for, so only faces that cover Japanese qualify; proportional ones first,
    // as the texts were laid out for one. Debian's fonts-ipafont-gothic provides IPAPGothic.
    QFont::insertSubstitutions(pGothicFamily(),
                               {QStringLiteral("IPAPGothic"), QStringLiteral("IPA Pゴシック"),
                                QStringLiteral("VL PGothic"), QStringLiteral("Noto Sans CJK JP"),
                                QStringLiteral("IPAGothic")});
}
