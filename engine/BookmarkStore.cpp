#include "engine/BookmarkStore.h"

#include "platform/WholeFile.h"

#include <cstdio>
#include <fstream>
#include <sstream>

namespace gstdvd {

namespace {
constexpr const char* kHeader = "quorvel-bookmarks 1";
}

BookmarkStore::BookmarkStore(std::string path) : path_(std::move(path)) {}

bool BookmarkStore::load(std::string* error) const
{
    // Read every time: another instance of the program may have written the file since.
    entries_.clear();
    if (!path_.empty()) {
        std::ifstream in(path_);
        if (in) {
            std::string line;
            if (!std::getline(in, line) || line != kHeader) {
                // A file we did not write: leave it alone rather than overwrite it.
                if (error)
                    *error = "'" + path_ + "' is not a bookmark file";
                return false;
            }
            while (std::getline(in, line)) {
                std::istringstream fields(line);
                Entry e;
                if (fields >> e.key >> e.bookmark.title >> e.bookmark.chapter >> e.bookmark.timeMs >> e.bookmark.angle)
                    entries_.push_back(e);
            }
        }
    }
    return true;
}

std::optional<Bookmark> BookmarkStore::find(const std::string& discKey) const
{
    std::string error;
    if (!load(&error)) {
        std::fprintf(stderr, "quorvel: %s\n", error.c_str());
        return std::nullopt;
    }
    for (const auto& e : entries_) {
        if (e.key == discKey)
            return e.bookmark;
    }
    return std::nullopt;
}

bool BookmarkStore::put(const std::string& discKey, const Bookmark& bookmark, std::string* error)
{
    if (!load(error))
        return false;
    std::vector<Entry> updated = entries_;
    bool replaced = false;
    for (auto& e : updated) {
        if (e.key == discKey) {
            e.bookmark = bookmark;
            replaced = true;
        }
    }
    if (!replaced)
        updated.push_back({discKey, bookmark});

    if (!path_.empty()) {
        std::ostringstream out;
        out << kHeader << '\n';
        for (const auto& e : updated) {
            out << e.key << ' ' << e.bookmark.title << ' ' << e.bookmark.chapter << ' ' << e.bookmark.timeMs << ' '
                << e.bookmark.angle << '\n';
        }
        // One step, checked to the last byte: a full disk must not cost the bookmarks already kept.
        if (!writeWholeFile(path_, out.str(), error))
            return false;
    }
    entries_ = std::move(updated);
    return true;
}

}  // namespace gstdvd
