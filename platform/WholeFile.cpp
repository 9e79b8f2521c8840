#include "platform/WholeFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace {

void explain(std::string* error, const char* what, const std::string& path, int err)
{
    if (error)
        *error = std::string(what) + " '" + path + "': " + std::strerror(err);
}

std::string folderOf(const std::string& path)
{
    const auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Renaming over a symbolic link would replace the link with a plain file; the user who linked the
// settings elsewhere wants the file there to change.
std::string replacedFile(const std::string& path)
{
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
        return path;
    if (char* real = ::realpath(path.c_str(), nullptr)) {
        std::string target = real;
        std::free(real);
        return target;
    }
    // A link to a file not made yet: make it where the link points.
    char buffer[PATH_MAX];
    const ssize_t n = ::readlink(path.c_str(), buffer, sizeof buffer - 1);
    if (n <= 0)
        return path;
    std::string target(buffer, static_cast<size_t>(n));
    return target.front() == '/' ? target : folderOf(path) + "/" + target;
}

// The new copy goes in the same folder, so the rename is within one file system and atomic.
int createBeside(const std::string& target, std::string* copy, int* err)
{
    static std::atomic<unsigned> serial{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string candidate =
            target + ".new-" + std::to_string(::getpid()) + "-" + std::to_string(serial.fetch_add(1));
        // 0666 less the umask, as a file the program created directly would get.
        const int fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            *copy = std::move(candidate);
            return fd;
        }
        if (errno != EEXIST) {
            *err = errno;
            return -1;
        }
    }
    *err = EEXIST;
    return -1;
}

// A write may take fewer bytes than it was given (a disk filling up takes what fits first);
// only an error or every byte taken ends the loop.
bool writeEveryByte(int fd, std::string_view bytes, int* err)
{
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            *err = errno;
            return false;
        }
        if (n == 0) {
            *err = EIO;
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

} // namespace

bool writeWholeFile(const std::string& path, std::string_view bytes, std::string* error)
{
    const std::string target = replacedFile(path);
    std::string copy;
    int err = 0;
    const int fd = createBeside(target, &copy, &err);
    if (fd < 0) {
        explain(error, "cannot write", target, err);
        return false;
    }

    struct stat old {};
    if (::stat(target.c_str(), &old) == 0)
        ::fchmod(fd, old.st_mode & 07777);

    // Some file systems (network ones, delayed allocation) only report a full disk when the data
    // reaches it: the flush and the close are checked as much as the writes.
    bool written = writeEveryByte(fd, bytes, &err);
    if (written && ::fsync(fd) != 0) {
        err = errno;
        written = false;
    }
    if (::close(fd) != 0 && written) {
        err = errno;
        written = false;
    }
    if (!written) {
        ::unlink(copy.c_str());
        explain(error, "cannot write", target, err);
        return false;
    }
    if (::rename(copy.c_str(), target.c_str()) != 0) {
        err = errno;
        ::unlink(copy.c_str());
        explain(error, "cannot replace", target, err);
        return false;
    }
    // The new name itself lives in the folder; without this a power cut could still bring back
    // the old file. Nothing is lost if the folder cannot be flushed.
    const int folder = ::open(folderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
    return true;
}
