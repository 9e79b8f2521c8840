// Replacing a file in one step: what the replaced file keeps of the old one, and what a failed
// replacement leaves. (Full disks are in the fault tests, which need a preloaded library.)
#include "platform/WholeFile.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class WholeFileTest : public ::testing::Test {
protected:
    std::string path(const char* name) const { return dir.filePath(QString::fromLatin1(name)).toStdString(); }
    static QByteArray bytesOf(const std::string& file)
    {
        QFile f(QString::fromStdString(file));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    static mode_t modeOf(const std::string& file)
    {
        struct stat st {};
        return ::stat(file.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0;
    }
    QStringList entries() const
    {
        return QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    }
    QTemporaryDir dir;
};

TEST_F(WholeFileTest, ANewFileHoldsTheBytesWithTheUsualPermissions)
{
    const mode_t mask = ::umask(022);
    std::string error;
    EXPECT_TRUE(writeWholeFile(path("a.ini"), "[s]\nk=v\n", &error)) << error;
    ::umask(mask);
    EXPECT_EQ(bytesOf(path("a.ini")), QByteArray("[s]\nk=v\n"));
    EXPECT_EQ(modeOf(path("a.ini")), 0644u);
    EXPECT_EQ(entries(), QStringList{QStringLiteral("a.ini")});
}

TEST_F(WholeFileTest, AReplacedFileKeepsItsPermissions)
{
    ASSERT_TRUE(writeWholeFile(path("a.ini"), "old", nullptr));
    ASSERT_EQ(::chmod(path("a.ini").c_str(), 0600), 0);
    EXPECT_TRUE(writeWholeFile(path("a.ini"), "new", nullptr));
    EXPECT_EQ(bytesOf(path("a.ini")), QByteArray("new"));
    EXPECT_EQ(modeOf(path("a.ini")), 0600u);
}

TEST_F(WholeFileTest, AFileReachedThroughALinkIsReplacedWhereTheLinkPoints)
{
    QDir(dir.path()).mkdir(QStringLiteral("elsewhere"));
    ASSERT_TRUE(writeWholeFile(path("elsewhere/a.ini"), "old", nullptr));
    ASSERT_EQ(::symlink("elsewhere/a.ini", path("link.ini").c_str()), 0);
    EXPECT_TRUE(writeWholeFile(path("link.ini"), "new", nullptr));

    struct stat st {};
    ASSERT_EQ(::lstat(path("link.ini").c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_EQ(bytesOf(path("elsewhere/a.ini")), QByteArray("new"));

    // A link to a file not made yet makes it there.
    ASSERT_EQ(::symlink("elsewhere/b.ini", path("dangling.ini").c_str()), 0);
    EXPECT_TRUE(writeWholeFile(path("dangling.ini"), "made", nullptr));
    EXPECT_EQ(bytesOf(path("elsewhere/b.ini")), QByteArray("made"));
}

TEST_F(WholeFileTest, AReplacementThatCannotBeMadeSaysWhyAndLeavesNothingBehind)
{
    // A folder in the file's place cannot be renamed over.
    QDir(dir.path()).mkdir(QStringLiteral("a.ini"));
    std::string error;
    EXPECT_FALSE(writeWholeFile(path("a.ini"), "new", &error));
    EXPECT_NE(error.find(path("a.ini")), std::string::npos) << error;
    EXPECT_EQ(entries(), QStringList{QStringLiteral("a.ini")});

    error.clear();
    EXPECT_FALSE(writeWholeFile(path("missing/a.ini"), "new", &error));
    EXPECT_NE(error.find("missing/a.ini"), std::string::npos) << error;
}

} // namespace
