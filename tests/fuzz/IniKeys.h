#pragma once
// How a reader of INI files sees a file's keys, written apart from the profile service so the
// fuzz targets can check it against an independent reading.

#include <QByteArray>
#include <QList>

#include <map>
#include <utility>

inline QByteArray blanksTrimmed(const QByteArray& text)
{
    int begin = 0;
    int end = text.size();
    while (begin < end && (text[begin] == ' ' || text[begin] == '\t'))
        ++begin;
    while (end > begin && (text[end - 1] == ' ' || text[end - 1] == '\t' || text[end - 1] == '\r'))
        --end;
    return text.mid(begin, end - begin);
}

// The keys of the file as a reader of INI files sees them: section (lower case) and key (lower
// case) to the raw text after '=' of the first such line. A bare word is a key with no value.
using Keys = std::map<std::pair<QByteArray, QByteArray>, QByteArray>;

inline Keys keysOf(QByteArray data)
{
    if (data.startsWith("\xEF\xBB\xBF"))
        data.remove(0, 3);
    Keys keys;
    QByteArray section;
    bool inSection = false;
    std::map<QByteArray, bool> seenSections;
    for (QByteArray line : data.split('\n')) {
        if (line.endsWith('\r'))
            line.chop(1);
        const QByteArray t = blanksTrimmed(line);
        if (t.startsWith('[')) {
            const int close = t.indexOf(']');
            section = blanksTrimmed(close < 0 ? t.mid(1) : t.mid(1, close - 1)).toLower();
            // Only a section's first occurrence counts, as the service finds the first.
            inSection = !seenSections[section];
            seenSections[section] = true;
            continue;
        }
        if (!inSection || t.isEmpty() || ((t.startsWith(';') || t.startsWith('#')) && !t.contains('=')))
            continue;
        const int eq = line.indexOf('=');
        const QByteArray key = blanksTrimmed(eq < 0 ? line : line.left(eq)).toLower();
        keys.emplace(std::make_pair(section, key), eq < 0 ? QByteArray() : line.mid(eq + 1));
    }
    return keys;
}

inline QByteArray unquoted(QByteArray value)
{
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        value = value.mid(1, value.size() - 2);
    return value;
}

