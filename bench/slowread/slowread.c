/* A slow disc in front of a folder, for LD_PRELOAD: every open and every read of a file under
 * SLOWREAD_DIR takes SLOWREAD_MS milliseconds longer (default 200), the way a scratched disc or
 * a drive spinning up answers. Nothing else is touched: the libraries and plugins the process
 * loads come through the same calls, and they must load at full speed.
 *
 *   LD_PRELOAD=.../libslowread.so SLOWREAD_DIR=/path/to/disc SLOWREAD_MS=200 program ...
 *   SLOWREAD_VERBOSE=1 prints, at exit of each process that was slowed, how many calls were
 *   delayed (helpers the program starts inherit the library and stay quiet).
 *
 * Caught: open, open64, openat, openat64 (and the _2 forms fortified code calls), read, pread,
 * pread64, readv, preadv, preadv64 (and the fortified read forms); close, dup, dup2, dup3 and
 * fcntl's F_DUPFD forms keep the table of delayed descriptors. A file counts when its path, resolved when it is opened, lies
 * under the folder (symbolic links followed); an open that fails counts by its path as written.
 * Descriptors are remembered with the file's device and inode, so a descriptor closed behind our
 * back (libc's own fclose) and reused for a pipe or socket is never delayed.
 */
#define _GNU_SOURCE
#undef _FORTIFY_SOURCE

#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <pthread.h>
#include <stdarg.h>
#include <stdatomic.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <sys/uio.h>
#include <time.h>
#include <unistd.h>

#define SLOWREAD_MAX_FD 65536

typedef int (*open_fn)(const char*, int, ...);
typedef int (*openat_fn)(int, const char*, int, ...);
typedef ssize_t (*read_fn)(int, void*, size_t);
typedef ssize_t (*pread_fn)(int, void*, size_t, off_t);
typedef ssize_t (*pread64_fn)(int, void*, size_t, off64_t);
typedef ssize_t (*readv_fn)(int, const struct iovec*, int);
typedef ssize_t (*preadv_fn)(int, const struct iovec*, int, off_t);
typedef ssize_t (*preadv64_fn)(int, const struct iovec*, int, off64_t);
typedef int (*close_fn)(int);
typedef int (*dup_fn)(int);
typedef int (*dup2_fn)(int, int);
typedef int (*dup3_fn)(int, int, int);
typedef int (*fcntl_fn)(int, int, ...);

static struct {
    open_fn open;
    open_fn open64;
    openat_fn openat;
    openat_fn openat64;
    read_fn read;
    pread_fn pread;
    pread64_fn pread64;
    readv_fn readv;
    preadv_fn preadv;
    preadv64_fn preadv64;
    close_fn close;
    dup_fn dup;
    dup2_fn dup2;
    dup3_fn dup3;
    fcntl_fn fcntl;
    fcntl_fn fcntl64;
} real;

static pthread_once_t once = PTHREAD_ONCE_INIT;
static int enabled;
static long delay_ms = 200;
/* The folder as named and as resolved; either may match a path written by the caller. */
static char dir_named[PATH_MAX];
static char dir_resolved[PATH_MAX];

static pthread_mutex_t table_lock = PTHREAD_MUTEX_INITIALIZER;
static atomic_uchar tracked[SLOWREAD_MAX_FD];
static dev_t tracked_dev[SLOWREAD_MAX_FD];
static ino_t tracked_ino[SLOWREAD_MAX_FD];

static atomic_ulong delayed_opens;
static atomic_ulong delayed_reads;

static void trim_slashes(char* path)
{
    size_t n = strlen(path);
    while (n > 1 && path[n - 1] == '/')
        path[--n] = '\0';
}

