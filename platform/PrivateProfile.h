#pragma once

#include <QString>
#include <utility>
#include <vector>

// An INI file read and edited line by line, the way the desktop's private-profile service does
// it: sections and keys match without regard to case, blanks around a value and one pair of
// enclosing quotes are dropped on read, and a write changes only the line of its key (or adds
// one at the end of its section), keeping comments, other sections and the file's line ends.
// Text is UTF-8, and bytes that are not valid UTF-8 come back as they were (ByteKeepingText.h);
// CRLF and LF files both read.
namespace PrivateProfile {

// Longest value handed out, in bytes of the file's encoding (the service's buffer less its NUL).
constexpr int MaxValueBytes = 1023;

// Empty text when the file, the section or the key is missing.
QString read(const QString& path, const QString& section, const QString& key);

// A value is written on one line (its line breaks and NULs as blanks), in quotes when the read
// would otherwise drop its outer blanks or quotes, so it reads back as written.
// Creates the file and the section when they are missing. The file is replaced in one step
// (written beside it, then renamed), so it is never left half-written. False when the file
// cannot be written; the old file then stays as it was.
bool write(const QString& path, const QString& section, const QString& key, const QString& value);
bool writeAll(const QString& path, const QString& section, const std::vector<std::pair<QString, QString>>& pairs);

} // namespace PrivateProfile
