// Discs damaged the ways real ones and copies of them are: each is refused or plays what it can,
// says why on standard error, and leaves the engine able to play a good disc straight after.
#include "EngineFixture.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>

#include <functional>
#include <string>

namespace {

enum class Outcome {
    Refused,  // the folder or the play fails
    Plays,    // the disc's menu comes up all the same
};

struct Damage {
    const char* name;
    Outcome outcome;
    // Makes the damaged disc in `root` (a fresh folder) and names what the engine is given.
    std::function<QString(const QString& root)> make;
};

QString copied(const QString& root)
{
    return QString::fromStdString(copyDisc((root + "/disc").toStdString()));
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

QString withFile(const QString& root, const char* name, const QByteArray& bytes)
{
    const QString disc = copied(root);
    writeFile(disc + "/VIDEO_TS/" + name, bytes);
    return disc;
}

QString without(const QString& root, std::initializer_list<const char*> names)
{
    const QString disc = copied(root);
    for (const char* name : names)
        QFile::remove(disc + "/VIDEO_TS/" + name);
    return disc;
}

QByteArray zeros(const QString& like)
{
    return QByteArray(QFileInfo(like).size(), '\0');
}

QByteArray randomBytes(int size)
{
    QByteArray bytes(size, '\0');
    QRandomGenerator generator(20261209);
    for (char& byte : bytes)
        byte = static_cast<char>(generator.bounded(256));
    return bytes;
}

const QString& source()
{
    static const QString path = QString::fromStdString(testdisc::path()) + "/VIDEO_TS/";
    return path;
}

const Damage kDamages[] = {
    {"ZeroedMenuVob", Outcome::Refused,
     [](const QString& root) { return withFile(root, "VTS_01_0.VOB", zeros(source() + "VTS_01_0.VOB")); }},
    {"ZeroedTitleVob", Outcome::Plays,
     [](const QString& root) { return withFile(root, "VTS_01_1.VOB", zeros(source() + "VTS_01_1.VOB")); }},
    {"GarbageVideoTsIfoWithGoodBackup", Outcome::Plays,
     [](const QString& root) { return withFile(root, "VIDEO_TS.IFO", randomBytes(12288)); }},
    {"MissingTitleSetIfoAndBackup", Outcome::Refused,
     [](const QString& root) { return without(root, {"VTS_01_0.IFO", "VTS_01_0.BUP"}); }},
    {"MissingTitleSetIfoWithBackup", Outcome::Plays,
     [](const QString& root) { return without(root, {"VTS_01_0.IFO"}); }},
    {"MissingBackups", Outcome::Plays,
     [](const QString& root) { return without(root, {"VIDEO_TS.BUP", "VTS_01_0.BUP"}); }},
    {"EmptyVideoTs", Outcome::Refused,
     [](const QString& root) {
         QDir().mkpath(root + "/disc/VIDEO_TS");
         return root + "/disc";
     }},
    {"AFileWhereTheFolderShouldBe", Outcome::Refused,
     [](const QString& root) {
         QDir().mkpath(root + "/disc");
         writeFile(root + "/disc/VIDEO_TS", "not a folder");
         return root + "/disc";
     }},
    // Permission bits do not stop root (CI): a folder whose every look loops cannot be read by
    // anyone.
    {"AnUnreadableFolder", Outcome::Refused,
     [](const QString& root) {
         QDir().mkpath(root + "/disc");
         QFile::link(root + "/disc/VIDEO_TS", root + "/disc/VIDEO_TS");
         return root + "/disc";
     }},
    {"AnEmptyImage", Outcome::Refused,
     [](const QString& root) {
         writeFile(root + "/disc.iso", {});
         return root + "/disc.iso";
     }},
    {"ARandomImage", Outcome::Refused,
     [](const QString& root) {
         writeFile(root + "/disc.iso", randomBytes(4 * 1024 * 1024));
         return root + "/disc.iso";
     }},
    {"AMissingPath", Outcome::Refused, [](const QString& root) { return root + "/nowhere"; }},
};

class DamagedDiscTest : public EngineTest, public ::testing::WithParamInterface<Damage> {};

TEST_P(DamagedDiscTest, IsRefusedOrPlaysWithTheReasonSaidAndAGoodDiscPlaysAfter)
{
    const Damage& damage = GetParam();
    const QString disc = damage.make(temp.path());
    testing::internal::CaptureStderr();
    bool refused = !engine->EngineDirectory(disc.toStdString()) || !engine->EnginePlay();
    bool menu = false;
    if (!refused) {
        // A failure may come later, from the pipeline's streaming threads.
        waitUntil([&] {
            menu = testdisc::pictureName(output.last()) == "menu 3";
            return menu || engine->EngineState() == 0;
        });
        refused = !menu;
    }
    const std::string said = testing::internal::GetCapturedStderr();
    if (damage.outcome == Outcome::Refused) {
        EXPECT_TRUE(refused);
        EXPECT_EQ(engine->EngineState(), 0);
        EXPECT_NE(said.find("quorvel: "), std::string::npos) << "no reason given; said:\n" << said;
    } else {
        EXPECT_TRUE(menu) << said;
    }
    // Nothing of the damaged disc stays behind in the engine.
    ASSERT_TRUE(engine->EngineStop());
    playToRootMenu();
    playTitle(1);
    EXPECT_TRUE(waitUntil([&] { return testdisc::pictureName(output.last()) == "title 1 chapter 1"; }));
}

INSTANTIATE_TEST_SUITE_P(Damages, DamagedDiscTest, ::testing::ValuesIn(kDamages),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
