#include "core/SettingsFile.h"

#include "core/AppLifecycle.h"
#include "core/AppObjects.h"
#include "core/FilePlace.h"
#include "core/Settings.h"
#include "platform/Platform.h"
#include "playback/Engine.h"
#include "screen/ScreenSize.h"
#include "screen/SideTexts.h"


namespace {

const QString Section = QStringLiteral("quorvel");

const char* const KeyOrder[] = {"volume", "balance", "screen", "mute", "speed", "r_lbl", "l_lbl", "dir", "dirsta"};

// Empty text takes the field's default; anything else must be a number.
std::optional<int16_t> numberOrDefault(const QString& text, int16_t emptyValue)
{
    if (text.isEmpty())
        return emptyValue;
    return textToInt16(text);
}

// The steps of the load in their order; false at the first one that fails. Fields set before
// the failure keep what was loaded.
bool loadAndApply()
{
    const QString path = settingsFilePath();
    QString text[9];
    for (int i = 0; i < 9; ++i)
        text[i] = ReadIni(path, Section, QString::fromLatin1(KeyOrder[i]));
    const QString& volumeText = text[0];
    const QString& balanceText = text[1];
    const QString& screenText = text[2];
    const QString& muteText = text[3];
    const QString& speedText = text[4];
    const QString& rLblText = text[5];
    const QString& lLblText = text[6];
    const QString& dirText = text[7];
    const QString& dirstaText = text[8];

    auto volume = numberOrDefault(volumeText, -5000);
    if (!volume)
        return false;
    Settings.volume = *volume;
    if (!engine().EngineVolume(Settings.volume))
        return false;

    auto balance = numberOrDefault(balanceText, 0);
    if (!balance)
        return false;
    Settings.balance = *balance;

    auto speed = numberOrDefault(speedText, 3);
    if (!speed)
        return false;
    Settings.speed = *speed;

    auto mute = numberOrDefault(muteText, 0);
    if (!mute)
        return false;
    Settings.mute = *mute == 1 ? 1 : 0;
    if (!engine().EngineMute(Settings.mute == 1))
        return false;

    auto rLbl = textToInt16(rLblText);
    if (!rLbl)
        return false;
    Settings.r_lbl = *rLbl;
    auto lLbl = textToInt16(lLblText);
    if (!lLbl)
        return false;
    Settings.l_lbl = *lLbl;
    ApplySideTexts();

    auto screen = textToInt16(screenText);
    if (!screen)
        return false;
    Settings.screen = *screen;
    if (Settings.screen == 1 && !SetScreenSize(1))
        return false;
    if (Settings.screen == 2 && !SetScreenSize(2))
        return false;

    Settings.dir = dirText.toStdString();

    auto dirsta = textToInt16(dirstaText);
    if (!dirsta)
        return false;
    Settings.dirsta = *dirsta;
    return true;
}

} // namespace

QString settingsFilePath()
{
    // Appended as it comes: a program in the root folder gives two separators, which is harmless.
    return keptFilesFolder() + QStringLiteral("/quorvel2.ini");
}

QString ReadIni(const QString& path, const QString& section, const QString& key)
{
    return platform().profileRead(path, section, key);
}

void SaveSettings()
{
    auto number = [](int16_t value) { return QString::number(value); };
    // All nine keys in one replacement of the file, so a crash never leaves it half-written.
    platform().profileWriteAll(settingsFilePath(), Section,
                               {
                                   {QStringLiteral("volume"), number(Settings.volume)},
                                   {QStringLiteral("balance"), number(Settings.balance)},
                                   {QStringLiteral("screen"), number(Settings.screen)},
                                   {QStringLiteral("mute"), number(Settings.mute)},
                                   {QStringLiteral("speed"), number(Settings.speed)},
                                   {QStringLiteral("r_lbl"), number(Settings.r_lbl)},
                                   {QStringLiteral("l_lbl"), number(Settings.l_lbl)},
                                   {QStringLiteral("dir"), QString::fromStdString(Settings.dir)},
                                   {QStringLiteral("dirsta"), number(Settings.dirsta)},
                               });
}

void LoadSettings()
{
    if (loadAndApply())
        return;
    MessageAnswer answer = platform().messageYesNo(
        QStringLiteral("初期化エラー"),
        QStringLiteral("Quorvelを実行するための初期化ファイルが存在しません。作成しますか？"),
        MessageAnswer::Yes);
    if (answer == MessageAnswer::Yes) {
        SaveSettings();
        return;
    }
    EndProcess();
}

std::optional<int16_t> textToInt16(const QString& text)
{
    if (text.isEmpty())
        return std::nullopt;
    int i = 0;
    bool negative = false;
    if (text[0] == QLatin1Char('+') || text[0] == QLatin1Char('-')) {
        negative = text[0] == QLatin1Char('-');
        i = 1;
    }
    if (i == text.size())
        return std::nullopt;
    long value = 0;
    for (; i < text.size(); ++i) {
        QChar c = text[i];
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return std::nullopt;
        value = value * 10 + (c.unicode() - '0');
        if (value > 32768)
            return std::nullopt;
    }
    if (negative)
        value = -value;
    if (value < -32768 || value > 32767)
        return std::nullopt;
    return static_cast<int16_t>(value);
}
