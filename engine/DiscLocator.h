#pragma once

#include <optional>
#include <string>
#include <vector>

namespace gstdvd {

// Where to look for a disc when none is named: optical drives first, then mounted media.
struct DiscSearch {
    std::vector<std::string> drivePatterns{"/dev/sr*", "/dev/cdrom", "/dev/dvd"};
    std::vector<std::string> mountPatterns{"/media/*", "/media/*/*", "/run/media/*/*", "/mnt/*"};
};

// The location libdvdnav opens for what the user named: a folder holding VIDEO_TS, the VIDEO_TS
// folder itself, an image file or a device. Null (with the reason) when it cannot be a disc.
std::optional<std::string> discLocation(const std::string& path, std::string* error);

// The first optical drive holding a disc, else the first mounted DVD-Video folder, checked only
// for their shape; the caller still opens it.
std::vector<std::string> discCandidates(const DiscSearch& search);

}  // namespace gstdvd
