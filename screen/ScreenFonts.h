#pragma once

#include <QString>

// The windows ask for their Japanese font by its Windows name, "ＭＳ Ｐゴシック" (a proportional
// gothic with the Shift-JIS character set). installFontSubstitutions, run once before the first
// window is drawn, maps that name to a Japanese proportional gothic installed here.
QString pGothicFamily();
void installFontSubstitutions();
