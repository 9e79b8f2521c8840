// Fuzzes the profile service with whole files, sections, keys and values of any bytes, and checks
// after each write what the settings file relies on: the key reads back what was written (after
// the documented trimming), no other key changes, no key or section appears but the one written,
// and a value never spans two lines.
//
// Input: the file's bytes, then the section, the key and the value, separated by 0xFF bytes
// (which UTF-8 text never holds).
#include "platform/PrivateProfile.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <utility>
#include <vector>

namespace {

[[noreturn]] void broken(const char* what, const QByteArray& detail = {})
{
    std::fprintf(stderr, "profile invariant broken: %s %s\n", what, detail.constData());
    std::abort();
}

QByteArray blanksTrimmed(const QByteArray& text)
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

Keys keysOf(QByteArray data)
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

QByteArray unquoted(QByteArray value)
{
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        value = value.mid(1, value.size() - 2);
    return value;
}

// What a read of a key answers for the raw text after its '=': blanks and one pair of quotes
// dropped, cut at a NUL and at the byte limit.
QString readAs(const QByteArray& raw)
{
    return QString::fromLocal8Bit(raw);
}

QByteArray field(const uint8_t*& at, const uint8_t* end)
{
    const uint8_t* start = at;
    while (at < end && *at != 0xFF)
        ++at;
    QByteArray text(reinterpret_cast<const char*>(start), static_cast<int>(at - start));
    if (at < end)
        ++at;
    return text;
}

// A section or key the program could name: text without line breaks, brackets, '=' or NULs,
// not empty, not starting a comment, with no blanks around it.
bool nameable(const QByteArray& name)
{
    if (name.isEmpty() || blanksTrimmed(name) != name || name.startsWith(';') || name.startsWith('#'))
        return false;
    for (char c : name)
        if (c == '\n' || c == '\r' || c == '\0' || c == '=' || c == '[' || c == ']')
            return false;
    return QString::fromLocal8Bit(name).toLocal8Bit() == name;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/quorvel2.ini");
    const uint8_t* at = data;
    const uint8_t* end = data + size;
    const QByteArray before = field(at, end);
    const QByteArray section = field(at, end);
    const QByteArray key = field(at, end);
    const QByteArray value = field(at, end);
    if (!nameable(section) || !nameable(key))
        return 0;
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(before) != before.size())
            broken("cannot set up the file");
    }
    const Keys keysBefore = keysOf(before);
    const QString written = QString::fromLocal8Bit(value);
    if (!PrivateProfile::write(path, QString::fromLocal8Bit(section), QString::fromLocal8Bit(key), written))
        broken("write failed");
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        broken("file gone");
    const QByteArray after = file.readAll();
    const Keys keysAfter = keysOf(after);

    const auto target = std::make_pair(section.toLower(), key.toLower());
    for (const auto& [name, raw] : keysAfter) {
        if (name == target)
            continue;
        const auto found = keysBefore.find(name);
        if (found == keysBefore.end())
            broken("a key appeared", name.first + "/" + name.second + " = " + raw);
        // As a reader sees it: a last line without a line end that ends in CR gives up that
        // CR to the line end a later line brings, which no reader can tell.
        if (blanksTrimmed(found->second) != blanksTrimmed(raw))
            broken("another key changed", name.first + "/" + name.second);
    }
    for (const auto& [name, raw] : keysBefore)
        if (name != target && !keysAfter.count(name))
            broken("a key vanished", name.first + "/" + name.second);
    if (!keysAfter.count(target))
        broken("the written key is not in the file");

    // Written, the value is one line: its breaks and NULs are blanks, so what reads back is the
    // value with those made blanks, trimmed, one pair of quotes dropped, cut at the limit.
    QByteArray expected = written.toLocal8Bit();
    for (char& c : expected)
        if (c == '\n' || c == '\r' || c == '\0')
            c = ' ';
    expected = blanksTrimmed(expected);
    if (expected.size() >= 2 && (expected.front() == '"' || expected.front() == '\'') && expected.back() == expected.front())
        expected = expected.mid(1, expected.size() - 2);
    const QString read = PrivateProfile::read(path, QString::fromLocal8Bit(section), QString::fromLocal8Bit(key));
    const QString wanted = readAs(expected);
    if (expected.size() <= PrivateProfile::MaxValueBytes ? read != wanted : !wanted.startsWith(read))
        broken("the key does not read back what was written", read.toLocal8Bit() + " vs " + expected);
    // And it is the key's first line that holds it: a second line of the same key, added while
    // an earlier one stays, would be read by anyone else instead.
    QByteArray firstLine = unquoted(blanksTrimmed(keysAfter.at(target)));
    if (const int nul = firstLine.indexOf('\0'); nul >= 0)
        firstLine.truncate(nul);
    const QString held = readAs(firstLine);
    if (firstLine.size() <= PrivateProfile::MaxValueBytes ? held != read : !held.startsWith(read))
        broken("the written key's first line does not hold the value", keysAfter.at(target));
    return 0;
}
