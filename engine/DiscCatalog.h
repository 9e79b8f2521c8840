#pragma once

#include "engine/DiscInfo.h"
#include "engine/DiscLocator.h"

#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <string>

namespace gstdvd {

// Reads discs away from the window thread and keeps what it read, one entry per place. Opening a
// disc means reading every title's tables, and a drive spinning up (or probing the drives in the
// automatic mode) can take seconds: the windows must go on meanwhile.
class DiscCatalog {
public:
    explicit DiscCatalog(DiscSearch search);
    // Readings still under way finish on their own; their results are dropped.
    ~DiscCatalog();
    DiscCatalog(const DiscCatalog&) = delete;
    DiscCatalog& operator=(const DiscCatalog&) = delete;

    struct Answer {
        std::shared_ptr<const DiscInfo> disc;
        std::string error;
        bool pending = false;
    };

    // Starts reading the disc at `location` (empty: finding one in the drives, then the mounted
    // media), unless a reading of it is under way. A folder or image read before and unchanged
    // since is not read again; a drive always is (the disc may have been swapped).
    void request(const std::string& location);
    // What is known of the disc, after waiting up to waitMs for a reading under way.
    Answer get(const std::string& location, int waitMs);

private:
    struct Entry {
        bool pending = false;
        std::shared_ptr<const DiscInfo> disc;
        std::string error;
        std::string fingerprint;
    };
    struct Shared {
        std::mutex mutex;
        std::condition_variable changed;
        std::map<std::string, Entry> entries;
        bool closing = false;
    };
    static void read(const std::shared_ptr<Shared>& shared, const DiscSearch& search, const std::string& location);

    DiscSearch search_;
    std::shared_ptr<Shared> shared_;
};

}  // namespace gstdvd
