#include "engine/DiscLocator.h"

#include <fcntl.h>
#include <glob.h>
#include <linux/cdrom.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdlib>

namespace gstdvd {

namespace {

bool isDirectory(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string upper(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return s;
}

std::string baseName(const std::string& path)
{
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string withoutTrailingSlashes(std::string path)
{
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

// libdvdread accepts the upper- and the lower-case spelling of the folder.
bool hasVideoTs(const std::string& folder)
{
    return isDirectory(folder + "/VIDEO_TS") || isDirectory(folder + "/video_ts");
}

std::vector<std::string> expand(const std::string& pattern)
{
    std::vector<std::string> paths;
    glob_t g {};
    if (::glob(pattern.c_str(), 0, nullptr, &g) == 0) {
        for (size_t i = 0; i < g.gl_pathc; ++i)
            paths.emplace_back(g.gl_pathv[i]);
    }
    ::globfree(&g);
    return paths;
}

bool driveHoldsDisc(const std::string& device)
{
    const int fd = ::open(device.c_str(), O_RDONLY | O_NONBLOCK);
    if (fd < 0)
        return false;
    const int status = ::ioctl(fd, CDROM_DRIVE_STATUS, CDSL_CURRENT);
    ::close(fd);
    return status == CDS_DISC_OK;
}

}  // namespace

std::optional<std::string> discLocation(const std::string& path, std::string* error)
{
    auto fail = [&](const std::string& why) -> std::optional<std::string> {
        if (error)
            *error = why;
        return std::nullopt;
    };
    if (path.empty())
        return fail("no disc path given");
    const std::string clean = withoutTrailingSlashes(path);
    struct stat st {};
    if (::stat(clean.c_str(), &st) != 0)
        return fail("'" + path + "' does not exist");
    if (S_ISDIR(st.st_mode)) {
        if (upper(baseName(clean)) == "VIDEO_TS") {
            const auto slash = clean.find_last_of('/');
            if (slash == std::string::npos)
                return std::string(".");
            return slash == 0 ? std::string("/") : clean.substr(0, slash);
        }
        if (hasVideoTs(clean))
            return clean;
        return fail("'" + path + "' holds no VIDEO_TS folder");
    }
    if (S_ISREG(st.st_mode) || S_ISBLK(st.st_mode))
        return clean;
    return fail("'" + path + "' is neither a folder, an image file nor a device");
}

std::vector<std::string> discCandidates(const DiscSearch& search)
{
    std::vector<std::string> found;
    std::vector<std::string> seenDevices;
    for (const auto& pattern : search.drivePatterns) {
        for (const auto& device : expand(pattern)) {
            char real[PATH_MAX];
            const std::string id = ::realpath(device.c_str(), real) ? std::string(real) : device;
            if (std::find(seenDevices.begin(), seenDevices.end(), id) != seenDevices.end())
                continue;
            seenDevices.push_back(id);
            if (driveHoldsDisc(device))
                found.push_back(device);
        }
    }
    for (const auto& pattern : search.mountPatterns) {
        for (const auto& folder : expand(pattern)) {
            if (isDirectory(folder) && hasVideoTs(folder)
                && std::find(found.begin(), found.end(), folder) == found.end())
                found.push_back(folder);
        }
    }
    return found;
}

}  // namespace gstdvd