static void init(void)
{
    real.open = (open_fn)dlsym(RTLD_NEXT, "open");
    real.open64 = (open_fn)dlsym(RTLD_NEXT, "open64");
    real.openat = (openat_fn)dlsym(RTLD_NEXT, "openat");
    real.openat64 = (openat_fn)dlsym(RTLD_NEXT, "openat64");
    real.read = (read_fn)dlsym(RTLD_NEXT, "read");
    real.pread = (pread_fn)dlsym(RTLD_NEXT, "pread");
    real.pread64 = (pread64_fn)dlsym(RTLD_NEXT, "pread64");
    real.readv = (readv_fn)dlsym(RTLD_NEXT, "readv");
    real.preadv = (preadv_fn)dlsym(RTLD_NEXT, "preadv");
    real.preadv64 = (preadv64_fn)dlsym(RTLD_NEXT, "preadv64");
    real.close = (close_fn)dlsym(RTLD_NEXT, "close");
    real.dup = (dup_fn)dlsym(RTLD_NEXT, "dup");
    real.dup2 = (dup2_fn)dlsym(RTLD_NEXT, "dup2");
    real.dup3 = (dup3_fn)dlsym(RTLD_NEXT, "dup3");
    real.fcntl = (fcntl_fn)dlsym(RTLD_NEXT, "fcntl");
    real.fcntl64 = (fcntl_fn)dlsym(RTLD_NEXT, "fcntl64");
    if (!real.fcntl64)
        real.fcntl64 = real.fcntl;

    const char* dir = getenv("SLOWREAD_DIR");
    if (!dir || !*dir || strlen(dir) >= sizeof dir_named)
        return;
    strcpy(dir_named, dir);
    trim_slashes(dir_named);
    if (!realpath(dir, dir_resolved))
        strcpy(dir_resolved, dir_named);
    trim_slashes(dir_resolved);
    const char* ms = getenv("SLOWREAD_MS");
    if (ms && *ms) {
        char* end = NULL;
        const long value = strtol(ms, &end, 10);
        if (end && *end == '\0' && value >= 0)
            delay_ms = value;
    }
    enabled = 1;
}

static void ensure_init(void)
{
    pthread_once(&once, init);
}

static int under(const char* path, const char* dir)
{
    const size_t n = strlen(dir);
    if (n == 0 || strncmp(path, dir, n) != 0)
        return 0;
    return path[n] == '\0' || path[n] == '/' || (n == 1 && dir[0] == '/');
}

static int path_under_dir(const char* path)
{
    return under(path, dir_resolved) || under(path, dir_named);
}

static void sleep_delay(void)
{
    struct timespec left = { delay_ms / 1000, (delay_ms % 1000) * 1000000L };
    while (nanosleep(&left, &left) == -1 && errno == EINTR) {
    }
}

/* The path the kernel opened, which resolves "..", relative paths and links. */
static int fd_path(int fd, char* out, size_t size)
{
    char link[64];
    snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    const ssize_t n = readlink(link, out, size - 1);
    if (n < 0)
        return 0;
    out[n] = '\0';
    return 1;
}

/* For an open that failed: the path as written, made absolute by hand. */
static int written_path(int dirfd, const char* path, char* out, size_t size)
{
    char base[PATH_MAX];
    if (path[0] == '/') {
        snprintf(out, size, "%s", path);
        return 1;
    }
    if (dirfd == AT_FDCWD) {
        if (!getcwd(base, sizeof base))
            return 0;
    } else if (!fd_path(dirfd, base, sizeof base)) {
        return 0;
    }
    return snprintf(out, size, "%s/%s", base, path) < (int)size;
}

static void track(int fd)
{
    struct stat st;
    if (fd < 0 || fd >= SLOWREAD_MAX_FD || fstat(fd, &st) != 0)
        return;
    pthread_mutex_lock(&table_lock);
    tracked_dev[fd] = st.st_dev;
    tracked_ino[fd] = st.st_ino;
    atomic_store(&tracked[fd], 1);
    pthread_mutex_unlock(&table_lock);
}

static void untrack(int fd)
{
    if (fd < 0 || fd >= SLOWREAD_MAX_FD || !atomic_load(&tracked[fd]))
        return;
    pthread_mutex_lock(&table_lock);
    atomic_store(&tracked[fd], 0);
    pthread_mutex_unlock(&table_lock);
}

