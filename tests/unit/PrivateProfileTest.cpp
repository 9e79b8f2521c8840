#include "platform/PrivateProfile.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class PrivateProfileTest : public ::testing::Test {
protected:
    QString path() const { return dir.path() + QStringLiteral("/test.ini"); }
    void writeFile(const QByteArray& bytes)
    {
        QFile file(path());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
    }
    QByteArray fileBytes() const
    {
        QFile file(path());
        if (!file.open(QIODevice::ReadOnly))
            return {};
        return file.readAll();
    }
    QString read(const char* section, const char* key)
    {
        return PrivateProfile::read(path(), QString::fromUtf8(section), QString::fromUtf8(key));
    }
    bool write(const char* section, const char* key, const QString& value)
    {
        return PrivateProfile::write(path(), QString::fromUtf8(section), QString::fromUtf8(key), value);
    }
    QTemporaryDir dir;
};

TEST_F(PrivateProfileTest, MissingFileSectionOrKeyReadsEmpty)
{
    EXPECT_EQ(read("quorvel", "volume"), QString());
    writeFile("[other]\nvolume=1\n");
    EXPECT_EQ(read("quorvel", "volume"), QString());
    writeFile("[quorvel]\nbalance=1\n");
    EXPECT_EQ(read("quorvel", "volume"), QString());
}

TEST_F(PrivateProfileTest, ReadMatchesCaseInsensitivelyAndTrimsBlanksAndOneQuotePair)
{
    writeFile("; comment line\n"
              "[Other]\nvolume=99\n"
              "  [ QUORVEL ]  \n"
              "  Volume   =   -5000  \n"
              "dir=\"  /media/disc  \"\n"
              "quoted='\"x\"'\n"
              "half=\"abc\n"
              "empty=\n"
              "spaced = a b \t\n");
    EXPECT_EQ(read("quorvel", "VOLUME"), QStringLiteral("-5000"));
    EXPECT_EQ(read("quorvel", "dir"), QStringLiteral("  /media/disc  "));
    EXPECT_EQ(read("quorvel", "quoted"), QStringLiteral("\"x\""));
    EXPECT_EQ(read("quorvel", "half"), QStringLiteral("\"abc"));
    EXPECT_EQ(read("quorvel", "empty"), QString());
    EXPECT_EQ(read("quorvel", "spaced"), QStringLiteral("a b"));
    EXPECT_EQ(read("other", "volume"), QStringLiteral("99"));
}

TEST_F(PrivateProfileTest, ReadsCrlfFilesAndTheFirstOfRepeatedKeys)
{
    writeFile("[quorvel]\r\nspeed=4\r\nspeed=5\r\ndir=C:\\DVD\r\n");
    EXPECT_EQ(read("quorvel", "speed"), QStringLiteral("4"));
    EXPECT_EQ(read("quorvel", "dir"), QStringLiteral("C:\\DVD"));
}

TEST_F(PrivateProfileTest, LongValuesAreCutAt1023BytesWithoutSplittingACharacter)
{
    QByteArray ascii(1500, 'a');
    writeFile("[s]\nk=" + ascii + "\n");
    EXPECT_EQ(read("s", "k").toUtf8().size(), 1023);

    // 1022 ASCII bytes then a three-byte character: the character would straddle the limit.
    QByteArray mixed = QByteArray(1022, 'b') + QStringLiteral("日本").toUtf8();
    writeFile("[s]\nk=" + mixed + "\n");
    EXPECT_EQ(read("s", "k"), QString::fromUtf8(QByteArray(1022, 'b')));
}

TEST_F(PrivateProfileTest, WriteCreatesFileAndSectionThenKeepsKeyOrder)
{
    ASSERT_TRUE(write("quorvel", "volume", QStringLiteral("-5000")));
    ASSERT_TRUE(write("quorvel", "balance", QStringLiteral("0")));
    EXPECT_EQ(fileBytes(), QByteArray("[quorvel]\nvolume=-5000\nbalance=0\n"));
}

TEST_F(PrivateProfileTest, WriteReplacesInPlaceKeepingSpellingCommentsAndOtherSections)
{
    writeFile("; my settings\r\n[Quorvel]\r\n  VOLUME = -100 \r\nmute=0\r\n\r\n[other]\r\nx=1\r\n");
    ASSERT_TRUE(write("quorvel", "volume", QStringLiteral("-2000")));
    ASSERT_TRUE(write("quorvel", "speed", QStringLiteral("4")));
    EXPECT_EQ(fileBytes(),
              QByteArray("; my settings\r\n[Quorvel]\r\nVOLUME=-2000\r\nmute=0\r\nspeed=4\r\n\r\n[other]\r\nx=1\r\n"));
    ASSERT_TRUE(write("third", "k", QStringLiteral("v")));
    EXPECT_TRUE(fileBytes().endsWith("x=1\r\n[third]\r\nk=v\r\n"));
}

