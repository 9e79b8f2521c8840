// The full-disk tests need the shim loaded before anything writes; started without it, the
// binary starts itself again with it in LD_PRELOAD, so it runs the same from CTest or by hand.
#include <dlfcn.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include <QCoreApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    if (!dlsym(RTLD_DEFAULT, "fullDiskFailWritesUnder")) {
        if (std::getenv("QUORVEL_FULL_DISK_RESTARTED")) {
            std::fprintf(stderr, "the full-disk shim %s did not load\n", FULL_DISK_SHIM);
            return 1;
        }
        std::string preload = FULL_DISK_SHIM;
        if (const char* old = std::getenv("LD_PRELOAD"); old && *old)
            preload += std::string(":") + old;
        setenv("LD_PRELOAD", preload.c_str(), 1);
        // A sanitized build wants its runtime first in the list; the shim goes before it.
        std::string asan = std::getenv("ASAN_OPTIONS") ? std::getenv("ASAN_OPTIONS") : "";
        asan += asan.empty() ? "verify_asan_link_order=0" : ":verify_asan_link_order=0";
        setenv("ASAN_OPTIONS", asan.c_str(), 1);
        setenv("QUORVEL_FULL_DISK_RESTARTED", "1", 1);
        execv("/proc/self/exe", argv);
        std::perror("execv");
        return 1;
    }
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
