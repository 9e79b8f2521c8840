#include "engine/DiscInfo.h"

#include <dvdnav/dvdnav.h>

#include <cstdio>
#include <cstdlib>

namespace gstdvd {

namespace {

// FNV-1a: enough to tell discs apart, no crypto wanted.
struct Fnv {
    uint64_t h = 1469598103934665603ULL;
    void add(const void* data, size_t size)
    {
        const auto* p = static_cast<const unsigned char*>(data);
        for (size_t i = 0; i < size; ++i) {
            h ^= p[i];
            h *= 1099511628211ULL;
        }
    }
    void add(uint64_t v) { add(&v, sizeof v); }
    void add(const char* s)
    {
        if (s)
            add(s, std::char_traits<char>::length(s));
        add(uint64_t{0});
    }
};

}  // namespace

std::unique_ptr<DiscInfo> DiscInfo::open(const std::string& device, std::string* error)
{
    dvdnav_t* nav = nullptr;
    if (dvdnav_open(&nav, device.c_str()) != DVDNAV_STATUS_OK) {
        if (error)
            *error = "libdvdnav cannot open '" + device + "' as a DVD-Video disc";
        if (nav)
            dvdnav_close(nav);
        return nullptr;
    }
    std::unique_ptr<DiscInfo> info(new DiscInfo(device));
    int32_t titles = 0;
    if (dvdnav_get_number_of_titles(nav, &titles) != DVDNAV_STATUS_OK || titles < 1) {
        if (error)
            *error = "'" + device + "' has no titles: " + dvdnav_err_to_string(nav);
        dvdnav_close(nav);
        return nullptr;
    }
    info->titleCount_ = titles;
    info->readTitles(nav);
    info->computeKey(nav);
    info->readMenus(nav);
    dvdnav_close(nav);
    info->scrambling_ = discScrambling(device);
    return info;
}

DiscInfo::DiscInfo(std::string device) : device_(std::move(device)) {}

DiscInfo::~DiscInfo() = default;

void DiscInfo::readTitles(dvdnav_s* nav)
{
    for (int title = 1; title <= titleCount_; ++title) {
        int32_t parts = 0;
        if (dvdnav_get_number_of_parts(nav, title, &parts) == DVDNAV_STATUS_OK)
            chapterCounts_[title] = parts;
        uint64_t* times = nullptr;
        uint64_t duration = 0;
        const uint32_t chapters = dvdnav_describe_title_chapters(nav, title, &times, &duration);
        std::vector<int64_t> ends;
        // The tables count in 90 kHz ticks; each entry is where a chapter ends.
        for (uint32_t i = 0; i < chapters && times; ++i)
            ends.push_back(static_cast<int64_t>(times[i] * 100000 / 9));
        std::free(times);
        chapterEnds_[title] = std::move(ends);
    }
}

void DiscInfo::readMenus(dvdnav_s* nav)
{
    for (int title = 1; title <= titleCount_; ++title) {
        // A menu call needs a running machine inside the right title set; landing on the title
        // is only bookkeeping in memory, nothing is read from the VOBs.
        const bool landed = dvdnav_title_play(nav, title) == DVDNAV_STATUS_OK;
        for (int menu = DVD_MENU_Title; menu <= DVD_MENU_Part; ++menu) {
            bool present = true;
            if (landed) {
                present = dvdnav_menu_call(nav, static_cast<DVDMenuID_t>(menu)) == DVDNAV_STATUS_OK;
                // Back in the title for the next call: a menu call from a menu means other things.
                dvdnav_title_play(nav, title);
            }
            menus_[{title, menu}] = present;
        }
    }
}

std::optional<int> DiscInfo::chapterCount(int title) const
{
    const auto found = chapterCounts_.find(title);
    if (found == chapterCounts_.end())
        return std::nullopt;
    return found->second;
}

std::optional<int> DiscInfo::chapterAt(int title, int64_t position) const
{
    const auto ends = chapterEnds_.find(title);
    if (ends == chapterEnds_.end() || ends->second.empty())
        return std::nullopt;
    int chapter = 1;
    for (size_t i = 0; i + 1 < ends->second.size() && ends->second[i] <= position; ++i)
        ++chapter;
    return chapter;
}

bool DiscInfo::hasMenu(int menuId, int title) const
{
    if (menuId < DVD_MENU_Title || menuId > DVD_MENU_Part)
        return false;
    if (title < 1 || title > titleCount_)
        title = 1;
    const auto found = menus_.find({title, menuId});
    return found == menus_.end() || found->second;
}

void DiscInfo::computeKey(dvdnav_s* nav)
{
    Fnv fnv;
    const char* text = nullptr;
    if (dvdnav_get_title_string(nav, &text) == DVDNAV_STATUS_OK)
        fnv.add(text);
    text = nullptr;
    if (dvdnav_get_serial_string(nav, &text) == DVDNAV_STATUS_OK)
        fnv.add(text);
    fnv.add(static_cast<uint64_t>(titleCount_));
    for (int title = 1; title <= titleCount_; ++title) {
        uint64_t* times = nullptr;
        uint64_t duration = 0;
        const uint32_t chapters = dvdnav_describe_title_chapters(nav, title, &times, &duration);
        fnv.add(static_cast<uint64_t>(chapters));
        fnv.add(duration);
        for (uint32_t i = 0; i < chapters && times; ++i)
            fnv.add(times[i]);
        std::free(times);
    }
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(fnv.h));
    key_ = hex;
}

}  // namespace gstdvd
