#include "platform/ByteKeepingText.h"

namespace {

constexpr char16_t KeptByteBase = 0xDC00;

// The length of the valid UTF-8 sequence at `at`, or 0 when the byte there starts none
// (overlong forms, surrogates and code points past U+10FFFF are not valid).
int sequenceLength(const unsigned char* at, int left, char32_t* code)
{
    const unsigned char lead = at[0];
    if (lead < 0x80) {
        *code = lead;
        return 1;
    }
    int length = 0;
    char32_t value = 0;
    char32_t least = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, value = lead & 0x1F, least = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, value = lead & 0x0F, least = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, value = lead & 0x07, least = 0x10000;
    } else {
        return 0;
    }
    if (left < length)
        return 0;
    for (int i = 1; i < length; ++i) {
        if ((at[i] & 0xC0) != 0x80)
            return 0;
        value = (value << 6) | (at[i] & 0x3F);
    }
    if (value < least || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        return 0;
    *code = value;
    return length;
}

void appendUtf8(QByteArray& out, char32_t code)
{
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

}  // namespace

QString textKeepingBytes(const QByteArray& bytes)
{
    QString text;
    text.reserve(bytes.size());
    const auto* at = reinterpret_cast<const unsigned char*>(bytes.constData());
    const int size = static_cast<int>(bytes.size());
    for (int i = 0; i < size;) {
        char32_t code = 0;
        const int length = sequenceLength(at + i, size - i, &code);
        if (length == 0) {
            text += QChar(static_cast<char16_t>(KeptByteBase + at[i]));
            ++i;
            continue;
        }
        if (code >= 0x10000) {
            text += QChar(QChar::highSurrogate(code));
            text += QChar(QChar::lowSurrogate(code));
        } else {
            text += QChar(static_cast<char16_t>(code));
        }
        i += length;
    }
    return text;
}

QByteArray bytesKeptIn(const QString& text)
{
    QByteArray out;
    out.reserve(text.size());
    const int size = static_cast<int>(text.size());
    for (int i = 0; i < size; ++i) {
        const char16_t unit = text[i].unicode();
        if (QChar::isHighSurrogate(unit) && i + 1 < size && QChar::isLowSurrogate(text[i + 1].unicode())) {
            appendUtf8(out, QChar::surrogateToUcs4(unit, text[i + 1].unicode()));
            ++i;
        } else if (unit >= KeptByteBase + 0x80 && unit <= KeptByteBase + 0xFF) {
            out += static_cast<char>(unit - KeptByteBase);
        } else if (QChar::isSurrogate(unit)) {
            // A lone surrogate that stands for no byte has no UTF-8 form.
            appendUtf8(out, 0xFFFD);
        } else {
            appendUtf8(out, unit);
        }
    }
    return out;
}
