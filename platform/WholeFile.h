#pragma once

#include <string>
#include <string_view>

// Replaces a file's contents in one step: the bytes go to a new file beside it, every one of them
// is checked written and flushed to the disk, and only then does the new file take the old one's
// name. A save that cannot write them all (a full disk, a quota, an I/O error) leaves the old
// file exactly as it was and no stray copy behind. The new file keeps the old one's permissions;
// a file reached through a symbolic link is replaced where the link points. False with the reason
// (naming the file) when the file was not replaced.
bool writeWholeFile(const std::string& path, std::string_view bytes, std::string* error);
