#include "platform/PrivateProfile.h"

#include "platform/ByteKeepingText.h"
#include "platform/WholeFile.h"

#include <QFile>

namespace {

struct Line {
    QByteArray text; // without its line end
};

struct ProfileText {
    std::vector<Line> lines;
    QByteArray eol = "\n";
    bool endsWithEol = true;
    // Kept as the file had it: dropped, a second one behind it would become the mark, and the
    // line it stood on would read otherwise.
    bool byteOrderMark = false;
};

QByteArray trimmedBlanks(const QByteArray& text)
{
    int begin = 0;
    int end = text.size();
    while (begin < end && (text[begin] == ' ' || text[begin] == '\t'))
        ++begin;
    while (end > begin && (text[end - 1] == ' ' || text[end - 1] == '\t' || text[end - 1] == '\r'))
        --end;
    return text.mid(begin, end - begin);
}

ProfileText parse(const QByteArray& raw)
{
    ProfileText profile;
    QByteArray data = raw;
    if (data.startsWith("\xEF\xBB\xBF")) {
        data.remove(0, 3);
        profile.byteOrderMark = true;
    }
    // The file's own line end is the one most of its lines have. A file of CR LF lines keeps
    // them; in a file of LF lines a CR before a line end is the line's own byte and stays in its
    // text, so a line the write does not touch is written back as it was, and what it writes
    // reads back as the same kind of file (a CR LF made of such a byte and a new LF must not turn
    // the file into a CR LF one on the next write).
    const int lineEnds = static_cast<int>(data.count('\n'));
    const int crLineEnds = static_cast<int>(data.count("\r\n"));
    const bool crlf = crLineEnds > lineEnds - crLineEnds;
    if (crlf)
        profile.eol = "\r\n";
    profile.endsWithEol = data.isEmpty() || data.endsWith('\n');
    int start = 0;
    while (start < data.size()) {
        int newline = data.indexOf('\n', start);
        int stop = newline < 0 ? data.size() : newline;
        QByteArray text = data.mid(start, stop - start);
        if (crlf && text.endsWith('\r')) {
            text.chop(1);
            // A CR ending a CR LF file is the first half of its last line end.
            if (newline < 0)
                profile.endsWithEol = true;
        }
        profile.lines.push_back({text});
        if (newline < 0)
            break;
        start = newline + 1;
    }
    return profile;
}

// The section name of a "[name]" line, or a null array for any other line.
QByteArray sectionName(const QByteArray& line)
{
    QByteArray t = trimmedBlanks(line);
    if (!t.startsWith('['))
        return {};
    int close = t.indexOf(']');
    QByteArray name = close < 0 ? t.mid(1) : t.mid(1, close - 1);
    name = trimmedBlanks(name);
    if (name.isNull())
        name = QByteArray("");
    return name;
}

bool sameName(const QByteArray& a, const QByteArray& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// The key of a "key=value" line, and where its value starts (past the '='). A line of a bare
// word is that key with an empty value, as the desktop's profile service takes it, so a write
// of the key replaces that line. Blank lines and comments hold no key: a null array.
QByteArray keyName(const QByteArray& line, int* valueStart)
{
    int eq = line.indexOf('=');
    if (eq < 0) {
        QByteArray bare = trimmedBlanks(line);
        if (bare.isEmpty() || bare.startsWith(';') || bare.startsWith('#'))
            return {};
        *valueStart = line.size();
        return bare;
    }
    *valueStart = eq + 1;
    QByteArray key = trimmedBlanks(line.left(eq));
    if (key.isNull())
        key = QByteArray("");
    return key;
}

struct Position {
    int sectionLine = -1; // index of the "[section]" line
    int sectionEnd = -1; // one past the last line belonging to the section
    int keyLine = -1;
};

Position locate(const ProfileText& profile, const QByteArray& section, const QByteArray& key)
{
    Position pos;
    const int count = static_cast<int>(profile.lines.size());
    for (int i = 0; i < count; ++i) {
        QByteArray name = sectionName(profile.lines[i].text);
        if (name.isNull() || !sameName(name, section))
            continue;
        pos.sectionLine = i;
        int j = i + 1;
        for (; j < count; ++j) {
            if (!sectionName(profile.lines[j].text).isNull())
                break;
            int eq = 0;
            QByteArray k = keyName(profile.lines[j].text, &eq);
            if (pos.keyLine < 0 && !k.isNull() && sameName(k, key))
                pos.keyLine = j;
        }
        pos.sectionEnd = j;
        break;
    }
    return pos;
}

QByteArray unquoted(QByteArray value)
{
    if (value.size() >= 2) {
        char first = value.front();
        if ((first == '"' || first == '\'') && value.back() == first)
            value = value.mid(1, value.size() - 2);
    }
    return value;
}

// Cuts to the byte limit without leaving half of a multi-byte character behind.
QByteArray cutToLimit(QByteArray value)
{
    if (value.size() <= PrivateProfile::MaxValueBytes)
        return value;
    value.truncate(PrivateProfile::MaxValueBytes);
    int i = value.size();
    int continuation = 0;
    while (i > 0 && (static_cast<unsigned char>(value[i - 1]) & 0xC0) == 0x80) {
        --i;
        ++continuation;
    }
    if (i > 0) {
        unsigned char lead = static_cast<unsigned char>(value[i - 1]);
        int expected = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : 0;
        if (lead >= 0xC0 && continuation < expected)
            value.truncate(i - 1);
    }
    return value;
}

// A value that held a line break would end its line early and could start a new key line;
// breaks (and NULs, which end a value on read) become blanks.
QByteArray singleLine(QByteArray value)
{
    for (char& c : value) {
        if (c == '\r' || c == '\n' || c == '\0')
            c = ' ';
    }
    return value;
}

// A value the read would change (blanks at its ends, or a pair of quotes around it) is written
// in quotes, so that it reads back as written: the read drops the blanks outside the quotes and
// that one pair.
QByteArray readableAsWritten(const QByteArray& value)
{
    if (value.isEmpty())
        return value;
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    const bool quoted = value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front();
    if (quoted || blank(value.front()) || blank(value.back()))
        return '"' + value + '"';
    return value;
}

void setValue(ProfileText& profile, const QByteArray& section, const QByteArray& key, const QByteArray& value)
{
    Position pos = locate(profile, section, key);
    if (pos.keyLine >= 0) {
        Line& line = profile.lines[pos.keyLine];
        int eq = 0;
        QByteArray spelled = keyName(line.text, &eq);
        line.text = spelled + '=' + value;
        return;
    }
    Line newLine{key + '=' + value};
    if (pos.sectionLine < 0) {
        profile.lines.push_back({'[' + section + ']'});
        profile.lines.push_back(newLine);
        profile.endsWithEol = true;
        return;
    }
    // After the section's last non-blank line, so blank lines before the next section stay there.
    int insertAt = pos.sectionEnd;
    while (insertAt > pos.sectionLine + 1 && trimmedBlanks(profile.lines[insertAt - 1].text).isEmpty())
        --insertAt;
    profile.lines.insert(profile.lines.begin() + insertAt, newLine);
    if (insertAt == static_cast<int>(profile.lines.size()) - 1)
        profile.endsWithEol = true;
}

QByteArray serialize(const ProfileText& profile)
{
    QByteArray out;
    if (profile.byteOrderMark)
        out += "\xEF\xBB\xBF";
    for (size_t i = 0; i < profile.lines.size(); ++i) {
        out += profile.lines[i].text;
        if (i + 1 < profile.lines.size() || profile.endsWithEol)
            out += profile.eol;
    }
    return out;
}

bool readFile(const QString& path, QByteArray* data)
{
    QFile file(path);
    if (!file.exists())
        return true;
    if (!file.open(QIODevice::ReadOnly))
        return false;
    *data = file.readAll();
    return true;
}

} // namespace

namespace PrivateProfile {

QString read(const QString& path, const QString& section, const QString& key)
{
    QByteArray data;
    if (!readFile(path, &data) || data.isEmpty())
        return {};
    ProfileText profile = parse(data);
    Position pos = locate(profile, bytesKeptIn(section), bytesKeptIn(key));
    if (pos.keyLine < 0)
        return {};
    const QByteArray& line = profile.lines[pos.keyLine].text;
    int valueStart = 0;
    keyName(line, &valueStart);
    QByteArray value = unquoted(trimmedBlanks(line.mid(valueStart)));
    int nul = value.indexOf('\0');
    if (nul >= 0)
        value.truncate(nul);
    return textKeepingBytes(cutToLimit(value));
}

bool writeAll(const QString& path, const QString& section, const std::vector<std::pair<QString, QString>>& pairs)
{
    QByteArray data;
    if (!readFile(path, &data))
        return false;
    ProfileText profile = parse(data);
    if (data.isEmpty())
        profile.lines.clear();
    for (const auto& [key, value] : pairs)
        setValue(profile, bytesKeptIn(section), bytesKeptIn(key), readableAsWritten(singleLine(bytesKeptIn(value))));

    // Not QSaveFile: its buffered write can fail on a full disk and the commit still renames the
    // empty copy over the good file.
    const QByteArray out = serialize(profile);
    return writeWholeFile(QFile::encodeName(path).toStdString(), std::string_view(out.constData(), out.size()),
                          nullptr);
}

bool write(const QString& path, const QString& section, const QString& key, const QString& value)
{
    return writeAll(path, section, {{key, value}});
}

} // namespace PrivateProfile
