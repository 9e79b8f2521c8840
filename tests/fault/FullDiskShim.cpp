// Loaded with LD_PRELOAD: makes the disk look full for the files of one folder. Writes to a file
// under that folder succeed until a byte budget is spent, then fail with ENOSPC, the way a disk
// that fills up mid-file does. Everything else is written as usual. The test drives it through
// fullDiskFailWritesUnder and fullDiskStop, looked up with dlsym.
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/types.h>
#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <string>

namespace {

std::mutex guard;
bool active = false;
std::string folder;
long long budget = 0;

template <typename Fn>
Fn next(const char* name)
{
    return reinterpret_cast<Fn>(dlsym(RTLD_NEXT, name));
}

bool underFolder(int fd)
{
    char link[64];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    char target[PATH_MAX];
    const ssize_t n = readlink(link, target, sizeof target - 1);
    if (n <= 0)
        return false;
    target[n] = '\0';
    return std::strncmp(target, folder.c_str(), folder.size()) == 0 && target[folder.size()] == '/';
}

// How many of the bytes asked for may go through: all of them for other files, what is left of
// the budget for the full folder's, and -1 (errno ENOSPC) once nothing is left.
ssize_t allowance(int fd, size_t asked)
{
    const int saved = errno;
    std::lock_guard<std::mutex> lock(guard);
    if (!active || asked == 0 || !underFolder(fd)) {
        errno = saved;
        return static_cast<ssize_t>(std::min<size_t>(asked, SSIZE_MAX));
    }
    if (budget <= 0) {
        errno = ENOSPC;
        return -1;
    }
    const auto granted = static_cast<ssize_t>(std::min<long long>(budget, static_cast<long long>(asked)));
    budget -= granted;
    errno = saved;
    return granted;
}

size_t total(const iovec* iov, int count)
{
    size_t sum = 0;
    for (int i = 0; i < count; ++i)
        sum += iov[i].iov_len;
    return sum;
}

// Vectored writes that may only pass part of their bytes go out as one plain write of a joined
// copy: simpler than trimming the vector, and the caller cannot tell the difference.
std::string joined(const iovec* iov, int count, size_t limit)
{
    std::string out;
    for (int i = 0; i < count && out.size() < limit; ++i)
        out.append(static_cast<const char*>(iov[i].iov_base), std::min(iov[i].iov_len, limit - out.size()));
    return out;
}

} // namespace

extern "C" {

__attribute__((visibility("default"))) void fullDiskFailWritesUnder(const char* path, long long bytesAllowed)
{
    std::lock_guard<std::mutex> lock(guard);
    folder = path;
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    budget = bytesAllowed;
    active = true;
}

__attribute__((visibility("default"))) void fullDiskStop()
{
    std::lock_guard<std::mutex> lock(guard);
    active = false;
}

__attribute__((visibility("default"))) ssize_t write(int fd, const void* buf, size_t count)
{
    static auto real = next<ssize_t (*)(int, const void*, size_t)>("write");
    const ssize_t n = allowance(fd, count);
    return n < 0 ? -1 : real(fd, buf, static_cast<size_t>(n));
}

__attribute__((visibility("default"))) ssize_t pwrite(int fd, const void* buf, size_t count, off_t offset)
{
    static auto real = next<ssize_t (*)(int, const void*, size_t, off_t)>("pwrite");
    const ssize_t n = allowance(fd, count);
    return n < 0 ? -1 : real(fd, buf, static_cast<size_t>(n), offset);
}

__attribute__((visibility("default"))) ssize_t pwrite64(int fd, const void* buf, size_t count, off64_t offset)
{
    static auto real = next<ssize_t (*)(int, const void*, size_t, off64_t)>("pwrite64");
    const ssize_t n = allowance(fd, count);
    return n < 0 ? -1 : real(fd, buf, static_cast<size_t>(n), offset);
}

__attribute__((visibility("default"))) ssize_t writev(int fd, const iovec* iov, int count)
{
    static auto real = next<ssize_t (*)(int, const iovec*, int)>("writev");
    static auto realWrite = next<ssize_t (*)(int, const void*, size_t)>("write");
    const size_t asked = total(iov, count);
    const ssize_t n = allowance(fd, asked);
    if (n < 0)
        return -1;
    if (static_cast<size_t>(n) == asked)
        return real(fd, iov, count);
    const std::string part = joined(iov, count, static_cast<size_t>(n));
    return realWrite(fd, part.data(), part.size());
}

__attribute__((visibility("default"))) ssize_t pwritev(int fd, const iovec* iov, int count, off_t offset)
{
    static auto real = next<ssize_t (*)(int, const iovec*, int, off_t)>("pwritev");
    static auto realPwrite = next<ssize_t (*)(int, const void*, size_t, off_t)>("pwrite");
    const size_t asked = total(iov, count);
    const ssize_t n = allowance(fd, asked);
    if (n < 0)
        return -1;
    if (static_cast<size_t>(n) == asked)
        return real(fd, iov, count, offset);
    const std::string part = joined(iov, count, static_cast<size_t>(n));
    return realPwrite(fd, part.data(), part.size(), offset);
}

__attribute__((visibility("default"))) ssize_t pwritev64(int fd, const iovec* iov, int count, off64_t offset)
{
    static auto real = next<ssize_t (*)(int, const iovec*, int, off64_t)>("pwritev64");
    static auto realPwrite = next<ssize_t (*)(int, const void*, size_t, off64_t)>("pwrite64");
    const size_t asked = total(iov, count);
    const ssize_t n = allowance(fd, asked);
    if (n < 0)
        return -1;
    if (static_cast<size_t>(n) == asked)
        return real(fd, iov, count, offset);
    const std::string part = joined(iov, count, static_cast<size_t>(n));
    return realPwrite(fd, part.data(), part.size(), offset);
}

} // extern "C"
