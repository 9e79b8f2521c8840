#include "core/AppObjects.h"
#include "core/Settings.h"
#include "core/SettingsFile.h"
#include "screen/Scr.h"
#include "support/AppFixture.h"

#include <QDir>
#include <QLineEdit>

namespace {

const QString PromptTitle = QStringLiteral("初期化エラー");
const QString PromptText = QStringLiteral("Quorvelを実行するための初期化ファイルが存在しません。作成しますか？");

QByteArray fileWith(const QByteArray& body)
{
    return "[quorvel]\n" + body;
}

const QByteArray Complete = fileWith("volume=-1200\nbalance=300\nscreen=0\nmute=1\nspeed=4\n"
                                     "r_lbl=1\nl_lbl=0\ndir=/media/dvd\ndirsta=1\n");

class SettingsLoadTest : public AppFixture {
protected:
    void load(const QByteArray& file)
    {
        if (!file.isEmpty())
            fakePlatform.writeSettingsFile(file);
        LoadSettings();
    }
    int prompts() const
    {
        int n = 0;
        for (const auto& m : fakePlatform.messages)
            n += m.kind == QStringLiteral("yesno") && m.title == PromptTitle && m.text == PromptText ? 1 : 0;
        return n;
    }
};

TEST_F(SettingsLoadTest, CompleteFileLoadsAppliesAndWritesNothing)
{
    screen().Text2->show();
    load(Complete);
    EXPECT_TRUE(fakePlatform.messages.empty());
    EXPECT_EQ(fakePlatform.profileWrites, 0);
    EXPECT_EQ(Settings.volume, -1200);
    EXPECT_EQ(Settings.balance, 300);
    EXPECT_EQ(Settings.screen, 0);
    EXPECT_EQ(Settings.mute, 1);
    EXPECT_EQ(Settings.speed, 4);
    EXPECT_EQ(Settings.r_lbl, 1);
    EXPECT_EQ(Settings.l_lbl, 0);
    EXPECT_EQ(Settings.dir, "/media/dvd");
    EXPECT_EQ(Settings.dirsta, 1);
    EXPECT_FALSE(screen().Text1->isHidden());
    EXPECT_TRUE(screen().Text2->isHidden());
    // Volume and mute reach the control; balance waits for playback.
    EXPECT_EQ(fakeEngine.calls, (std::vector<FakeEngine::Call>{{EngineOp::Volume, "-1200"}, {EngineOp::Mute, "true"}}));
}

TEST_F(SettingsLoadTest, EmptyTextDefaultsApplyToVolumeBalanceSpeedAndMuteOnly)
{
    load(fileWith("screen=0\nr_lbl=0\nl_lbl=0\ndir=\ndirsta=0\n"));
    EXPECT_TRUE(fakePlatform.messages.empty());
    EXPECT_EQ(Settings.volume, -5000);
    EXPECT_EQ(Settings.balance, 0);
    EXPECT_EQ(Settings.speed, 3);
    EXPECT_EQ(Settings.mute, 0);
    EXPECT_EQ(fakeEngine.volume, -5000);
}

TEST_F(SettingsLoadTest, MuteOtherThanOneIsStoredAsZero)
{
    load(fileWith("mute=5\nscreen=0\nr_lbl=0\nl_lbl=0\ndirsta=0\n"));
    EXPECT_EQ(Settings.mute, 0);
    EXPECT_EQ(fakeEngine.calls.back(), (FakeEngine::Call{EngineOp::Mute, "false"}));
    EXPECT_TRUE(fakePlatform.messages.empty());
}

TEST_F(SettingsLoadTest, StoredScreenSizeIsAppliedOrKept)
{
    load(fileWith("screen=2\nr_lbl=0\nl_lbl=0\ndirsta=0\n"));
    EXPECT_EQ(Settings.screen, 0);
    EXPECT_EQ(screen().Text1->text(), QStringLiteral("NORMAL"));

    resetSettings();
    screen().Text1->clear();
    load(fileWith("screen=7\nr_lbl=0\nl_lbl=0\ndirsta=0\n"));
    EXPECT_EQ(Settings.screen, 7);
    EXPECT_EQ(screen().Text1->text(), QString());
    SaveSettings();
    EXPECT_EQ(ReadIni(fakePlatform.settingsPath(), QStringLiteral("quorvel"), QStringLiteral("screen")), QStringLiteral("7"));

    load(fileWith("screen=1\nr_lbl=0\nl_lbl=0\ndirsta=0\n"));
    EXPECT_EQ(Settings.screen, 1);
    EXPECT_EQ(screen().Text1->text(), QStringLiteral("FULL"));
    EXPECT_EQ(screen().geometry(), QRect(QPoint(0, 0), fakePlatform.display));
}

TEST_F(SettingsLoadTest, SideTextFlagsOtherThanZeroOrOneLeaveTheTextsAlone)
{
    screen().Text1->hide();
    screen().Text2->show();
    load(fileWith("r_lbl=3\nl_lbl=-1\nscreen=0\ndirsta=0\n"));
    EXPECT_TRUE(screen().Text1->isHidden());
    EXPECT_FALSE(screen().Text2->isHidden());
    EXPECT_EQ(Settings.r_lbl, 3);
    EXPECT_EQ(Settings.l_lbl, -1);
    EXPECT_TRUE(fakePlatform.messages.empty());
}

// Where a bad value stops the load decides which fields are loaded and what Yes then writes.
struct PartialCase {
    const char* name;
    QByteArray file;
    QByteArray written; // the file after Yes
};

class PartialLoadTest : public SettingsLoadTest, public ::testing::WithParamInterface<PartialCase> {};

TEST_P(PartialLoadTest, YesWritesWhatWasLoadedBeforeTheFailure)
{
    screen().Text1->hide();
    fakePlatform.answers = {MessageAnswer::Yes};
    load(GetParam().file);
    ASSERT_EQ(prompts(), 1);
    EXPECT_EQ(fakePlatform.messages[0].defaultButton, MessageAnswer::Yes);
    EXPECT_EQ(fakePlatform.settingsFileBytes(), GetParam().written);
    EXPECT_EQ(fakePlatform.endCalls, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PartialLoadTest,
    ::testing::Values(
        PartialCase{"NoFile", "",
                    "[quorvel]\nvolume=-5000\nbalance=0\nscreen=0\nmute=0\nspeed=3\nr_lbl=0\nl_lbl=0\ndir=\ndirsta=0\n"},
        PartialCase{"LetterInLLbl",
                    fileWith("volume=-10\nbalance=5\nscreen=1\nmute=1\nspeed=2\nr_lbl=1\nl_lbl=x\ndir=/d\ndirsta=1\n"),
                    fileWith("volume=-10\nbalance=5\nscreen=0\nmute=1\nspeed=2\nr_lbl=1\nl_lbl=0\ndir=\ndirsta=0\n")},
        PartialCase{"SpeedOutOfRange",
                    fileWith("volume=-10\nbalance=5\nscreen=0\nmute=0\nspeed=40000\nr_lbl=1\nl_lbl=1\ndir=/d\ndirsta=0\n"),
                    fileWith("volume=-10\nbalance=5\nscreen=0\nmute=0\nspeed=0\nr_lbl=0\nl_lbl=0\ndir=\ndirsta=0\n")},
        PartialCase{"EmptyDirsta",
                    fileWith("volume=-10\nbalance=5\nscreen=0\nmute=0\nspeed=5\nr_lbl=1\nl_lbl=1\ndir=/d\ndirsta=\n"),
                    fileWith("volume=-10\nbalance=5\nscreen=0\nmute=0\nspeed=5\nr_lbl=1\nl_lbl=1\ndir=/d\ndirsta=0\n")},
        PartialCase{"VolumeNotANumber", fileWith("volume=loud\nbalance=5\nscreen=0\nmute=0\nspeed=5\nr_lbl=1\nl_lbl=1\ndir=/d\ndirsta=0\n"),
                    fileWith("volume=0\nbalance=0\nscreen=0\nmute=0\nspeed=0\nr_lbl=0\nl_lbl=0\ndir=\ndirsta=0\n")},
        PartialCase{"FractionInBalance", fileWith("volume=-1\nbalance=1.5\nscreen=0\nmute=0\nspeed=5\nr_lbl=1\nl_lbl=1\ndir=/d\ndirsta=0\n"),
                    fileWith("volume=-1\nbalance=0\nscreen=0\nmute=0\nspeed=0\nr_lbl=0\nl_lbl=0\ndir=\ndirsta=0\n")}),
    [](const ::testing::TestParamInfo<PartialCase>& info) { return std::string(info.param.name); });

TEST_F(SettingsLoadTest, LetterInLLblLeavesTextsAndScreenSizeUntouched)
{
    screen().Text1->hide();
    screen().move(123, 47);
    load(fileWith("volume=-10\nbalance=5\nscreen=1\nmute=1\nspeed=2\nr_lbl=1\nl_lbl=x\ndir=/d\ndirsta=1\n"));
    EXPECT_TRUE(screen().Text1->isHidden());
    EXPECT_EQ(Settings.r_lbl, 1);
    EXPECT_EQ(Settings.screen, 0);
    EXPECT_EQ(screen().pos(), QPoint(123, 47));
    EXPECT_EQ(screen().Text1->text(), QString());
}

TEST_F(SettingsLoadTest, FailingControlStopsTheLoad)
{
    fakeEngine.failOnPut(EngineOp::Mute);
    load(Complete);
    EXPECT_EQ(prompts(), 1);
    EXPECT_EQ(Settings.speed, 4); // converted before the mute step
    EXPECT_EQ(Settings.mute, 1);
    EXPECT_EQ(Settings.r_lbl, 0); // after the failing step: never loaded
    EXPECT_EQ(ReadIni(fakePlatform.settingsPath(), QStringLiteral("quorvel"), QStringLiteral("r_lbl")),
              QStringLiteral("0"));
}

TEST_F(SettingsLoadTest, NoEndsTheProcessWithoutWriting)
{
    fakePlatform.answers = {MessageAnswer::No};
    LoadSettings();
    EXPECT_EQ(prompts(), 1);
    EXPECT_EQ(fakePlatform.endCalls, 1);
    EXPECT_EQ(fakePlatform.profileWrites, 0);
    EXPECT_FALSE(QFile::exists(fakePlatform.settingsPath()));
}

TEST_F(SettingsLoadTest, JapaneseFolderSurvivesSaveAndLoad)
{
    load(Complete);
    Settings.dir = "/media/ユーザー/映画";
    SaveSettings();
    resetSettings();
    LoadSettings();
    EXPECT_EQ(Settings.dir, "/media/ユーザー/映画");
}

TEST_F(SettingsLoadTest, FolderInBytesThatAreNotUtf8IsOpenedAndSavedAsTheyAre)
{
    const QByteArray folder = "/media/\xC9t\xE9";
    fakePlatform.writeSettingsFile("[quorvel]\nvolume=0\nbalance=0\nscreen=0\nmute=0\nspeed=3\nr_lbl=1\nl_lbl=1\ndir=" + folder +
                           "\ndirsta=1\n");
    LoadSettings();
    EXPECT_EQ(Settings.dir, folder.toStdString());
    SaveSettings();
    EXPECT_TRUE(fakePlatform.settingsFileBytes().contains("\ndir=" + folder + "\n"));
}

TEST_F(SettingsLoadTest, SaveKeepsForeignLinesAndLeavesNoTemporaryFile)
{
    load("; hand-written\n[Quorvel]\nSPEED=4\nvolume=-1\nbalance=0\nscreen=0\nmute=0\nr_lbl=0\nl_lbl=0\ndir=\ndirsta=0\n"
         "[other]\nkeep=me\n");
    Settings.speed = 5;
    SaveSettings();
    EXPECT_EQ(fakePlatform.settingsFileBytes(),
              QByteArray("; hand-written\n[Quorvel]\nSPEED=5\nvolume=-1\nbalance=0\nscreen=0\nmute=0\nr_lbl=0\nl_lbl=0\ndir=\n"
                         "dirsta=0\n[other]\nkeep=me\n"));
    EXPECT_EQ(QDir(fakePlatform.folder.path()).entryList(QDir::Files), QStringList{QStringLiteral("quorvel2.ini")});
}

TEST_F(SettingsLoadTest, FolderWithLineBreakCannotInjectKeys)
{
    load(Complete);
    Settings.dir = "/x\nvolume=0\n[quorvel]\nmute=0";
    SaveSettings();
    resetSettings();
    LoadSettings();
    EXPECT_EQ(Settings.volume, -1200);
    EXPECT_EQ(Settings.mute, 1);
    EXPECT_EQ(Settings.dir.find('\n'), std::string::npos);
}

TEST(Int16Conversion, AcceptsSignedWholeNumbersInRangeOnly)
{
    EXPECT_EQ(textToInt16(QStringLiteral("-32768")), std::optional<int16_t>(-32768));
    EXPECT_EQ(textToInt16(QStringLiteral("32767")), std::optional<int16_t>(32767));
    EXPECT_EQ(textToInt16(QStringLiteral("+7")), std::optional<int16_t>(7));
    EXPECT_EQ(textToInt16(QStringLiteral("007")), std::optional<int16_t>(7));
    for (const char* bad : {"", "32768", "-32769", "1.0", "1e3", "0x10", "1,000", "-", "+", " 1", "１"})
        EXPECT_EQ(textToInt16(QString::fromUtf8(bad)), std::nullopt) << bad;
}

} // namespace
