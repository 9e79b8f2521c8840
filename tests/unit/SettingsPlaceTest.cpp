// Where the settings and the bookmarks are kept: beside the program when it can write there,
// else in the user's configuration folder, for reading and writing alike.
#include "core/AppLifecycle.h"
#include "core/FilePlace.h"
#include "core/Settings.h"
#include "core/SettingsFile.h"
#include "platform/QtPlatform.h"
#include "support/AppFixture.h"

#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace {

const QByteArray ProgramFolderFile =
    "[quorvel]\nvolume=-100\nbalance=0\nscreen=0\nmute=0\nspeed=5\nr_lbl=1\nl_lbl=1\ndir=/beside\ndirsta=0\n";
const QByteArray UserFolderFile =
    "[quorvel]\nvolume=-200\nbalance=0\nscreen=0\nmute=0\nspeed=2\nr_lbl=1\nl_lbl=1\ndir=/user\ndirsta=0\n";

QByteArray bytesOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void put(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

using SettingsPlaceTest = AppFixture;

TEST_F(SettingsPlaceTest, AWritableProgramFolderKeepsEverythingBesideTheProgram)
{
    put(fakePlatform.settingsPath(), ProgramFolderFile);
    put(fakePlatform.userSettingsPath(), UserFolderFile);
    ASSERT_TRUE(Form1Load());
    EXPECT_EQ(Settings.speed, 5);
    EXPECT_EQ(Settings.dir, "/beside");
    EXPECT_EQ(bookmarkFilePath(), fakePlatform.folder.path() + QStringLiteral("/quorvel2.bookmark"));

    Settings.speed = 3;
    AppEnd();
    EXPECT_TRUE(bytesOf(fakePlatform.settingsPath()).contains("speed=3\n"));
    EXPECT_EQ(bytesOf(fakePlatform.userSettingsPath()), UserFolderFile);
}

TEST_F(SettingsPlaceTest, AnUnwritableProgramFolderKeepsEverythingInTheUserFolder)
{
    fakePlatform.programFolderWritable = false;
    // A file beside the program (left by the system, or by an older copy) is not read either.
    put(fakePlatform.settingsPath(), ProgramFolderFile);
    put(fakePlatform.userSettingsPath(), UserFolderFile);
    ASSERT_TRUE(Form1Load());
    EXPECT_TRUE(fakePlatform.messages.empty());
    EXPECT_EQ(Settings.speed, 2);
    EXPECT_EQ(Settings.volume, -200);
    EXPECT_EQ(Settings.dir, "/user");
    EXPECT_EQ(bookmarkFilePath(), fakePlatform.userConfig.path() + QStringLiteral("/quorvel2.bookmark"));

    Settings.speed = 4;
    AppEnd();
    EXPECT_TRUE(bytesOf(fakePlatform.userSettingsPath()).contains("speed=4\n"));
    EXPECT_EQ(bytesOf(fakePlatform.settingsPath()), ProgramFolderFile);
}

TEST_F(SettingsPlaceTest, AFirstStartInAnUnwritableProgramFolderCreatesTheFileInTheUserFolder)
{
    fakePlatform.programFolderWritable = false;
    ASSERT_TRUE(Form1Load());
    ASSERT_EQ(fakePlatform.messages.size(), 1u);
    EXPECT_EQ(fakePlatform.messages[0].title, QStringLiteral("初期化エラー"));
    EXPECT_EQ(bytesOf(fakePlatform.userSettingsPath()),
              QByteArray("[quorvel]\nvolume=-5000\nbalance=0\nscreen=0\nmute=0\nspeed=3\nr_lbl=0\nl_lbl=0\ndir=\ndirsta=0\n"));
    EXPECT_FALSE(QFile::exists(fakePlatform.settingsPath()));

    // The next start reads what the first one wrote: no second prompt.
    resetSettings();
    resetLifecycle();
    fakePlatform.messages.clear();
    ASSERT_TRUE(Form1Load());
    EXPECT_TRUE(fakePlatform.messages.empty());
    EXPECT_EQ(Settings.volume, -5000);
}

// The real platform's two questions, on real folders.
class RealFolders : public ::testing::Test {
protected:
    QtPlatform qtPlatform;
    QTemporaryDir dir;
};

TEST_F(RealFolders, AFolderTakesFilesWhenOneCanBeMadeAndTheTryLeavesNothing)
{
    ASSERT_TRUE(dir.isValid());
    EXPECT_TRUE(qtPlatform.canCreateFilesIn(dir.path()));
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).isEmpty());

    EXPECT_FALSE(qtPlatform.canCreateFilesIn(dir.filePath(QStringLiteral("missing"))));
    put(dir.filePath(QStringLiteral("plain")), "x");
    EXPECT_FALSE(qtPlatform.canCreateFilesIn(dir.filePath(QStringLiteral("plain"))));
    // A file system mounted read-only refuses even root.
    if (QFileInfo(QStringLiteral("/proc/self")).isDir()) {
        EXPECT_FALSE(qtPlatform.canCreateFilesIn(QStringLiteral("/proc/self")));
    }
}

TEST_F(RealFolders, AFolderWithoutWritePermissionTakesNoFiles)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "running as root, whom permission bits do not stop; the end-to-end test runs "
                        "the program as an unprivileged user for this case";
    ASSERT_TRUE(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner));
    EXPECT_FALSE(qtPlatform.canCreateFilesIn(dir.path()));
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

TEST_F(RealFolders, TheUserFolderIsTheProgramsFolderUnderTheConfigurationHomeAndIsMade)
{
    const QByteArray oldHome = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir.path()));
    const QString folder = qtPlatform.userConfigFolder();
    if (oldHome.isNull())
        qunsetenv("XDG_CONFIG_HOME");
    else
        qputenv("XDG_CONFIG_HOME", oldHome);

    EXPECT_EQ(folder, dir.path() + QLatin1Char('/') + QCoreApplication::applicationName());
    EXPECT_TRUE(QFileInfo(folder).isDir());
}

} // namespace
