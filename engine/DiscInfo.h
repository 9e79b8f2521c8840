#pragma once

#include "engine/Scrambling.h"

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

struct dvdnav_s;

namespace gstdvd {

// The disc's structure, read through a navigator of our own beside the one that plays: the
// playing navigator only answers for the title it is in, and asking it means a trip through
// the pipeline. Everything is read when it opens (away from the window thread: a drive may take
// seconds), and nothing changes after, so it can be shared between threads.
class DiscInfo {
public:
    // Null when the path holds no readable DVD-Video structure; the reason goes to *error.
    static std::unique_ptr<DiscInfo> open(const std::string& device, std::string* error);
    ~DiscInfo();
    DiscInfo(const DiscInfo&) = delete;
    DiscInfo& operator=(const DiscInfo&) = delete;

    const std::string& device() const { return device_; }
    int titleCount() const { return titleCount_; }
    std::optional<int> chapterCount(int title) const;
    // The chapter playing at a title time (nanoseconds), from the chapter lengths in the disc's
    // tables: what the picture shows, where the navigator would tell where it is reading,
    // which runs ahead of the picture by the pipeline's queues.
    std::optional<int> chapterAt(int title, int64_t position) const;
    // Whether the menu (DVD-Video menu id 2..7) exists for the title set of `title`; title 0 or
    // unknown means the first title's set, which is where the menus of a menu-only state live.
    bool hasMenu(int menuId, int title) const;
    // Stable for the same disc content, different for different discs: keys the bookmark.
    const std::string& key() const { return key_; }
    // Its sound and pictures are still scrambled as read (an encrypted disc, and nothing that
    // could decrypt it): it would play as noise.
    bool scrambled() const { return scrambling_ == Scrambling::Scrambled; }
    // Its sound and pictures were read and are clear: whatever fails later, encryption is not it.
    bool readsClear() const { return scrambling_ == Scrambling::Clear; }

private:
    explicit DiscInfo(std::string device);
    void readTitles(dvdnav_s* nav);
    void readMenus(dvdnav_s* nav);
    void computeKey(dvdnav_s* nav);

    std::string device_;
    int titleCount_ = 0;
    std::string key_;
    Scrambling scrambling_ = Scrambling::Clear;
    std::map<int, int> chapterCounts_;
    std::map<std::pair<int, int>, bool> menus_;
    std::map<int, std::vector<int64_t>> chapterEnds_;
};

}  // namespace gstdvd