TEST_F(PrivateProfileTest, ABareKeyLineIsThatKeyWithAnEmptyValueAndAWriteReplacesIt)
{
    writeFile("[quorvel]\n; a comment\n  balance \nmute=1\n");
    EXPECT_EQ(read("quorvel", "balance"), QString());
    EXPECT_EQ(read("quorvel", "mute"), QStringLiteral("1"));
    ASSERT_TRUE(write("quorvel", "balance", QStringLiteral("-300")));
    EXPECT_EQ(fileBytes(), QByteArray("[quorvel]\n; a comment\nbalance=-300\nmute=1\n"));
    EXPECT_EQ(read("quorvel", "balance"), QStringLiteral("-300"));
    // A comment is no key, even when its text is a key's name.
    writeFile("[quorvel]\n;speed\n");
    ASSERT_TRUE(write("quorvel", "speed", QStringLiteral("4")));
    EXPECT_EQ(fileBytes(), QByteArray("[quorvel]\n;speed\nspeed=4\n"));
}

TEST_F(PrivateProfileTest, AWriteKeepsTheFilesByteOrderMark)
{
    writeFile("\xEF\xBB\xBF[quorvel]\nvolume=1\n");
    ASSERT_TRUE(write("quorvel", "mute", QStringLiteral("1")));
    EXPECT_EQ(fileBytes(), QByteArray("\xEF\xBB\xBF[quorvel]\nvolume=1\nmute=1\n"));
    // A second mark is text of the first line: dropping the first would make it the mark, and
    // "[a]" a section with keys that were none.
    writeFile("\xEF\xBB\xBF\xEF\xBB\xBF[a]\nk=1\n");
    ASSERT_TRUE(write("b", "x", QStringLiteral("2")));
    EXPECT_EQ(read("a", "k"), QString());
    EXPECT_TRUE(fileBytes().startsWith("\xEF\xBB\xBF\xEF\xBB\xBF[a]\n"));
}

TEST_F(PrivateProfileTest, WriteToFileWithoutFinalLineEndStaysWellFormed)
{
    writeFile("[quorvel]\nvolume=1");
    ASSERT_TRUE(write("quorvel", "mute", QStringLiteral("1")));
    EXPECT_EQ(fileBytes(), QByteArray("[quorvel]\nvolume=1\nmute=1\n"));
}

TEST_F(PrivateProfileTest, ValueWithLineBreaksCannotAddKeys)
{
    ASSERT_TRUE(write("quorvel", "dir", QStringLiteral("/a\r\n[evil]\nvolume=0")));
    EXPECT_EQ(read("evil", "volume"), QString());
    EXPECT_EQ(read("quorvel", "volume"), QString());
    EXPECT_EQ(fileBytes().count('\n'), 2);
    EXPECT_TRUE(read("quorvel", "dir").startsWith(QStringLiteral("/a")));
}

TEST_F(PrivateProfileTest, JapaneseValuesRoundTrip)
{
    const QString value = QStringLiteral("/media/ユーザー/映画 DVD");
    ASSERT_TRUE(write("quorvel", "dir", value));
    EXPECT_EQ(read("quorvel", "dir"), value);
}

TEST_F(PrivateProfileTest, BytesThatAreNotUtf8AndALeadingMarkInAValueSurviveReadAndWrite)
{
    const QByteArray latin1Folder = "/mnt/\xE9t\xE9 \xFF";
    writeFile("[quorvel]\ndir=" + latin1Folder + "\nname=\xEF\xBB\xBFx\n");
    const QString folder = read("quorvel", "dir");
    EXPECT_EQ(read("quorvel", "name"), QChar(0xFEFF) + QStringLiteral("x"));
    ASSERT_TRUE(write("quorvel", "dir", folder));
    ASSERT_TRUE(write("quorvel", "other", QStringLiteral("1")));
    EXPECT_EQ(fileBytes(), "[quorvel]\ndir=" + latin1Folder + "\nname=\xEF\xBB\xBFx\nother=1\n");
}

TEST_F(PrivateProfileTest, ValuesWithOuterBlanksOrQuotesAreQuotedSoTheyReadBackAsWritten)
{
    for (const QString& value : {QStringLiteral(" /lead"), QStringLiteral("/trail\t"), QStringLiteral("'x'"),
                                 QStringLiteral("\"\""), QStringLiteral("\"/a b\"")}) {
        ASSERT_TRUE(write("quorvel", "dir", value));
        EXPECT_EQ(read("quorvel", "dir"), value);
    }
    ASSERT_TRUE(write("quorvel", "dir", QStringLiteral("/plain \"name\"")));
    EXPECT_EQ(fileBytes(), QByteArray("[quorvel]\ndir=/plain \"name\"\n"));
}

TEST_F(PrivateProfileTest, WriteIntoMissingFolderFailsWithoutCreatingIt)
{
    const QString missing = dir.path() + QStringLiteral("/gone/test.ini");
    EXPECT_FALSE(PrivateProfile::write(missing, QStringLiteral("quorvel"), QStringLiteral("volume"), QStringLiteral("1")));
    EXPECT_FALSE(QFile::exists(missing));
}

} // namespace
