#include "engine/DiscCatalog.h"

#include <sys/stat.h>

#include <chrono>
#include <thread>

namespace gstdvd {

namespace {

constexpr const char* kNoDisc = "no DVD-Video disc found in the drives or mounted media";

std::string statPrint(const std::string& path)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return {};
    return std::to_string(st.st_size) + ":" + std::to_string(st.st_mtim.tv_sec) + "."
        + std::to_string(st.st_mtim.tv_nsec) + ":" + std::to_string(st.st_ino);
}

// What changes when a folder or image holds another disc; empty for a drive or the automatic
// search, which are always read again.
std::string fingerprint(const std::string& location)
{
    struct stat st {};
    if (location.empty() || ::stat(location.c_str(), &st) != 0 || S_ISBLK(st.st_mode))
        return {};
    if (S_ISREG(st.st_mode))
        return statPrint(location);
    for (const char* ifo : {"/VIDEO_TS/VIDEO_TS.IFO", "/video_ts/video_ts.ifo", "/VIDEO_TS/VIDEO_TS.BUP"}) {
        const std::string print = statPrint(location + ifo);
        if (!print.empty())
            return print;
    }
    return {};
}

}  // namespace

DiscCatalog::DiscCatalog(DiscSearch search) : search_(std::move(search)), shared_(std::make_shared<Shared>()) {}

DiscCatalog::~DiscCatalog()
{
    std::lock_guard<std::mutex> lock(shared_->mutex);
    shared_->closing = true;
}

void DiscCatalog::request(const std::string& location)
{
    {
        std::lock_guard<std::mutex> lock(shared_->mutex);
        Entry& entry = shared_->entries[location];
        if (entry.pending)
            return;
        entry.pending = true;
    }
    // Detached: a drive that never answers must not hold up the engine's end. The thread keeps
    // what it writes to alive by itself.
    std::thread([shared = shared_, search = search_, location] { read(shared, search, location); }).detach();
}

void DiscCatalog::read(const std::shared_ptr<Shared>& shared, const DiscSearch& search, const std::string& location)
{
    const std::string print = fingerprint(location);
    {
        std::lock_guard<std::mutex> lock(shared->mutex);
        Entry& entry = shared->entries[location];
        if (!print.empty() && print == entry.fingerprint && entry.disc) {
            entry.pending = false;
            shared->changed.notify_all();
            return;
        }
    }
    std::shared_ptr<const DiscInfo> disc;
    std::string error;
    if (location.empty()) {
        for (const auto& candidate : discCandidates(search)) {
            if ((disc = DiscInfo::open(candidate, nullptr)))
                break;
        }
        if (!disc)
            error = kNoDisc;
    } else {
        disc = DiscInfo::open(location, &error);
    }
    std::lock_guard<std::mutex> lock(shared->mutex);
    if (shared->closing)
        return;
    Entry& entry = shared->entries[location];
    entry.pending = false;
    entry.disc = disc;
    entry.error = disc ? std::string() : error;
    entry.fingerprint = disc ? print : std::string();
    shared->changed.notify_all();
}

DiscCatalog::Answer DiscCatalog::get(const std::string& location, int waitMs)
{
    std::unique_lock<std::mutex> lock(shared_->mutex);
    auto& entries = shared_->entries;
    shared_->changed.wait_for(lock, std::chrono::milliseconds(waitMs), [&] {
        const auto found = entries.find(location);
        return found == entries.end() || !found->second.pending;
    });
    const auto found = entries.find(location);
    Answer answer;
    if (found == entries.end()) {
        answer.error = "the disc was never asked for";
        return answer;
    }
    answer.pending = found->second.pending;
    answer.disc = found->second.disc;
    answer.error = found->second.error;
    return answer;
}

}  // namespace gstdvd
