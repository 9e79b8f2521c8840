// Finding the disc, and discs that cannot be played: each failure is reported and the engine
// takes the next command.
#include "EngineFixture.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QElapsedTimer>
#include <QStandardPaths>
#include <QTimer>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>


namespace {

bool overwrite(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

// Clears the entry flag of a title-set menu in the IFO, as if the disc had been authored
// without that menu.
bool removeTitleSetMenu(const QString& ifoPath, int menuId)
{
    QFile file(ifoPath);
    if (!file.open(QIODevice::ReadWrite))
        return false;
    QByteArray ifo = file.readAll();
    auto u16 = [&](int at) { return (uchar(ifo[at]) << 8) | uchar(ifo[at + 1]); };
    auto u32 = [&](int at) { return (u16(at) << 16) | u16(at + 2); };
    const int unitTable = u32(0xD0) * 2048;
    bool removed = false;
    for (int unit = 0; unit < u16(unitTable); ++unit) {
        const int chains = unitTable + u32(unitTable + 8 + unit * 8 + 4);
        for (int chain = 0; chain < u16(chains); ++chain) {
            const int entry = chains + 8 + chain * 8;
            if (uchar(ifo[entry]) == (0x80 | menuId)) {
                ifo[entry] = char(menuId);
                removed = true;
            }
        }
    }
    file.seek(0);
    return removed && file.write(ifo) == ifo.size();
}

// Marks every sound and picture packet of the VOB as CSS-scrambled and garbles its payload, as
// an encrypted disc reads without a key: the navigation packs stay clear, as on a real disc.
bool scramble(const QString& vobPath)
{
    QFile file(vobPath);
    if (!file.open(QIODevice::ReadWrite))
        return false;
    QByteArray vob = file.readAll();
    int scrambled = 0;
    for (qsizetype at = 0; at + 2048 <= vob.size(); at += 2048) {
        auto* sector = reinterpret_cast<uchar*>(vob.data() + at);
        const int packet = 14 + (sector[13] & 0x07);
        const uchar id = sector[packet + 3];
        if (sector[3] != 0xBA || !(id == 0xBD || (id >= 0xC0 && id <= 0xEF)))
            continue;
        sector[packet + 6] |= 0x10;
        for (int i = packet + 9 + sector[packet + 8]; i < 2048; ++i)
            sector[i] ^= 0x5A;
        ++scrambled;
    }
    file.seek(0);
    return scrambled > 0 && file.write(vob) == vob.size();
}

}  // namespace

TEST_F(EngineTest, AFolderWithoutADiscFailsAndTheNextCommandWorks)
{
    EXPECT_FALSE(engine->EngineDirectory(temp.filePath("missing").toStdString()));
    EXPECT_FALSE(engine->EngineDirectory(temp.path().toStdString()));
    EXPECT_FALSE(engine->EnginePlay());
    EXPECT_EQ(engine->EngineState(), 0);
    playToRootMenu();
    // Naming a folder without a disc while playing leaves the disc playing.
    EXPECT_FALSE(engine->EngineDirectory(temp.path().toStdString()));
    EXPECT_EQ(engine->EngineState(), 2);
}

TEST_F(EngineTest, TheVideoTsFolderItselfAndTheSameFolderAgainAreAccepted)
{
    ASSERT_TRUE(engine->EngineDirectory(testdisc::path() + "/VIDEO_TS"));
    ASSERT_TRUE(engine->EnginePlay());
    ASSERT_TRUE(waitUntil([&] { return testdisc::pictureName(output.last()) == "menu 3"; }));
    playTitle(1);
    // Every play from the panel names the folder again: playback goes on.
    ASSERT_TRUE(engine->EngineDirectory(testdisc::path()));
    EXPECT_EQ(engine->EngineState(), 2);
    EXPECT_EQ(engine->EngineTitle(), 1);
}

TEST_F(EngineTest, AnImageFilePlaysLikeTheFolder)
{
    const QString tool = QStandardPaths::findExecutable("genisoimage");
    if (tool.isEmpty())
        GTEST_SKIP() << "genisoimage makes the image; not installed";
    const QString image = temp.filePath("disc.iso");
    QProcess make;
    make.start(tool, {"-quiet", "-dvd-video", "-V", "QUORVEL_TEST", "-o", image,
                      QString::fromStdString(testdisc::path())});
    ASSERT_TRUE(make.waitForFinished(30000));
    ASSERT_EQ(make.exitCode(), 0) << make.readAllStandardError().toStdString();
    ASSERT_TRUE(engine->EngineDirectory(image.toStdString()));
    ASSERT_TRUE(engine->EnginePlay());
    ASSERT_TRUE(waitUntil([&] { return testdisc::pictureName(output.last()) == "menu 3"; }));
    playTitle(2);
    EXPECT_EQ(engine->EngineChapterCount(2), 2);
}

TEST_F(EngineTest, AGarbageIfoFailsAndTheNextCommandWorks)
{
    const QString broken = QString::fromStdString(copyDisc(temp.filePath("garbage").toStdString()));
    const QByteArray junk(12288, '\x5a');
    ASSERT_TRUE(overwrite(broken + "/VIDEO_TS/VIDEO_TS.IFO", junk));
    ASSERT_TRUE(overwrite(broken + "/VIDEO_TS/VIDEO_TS.BUP", junk));
    EXPECT_FALSE(engine->EngineDirectory(broken.toStdString()));
    EXPECT_EQ(engine->EngineState(), 0);
    playToRootMenu();
}

TEST_F(EngineTest, ATruncatedMenuVobFailsThePlayWithTheReasonAndTheNextCommandWorks)
{
    const QString broken = QString::fromStdString(copyDisc(temp.filePath("truncated").toStdString()));
    QFile vob(broken + "/VIDEO_TS/VTS_01_0.VOB");
    ASSERT_TRUE(vob.resize(4096));
    ASSERT_TRUE(engine->EngineDirectory(broken.toStdString()));
    // At once on a quick machine; on a slow one (the sanitizer build) the failure may come just
    // after the play's bounded wait, on the bus, and end playback by itself.
    const bool failed = !engine->EnginePlay() || waitUntil([&] { return engine->EngineState() == 0; });
    EXPECT_TRUE(failed);
    EXPECT_EQ(engine->EngineState(), 0);
    playToRootMenu();
}

TEST_F(EngineTest, ATruncatedTitleVobFailsWhenPlayReachesItAndTheNextCommandWorks)
{
    const QString broken = QString::fromStdString(copyDisc(temp.filePath("truncated").toStdString()));
    QFile vob(broken + "/VIDEO_TS/VTS_01_1.VOB");
    // Title 1 takes about the first two thirds of the file: keep its first two chapters.
    ASSERT_TRUE(vob.resize(vob.size() / 4));
    ASSERT_TRUE(engine->EngineDirectory(broken.toStdString()));
    ASSERT_TRUE(engine->EnginePlay());
    ASSERT_TRUE(waitUntil([&] { return testdisc::pictureName(output.last()) == "menu 3"; }));
    playTitle(1);
    // Into the missing part: either the jump itself fails or playback stops with an error.
    bool failed = !engine->EngineNextChapter() || !engine->EngineNextChapter();
    failed = failed || waitUntil([&] { return engine->EngineState() == 0; });
    EXPECT_TRUE(failed);

    ASSERT_TRUE(engine->EngineStop());
    playToRootMenu();
    playTitle(1);
}

TEST_F(EngineTest, AMenuTheDiscLacksFails)
{
    const QString copy = QString::fromStdString(copyDisc(temp.filePath("noangle").toStdString()));
    ASSERT_TRUE(removeTitleSetMenu(copy + "/VIDEO_TS/VTS_01_0.IFO", 6));
    ASSERT_TRUE(removeTitleSetMenu(copy + "/VIDEO_TS/VTS_01_0.BUP", 6));
    ASSERT_TRUE(engine->EngineDirectory(copy.toStdString()));
    ASSERT_TRUE(engine->EnginePlay());
    ASSERT_TRUE(waitUntil([&] { return testdisc::pictureName(output.last()) == "menu 3"; }));
    playTitle(1);
    EXPECT_FALSE(engine->EngineShowMenu(6));
    EXPECT_EQ(engine->EngineTitle(), 1);
    EXPECT_FALSE(engine->EngineShowMenu(8));
    EXPECT_FALSE(engine->EngineShowMenu(1));
    ASSERT_TRUE(engine->EngineShowMenu(5));
    ASSERT_TRUE(waitUntil([&] { return testdisc::pictureName(output.last()) == "menu 5"; }));
}

TEST_F(EngineTest, WithoutAFolderTheEngineFindsAMountedDisc)
{
    // No disc anywhere it looks: a clean failure.
    EXPECT_FALSE(engine->EngineDirectory(""));
    EXPECT_FALSE(engine->EnginePlay());

    const QString media = temp.filePath("media");
    QDir().mkpath(media + "/empty-stick");
    copyDisc((media + "/MY_DVD").toStdString());
    GstEngineOptions o = options();
    o.discSearch.mountPatterns = {media.toStdString() + "/*"};
    engine = std::make_unique<GstEngine>(o);
    engine->setVideoOutput(&output);
    // Automatic mode never names a folder: play alone finds the disc.
    ASSERT_TRUE(engine->EnginePlay());
    ASSERT_TRUE(waitUntil([&] { return testdisc::pictureName(output.last()) == "menu 3"; }));
    ASSERT_TRUE(engine->EngineStop());
    EXPECT_TRUE(engine->EngineDirectory(""));
    ASSERT_TRUE(engine->EnginePlay());
    EXPECT_EQ(engine->EngineTitleCount(), 2);
}

namespace {

// A copy of the test disc whose two VMG files are named pipes that nobody writes: reading the
// disc waits, as on a drive that does not answer or a stalled mount.
class StalledDisc {
public:
    explicit StalledDisc(const QString& folder) : folder_(folder)
    {
        copyDisc(folder.toStdString());
        for (const char* name : {"VIDEO_TS.IFO", "VIDEO_TS.BUP"}) {
            const QString path = folder + "/VIDEO_TS/" + name;
            QFile::remove(path);
            ok_ = ok_ && ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
        }
    }
    bool ok() const { return ok_; }
    ~StalledDisc()
    {
        // Lets a reader still waiting in open() go.
        for (const char* name : {"VIDEO_TS.IFO", "VIDEO_TS.BUP"}) {
            const int fd = ::open(QFile::encodeName(folder_ + "/VIDEO_TS/" + name).constData(), O_WRONLY | O_NONBLOCK);
            if (fd >= 0)
                ::close(fd);
        }
    }

private:
    QString folder_;
    bool ok_ = true;
};

}  // namespace

TEST_F(EngineTest, ADiscSlowToAnswerLeavesTheWindowThreadFreeAndFailsPlayAfterItsDeadline)
{
    StalledDisc stalled(temp.filePath("stalled"));
    ASSERT_TRUE(stalled.ok());
    GstEngineOptions o = options();
    o.discDeadlineMs = 1500;
    engine = std::make_unique<GstEngine>(o);
    engine->setVideoOutput(&output);
    std::vector<PlaybackEnd> ends;
    engine->setPlaybackEndedHandler([&](PlaybackEnd end) { ends.push_back(end); });

    QElapsedTimer held;
    held.start();
    ASSERT_TRUE(engine->EngineDirectory(temp.filePath("stalled").toStdString()));
    ASSERT_TRUE(engine->EnginePlay());
    EXPECT_LT(held.elapsed(), 200) << "the window thread waited for the disc";
    EXPECT_EQ(engine->EngineState(), 2);

    // Meanwhile the event loop goes on: a 10 ms timer keeps its pace.
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
    timer.start(10);
    runFor(1000);
    EXPECT_GT(ticks, 60);
    EXPECT_TRUE(ends.empty());

    ASSERT_TRUE(waitUntil([&] { return !ends.empty(); }, 3000));
    EXPECT_EQ(ends, std::vector<PlaybackEnd>{PlaybackEnd::Failed});
    EXPECT_EQ(engine->EngineState(), 0);
    playToRootMenu();
}


TEST_F(EngineTest, AnEncryptedDiscThatCannotBeDecryptedFailsThePlaySayingWhatToInstall)
{
    const QString locked = QString::fromStdString(copyDisc(temp.filePath("encrypted").toStdString()));
    for (const char* vob : {"VTS_01_0.VOB", "VTS_01_1.VOB"})
        ASSERT_TRUE(scramble(locked + "/VIDEO_TS/" + vob));
    ASSERT_TRUE(engine->EngineDirectory(locked.toStdString()));
    testing::internal::CaptureStderr();
    EXPECT_FALSE(engine->EnginePlay());
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(engine->EngineState(), 0);
    EXPECT_NE(said.find("encrypted"), std::string::npos) << said;
    // Where decryption is installed the reason is another, still naming the library.
    EXPECT_NE(said.find("libdvdcss"), std::string::npos) << said;
    playToRootMenu();
}