/* Whether a read on fd is one to delay: remembered, and still the same file. */
static int is_slow(int fd)
{
    if (!enabled || fd < 0 || fd >= SLOWREAD_MAX_FD || !atomic_load(&tracked[fd]))
        return 0;
    struct stat st;
    if (fstat(fd, &st) != 0) {
        untrack(fd);
        return 0;
    }
    pthread_mutex_lock(&table_lock);
    const int same = atomic_load(&tracked[fd]) && tracked_dev[fd] == st.st_dev && tracked_ino[fd] == st.st_ino;
    if (!same)
        atomic_store(&tracked[fd], 0);
    pthread_mutex_unlock(&table_lock);
    return same;
}

static void delay_read(int fd)
{
    if (is_slow(fd)) {
        atomic_fetch_add(&delayed_reads, 1);
        sleep_delay();
    }
}

/* After the real open: remember and delay a file under the folder. */
static int opened(int dirfd, const char* path, int fd)
{
    if (!enabled)
        return fd;
    const int saved = errno;
    char resolved[PATH_MAX];
    int slow = 0;
    if (fd >= 0) {
        untrack(fd);
        if (fd_path(fd, resolved, sizeof resolved) && path_under_dir(resolved)) {
            track(fd);
            slow = 1;
        }
    } else if (path && written_path(dirfd, path, resolved, sizeof resolved)) {
        slow = path_under_dir(resolved);
    }
    if (slow) {
        atomic_fetch_add(&delayed_opens, 1);
        sleep_delay();
    }
    errno = saved;
    return fd;
}

static mode_t mode_arg(int flags, va_list args)
{
    return (flags & O_CREAT) || (flags & __O_TMPFILE) == __O_TMPFILE ? (mode_t)va_arg(args, int) : 0;
}

int open(const char* path, int flags, ...)
{
    ensure_init();
    va_list args;
    va_start(args, flags);
    const mode_t mode = mode_arg(flags, args);
    va_end(args);
    return opened(AT_FDCWD, path, real.open(path, flags, mode));
}

int open64(const char* path, int flags, ...)
{
    ensure_init();
    va_list args;
    va_start(args, flags);
    const mode_t mode = mode_arg(flags, args);
    va_end(args);
    return opened(AT_FDCWD, path, real.open64(path, flags, mode));
}

int openat(int dirfd, const char* path, int flags, ...)
{
    ensure_init();
    va_list args;
    va_start(args, flags);
    const mode_t mode = mode_arg(flags, args);
    va_end(args);
    return opened(dirfd, path, real.openat(dirfd, path, flags, mode));
}

int openat64(int dirfd, const char* path, int flags, ...)
{
    ensure_init();
    va_list args;
    va_start(args, flags);
    const mode_t mode = mode_arg(flags, args);
    va_end(args);
    return opened(dirfd, path, real.openat64(dirfd, path, flags, mode));
}

/* What code built with _FORTIFY_SOURCE calls when the flags are not known at compile time. */
int __open_2(const char* path, int flags)
{
    ensure_init();
    return opened(AT_FDCWD, path, real.open(path, flags, 0));
}

int __open64_2(const char* path, int flags)
{
    ensure_init();
    return opened(AT_FDCWD, path, real.open64(path, flags, 0));
}

int __openat_2(int dirfd, const char* path, int flags)
{
    ensure_init();
    return opened(dirfd, path, real.openat(dirfd, path, flags, 0));
}

int __openat64_2(int dirfd, const char* path, int flags)
{
    ensure_init();
    return opened(dirfd, path, real.openat64(dirfd, path, flags, 0));
}

ssize_t read(int fd, void* buffer, size_t count)
{
    ensure_init();
    delay_read(fd);
    return real.read(fd, buffer, count);
}

ssize_t __read_chk(int fd, void* buffer, size_t count, size_t size)
{
    (void)size;
    return read(fd, buffer, count);
}

