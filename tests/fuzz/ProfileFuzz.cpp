// Fuzzes the profile service with whole files, sections, keys and values of any bytes, and checks
// after each write what the settings file relies on: the key reads back what was written, byte
// for byte (its line breaks as blanks), no other key changes, no key or section appears but the one written,
// and a value never spans two lines.
//
// Input: the file's bytes, then the section, the key and the value, separated by 0xFF bytes
// (which UTF-8 text never holds).
#include "platform/ByteKeepingText.h"
#include "platform/PrivateProfile.h"
#include "IniKeys.h"

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
    return true;
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
    const QString written = textKeepingBytes(value);
    if (!PrivateProfile::write(path, textKeepingBytes(section), textKeepingBytes(key), written))
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

    // Written, the value is one line: its breaks and NULs are blanks, and that is what reads
    // back, cut at the limit.
    QByteArray expected = value;
    for (char& c : expected)
        if (c == '\n' || c == '\r' || c == '\0')
            c = ' ';
    // Byte for byte: bytes that are not UTF-8 come back as they went in.
    const QByteArray read = bytesKeptIn(PrivateProfile::read(path, textKeepingBytes(section), textKeepingBytes(key)));
    if (expected.size() <= PrivateProfile::MaxValueBytes ? read != expected : !expected.startsWith(read))
        broken("the key does not read back what was written", read + " vs " + expected);
    // And it is the key's first line that holds it: a second line of the same key, added while
    // an earlier one stays, would be read by anyone else instead.
    QByteArray firstLine = unquoted(blanksTrimmed(keysAfter.at(target)));
    if (const int nul = firstLine.indexOf('\0'); nul >= 0)
        firstLine.truncate(nul);
    if (firstLine.size() <= PrivateProfile::MaxValueBytes ? firstLine != read : !firstLine.startsWith(read))
        broken("the written key's first line does not hold the value", keysAfter.at(target));
    return 0;
}
