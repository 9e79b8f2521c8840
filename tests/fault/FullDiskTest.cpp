// Saving onto a full disk: the settings file and the bookmark file must come out of a save that
// cannot write every byte exactly as they went in.
#include "engine/BookmarkStore.h"
#include "platform/PrivateProfile.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cerrno>
#include <cstring>
#include <gtest/gtest.h>

namespace {

using FailWritesUnder = void (*)(const char*, long long);
using Stop = void (*)();

class FullDisk : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        failUnder = reinterpret_cast<FailWritesUnder>(dlsym(RTLD_DEFAULT, "fullDiskFailWritesUnder"));
        stop = reinterpret_cast<Stop>(dlsym(RTLD_DEFAULT, "fullDiskStop"));
        ASSERT_TRUE(failUnder && stop) << "the full-disk shim is not loaded";
    }
    void TearDown() override
    {
        if (stop)
            stop();
    }

    // Leaves `bytes` bytes of room for the folder's files, counted over all of them.
    void fillDiskLeaving(long long bytes) { failUnder(QFile::encodeName(dir.path()).constData(), bytes); }

    QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
    static QByteArray bytesOf(const QString& file)
    {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    static void put(const QString& file, const QByteArray& bytes)
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_EQ(f.write(bytes), bytes.size());
    }
    QStringList entries() const { return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System); }

    QTemporaryDir dir;
    FailWritesUnder failUnder = nullptr;
    Stop stop = nullptr;
};

const QByteArray GoodSettings = "; kept by hand\n[quorvel]\nvolume=-1200\nbalance=300\nscreen=0\nmute=0\n"
                                "speed=4\nr_lbl=1\nl_lbl=0\ndir=/media/film\ndirsta=0\n";

const std::vector<std::pair<QString, QString>> NewSettings = {
    {QStringLiteral("volume"), QStringLiteral("-5000")}, {QStringLiteral("balance"), QStringLiteral("0")},
    {QStringLiteral("screen"), QStringLiteral("1")},     {QStringLiteral("mute"), QStringLiteral("1")},
    {QStringLiteral("speed"), QStringLiteral("2")},      {QStringLiteral("r_lbl"), QStringLiteral("0")},
    {QStringLiteral("l_lbl"), QStringLiteral("1")},      {QStringLiteral("dir"), QStringLiteral("/media/other")},
    {QStringLiteral("dirsta"), QStringLiteral("1")},
};

TEST_F(FullDisk, WritesUnderTheFolderFailWithNoSpaceOnceTheRoomIsUsedUp)
{
    fillDiskLeaving(4);
    const int fd = ::open(QFile::encodeName(path("probe")).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(::write(fd, "abcdef", 6), 4);
    errno = 0;
    EXPECT_EQ(::write(fd, "ef", 2), -1);
    EXPECT_EQ(errno, ENOSPC);
    ::close(fd);

    QTemporaryDir elsewhere;
    const int other = ::open(QFile::encodeName(elsewhere.filePath("probe")).constData(), O_WRONLY | O_CREAT, 0644);
    ASSERT_GE(other, 0);
    EXPECT_EQ(::write(other, "abcdef", 6), 6);
    ::close(other);
}

TEST_F(FullDisk, ASettingsSaveThatCannotWriteLeavesTheOldFileAsItWas)
{
    // No room at all, then room for part of the file: a disk that fills up mid-save.
    for (long long room : {0LL, 1LL, 40LL, 100LL}) {
        SCOPED_TRACE(room);
        put(path("quorvel2.ini"), GoodSettings);
        fillDiskLeaving(room);
        EXPECT_FALSE(PrivateProfile::writeAll(path("quorvel2.ini"), QStringLiteral("quorvel"), NewSettings));
        stop();
        EXPECT_EQ(bytesOf(path("quorvel2.ini")), GoodSettings);
        EXPECT_EQ(PrivateProfile::read(path("quorvel2.ini"), QStringLiteral("quorvel"), QStringLiteral("speed")),
                  QStringLiteral("4"));
        // The half-written copy is not left lying beside it.
        EXPECT_EQ(entries(), QStringList{QStringLiteral("quorvel2.ini")});
    }

    // Once there is room again, the same save goes through.
    EXPECT_TRUE(PrivateProfile::writeAll(path("quorvel2.ini"), QStringLiteral("quorvel"), NewSettings));
    EXPECT_EQ(PrivateProfile::read(path("quorvel2.ini"), QStringLiteral("quorvel"), QStringLiteral("speed")),
              QStringLiteral("2"));
    EXPECT_TRUE(bytesOf(path("quorvel2.ini")).startsWith("; kept by hand\n[quorvel]\nvolume=-5000\n"));
}

TEST_F(FullDisk, AFirstSettingsSaveOntoAFullDiskLeavesNoFileBehind)
{
    fillDiskLeaving(0);
    EXPECT_FALSE(PrivateProfile::writeAll(path("quorvel2.ini"), QStringLiteral("quorvel"), NewSettings));
    stop();
    EXPECT_TRUE(entries().isEmpty()) << entries().join(QLatin1Char(' ')).toStdString();
}

TEST_F(FullDisk, ABookmarkSaveThatCannotWriteKeepsTheOldBookmarksAndSaysWhy)
{
    const std::string file = path("quorvel2.bookmark").toStdString();
    std::string error;
    {
        gstdvd::BookmarkStore store(file);
        ASSERT_TRUE(store.put("disc-a", {1, 3, 13500, 1}, &error)) << error;
        ASSERT_TRUE(store.put("disc-b", {2, 1, 2000, 2}, &error)) << error;
    }
    const QByteArray before = bytesOf(path("quorvel2.bookmark"));

    for (long long room : {0LL, 10LL, 30LL}) {
        SCOPED_TRACE(room);
        gstdvd::BookmarkStore store(file);
        fillDiskLeaving(room);
        error.clear();
        EXPECT_FALSE(store.put("disc-a", {4, 9, 99000, 3}, &error));
        stop();
        EXPECT_NE(error.find(std::strerror(ENOSPC)), std::string::npos) << error;
        EXPECT_EQ(bytesOf(path("quorvel2.bookmark")), before);
        EXPECT_EQ(entries(), QStringList{QStringLiteral("quorvel2.bookmark")});
        const auto kept = store.find("disc-a");
        ASSERT_TRUE(kept);
        EXPECT_EQ(kept->chapter, 3);
        EXPECT_EQ(kept->timeMs, 13500);
    }
}

} // namespace
