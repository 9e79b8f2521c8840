#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace gstdvd {

struct Bookmark {
    int title = 0;
    int chapter = 0;
    int64_t timeMs = 0;
    int angle = 1;
};

// One bookmark per disc, kept in a small text file so it outlives the process. An empty path
// keeps bookmarks in memory only.
class BookmarkStore {
public:
    explicit BookmarkStore(std::string path);

    std::optional<Bookmark> find(const std::string& discKey) const;
    // False (with the reason) when the file cannot be written; the bookmark is then not kept.
    bool put(const std::string& discKey, const Bookmark& bookmark, std::string* error);

private:
    struct Entry {
        std::string key;
        Bookmark bookmark;
    };
    bool load(std::string* error) const;

    std::string path_;
    mutable std::vector<Entry> entries_;
};

}  // namespace gstdvd