ssize_t pread(int fd, void* buffer, size_t count, off_t offset)
{
    ensure_init();
    delay_read(fd);
    return real.pread(fd, buffer, count, offset);
}

ssize_t __pread_chk(int fd, void* buffer, size_t count, off_t offset, size_t size)
{
    (void)size;
    return pread(fd, buffer, count, offset);
}

ssize_t pread64(int fd, void* buffer, size_t count, off64_t offset)
{
    ensure_init();
    delay_read(fd);
    return real.pread64(fd, buffer, count, offset);
}

ssize_t __pread64_chk(int fd, void* buffer, size_t count, off64_t offset, size_t size)
{
    (void)size;
    return pread64(fd, buffer, count, offset);
}

ssize_t readv(int fd, const struct iovec* iov, int count)
{
    ensure_init();
    delay_read(fd);
    return real.readv(fd, iov, count);
}

ssize_t preadv(int fd, const struct iovec* iov, int count, off_t offset)
{
    ensure_init();
    delay_read(fd);
    return real.preadv(fd, iov, count, offset);
}

ssize_t preadv64(int fd, const struct iovec* iov, int count, off64_t offset)
{
    ensure_init();
    delay_read(fd);
    return real.preadv64(fd, iov, count, offset);
}

int close(int fd)
{
    ensure_init();
    untrack(fd);
    return real.close(fd);
}

int dup(int fd)
{
    ensure_init();
    const int copy = real.dup(fd);
    if (copy >= 0) {
        untrack(copy);
        if (is_slow(fd))
            track(copy);
    }
    return copy;
}

int dup2(int fd, int target)
{
    ensure_init();
    const int slow = is_slow(fd);
    const int copy = real.dup2(fd, target);
    if (copy >= 0 && copy != fd) {
        untrack(copy);
        if (slow)
            track(copy);
    }
    return copy;
}

int dup3(int fd, int target, int flags)
{
    ensure_init();
    const int slow = is_slow(fd);
    const int copy = real.dup3(fd, target, flags);
    if (copy >= 0) {
        untrack(copy);
        if (slow)
            track(copy);
    }
    return copy;
}

/* For a program that wants to tell which of its steps read the slow files: the calls delayed so
 * far (opens and reads), looked up with dlsym. */
__attribute__((visibility("default"))) unsigned long slowread_delayed_calls(void)
{
    return atomic_load(&delayed_opens) + atomic_load(&delayed_reads);
}

static int duplicated(int fd, int cmd, int copy)
{
    if (copy >= 0 && (cmd == F_DUPFD || cmd == F_DUPFD_CLOEXEC)) {
        untrack(copy);
        if (is_slow(fd))
            track(copy);
    }
    return copy;
}

/* Every command passes its argument on as it came: a pointer-sized word, as libc reads it. */
int fcntl(int fd, int cmd, ...)
{
    ensure_init();
    va_list args;
    va_start(args, cmd);
    void* arg = va_arg(args, void*);
    va_end(args);
    return duplicated(fd, cmd, real.fcntl(fd, cmd, arg));
}

int fcntl64(int fd, int cmd, ...)
{
    ensure_init();
    va_list args;
    va_start(args, cmd);
    void* arg = va_arg(args, void*);
    va_end(args);
    return duplicated(fd, cmd, real.fcntl64(fd, cmd, arg));
}

__attribute__((destructor)) static void report(void)
{
    const char* verbose = getenv("SLOWREAD_VERBOSE");
    if (!enabled || !verbose || strcmp(verbose, "1") != 0)
        return;
    const unsigned long opens = atomic_load(&delayed_opens);
    const unsigned long reads = atomic_load(&delayed_reads);
    if (opens + reads == 0)
        return;
    fprintf(stderr, "slowread: pid %d delayed %lu opens and %lu reads by %ld ms under %s\n", (int)getpid(), opens,
            reads, delay_ms, dir_resolved);
}
