#pragma once

#include <QByteArray>
#include <QString>

// Text of a file or a path whose bytes need not be valid UTF-8, turned into QString and back
// without losing any byte. Valid UTF-8 reads as itself (a leading U+FEFF included, which Qt's
// own decoding drops); each byte that is not part of a valid sequence reads as the lone
// surrogate U+DC80..U+DCFF, and turns back into that byte. A folder whose name is in an old
// 8-bit encoding therefore survives every load and save.
QString textKeepingBytes(const QByteArray& bytes);
QByteArray bytesKeptIn(const QString& text);
