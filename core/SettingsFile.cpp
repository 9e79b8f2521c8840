#include "core/SettingsFile.h"

#include "core/AppLifecycle.h"
#include "core/AppObjects.h"
#include "core/FilePlace.h"
#include "core/Settings.h"
#include "platform/ByteKeepingText.h"
#include "platform/Platform.h"
#include "playback/Engine.h"
#include "screen/ScreenSize.h"
#include "screen/SideTexts.h"


namespace {

const QString Section = QStringLiteral("quorvel");

// Empty text takes the field's default; anything else must be a number.
std::optional<int16_t> numberOrDefault(const QString& text, int16_t emptyValue)
{
    if (text.isEmpty())
        return emptyValue;
    return textToInt16(text);
}

// The nine texts, all read before anything is converted or applied.
struct StoredTexts {
    QString volume, balance, screen, mute, speed, r_lbl, l_lbl, dir, dirsta;
};

StoredTexts readStoredTexts()
{
    const QString path = settingsFilePath();
    auto read = [&](const char* key) { return ReadIni(path, Section, QString::fromLatin1(key)); };
    // In the file's key order.
    StoredTexts texts;
    texts.volume = read("volume");
    texts.balance = read("balance");
    texts.screen = read("screen");
    texts.mute = read("mute");
    texts.speed = read("speed");
    texts.r_lbl = read("r_lbl");
    texts.l_lbl = read("l_lbl");
    texts.dir = read("dir");
    texts.dirsta = read("dirsta");
    return texts;
}

// The steps after the reading, each false when it fails. A field is set only once its text
// has converted, so those set before a failure keep what was loaded.
bool loadVolume(const StoredTexts& texts)
{
    const auto volume = numberOrDefault(texts.volume, -5000);
    if (!volume)
        return false;
    Settings.volume = *volume;
    return engine().EngineVolume(Settings.volume);
}

// The panel's refresh gives the balance to the playback control while playing.
bool loadBalance(const StoredTexts& texts)
{
    const auto balance = numberOrDefault(texts.balance, 0);
    if (!balance)
        return false;
    Settings.balance = *balance;
    return true;
}

bool loadSpeed(const StoredTexts& texts)
{
    const auto speed = numberOrDefault(texts.speed, 3);
    if (!speed)
        return false;
    Settings.speed = *speed;
    return true;
}

bool loadMute(const StoredTexts& texts)
{
    const auto mute = numberOrDefault(texts.mute, 0);
    if (!mute)
        return false;
    Settings.mute = *mute == 1 ? 1 : 0;
    return engine().EngineMute(Settings.mute == 1);
}

// Both flags are converted before either side text is shown or hidden.
bool loadSideTexts(const StoredTexts& texts)
{
    const auto rLbl = textToInt16(texts.r_lbl);
    if (!rLbl)
        return false;
    Settings.r_lbl = *rLbl;
    const auto lLbl = textToInt16(texts.l_lbl);
    if (!lLbl)
        return false;
    Settings.l_lbl = *lLbl;
    ApplySideTexts();
    return true;
}

// SetScreenSize sets the field itself (1 after full size, 0 after normal).
bool loadScreen(const StoredTexts& texts)
{
    const auto screen = textToInt16(texts.screen);
    if (!screen)
        return false;
    Settings.screen = *screen;
    if (Settings.screen == 1 || Settings.screen == 2)
        return SetScreenSize(Settings.screen);
    return true;
}

// The folder is kept as the file's bytes, which are the file system's: a name that is not valid
// UTF-8 still opens, and goes back to the file unchanged.
bool loadDir(const StoredTexts& texts)
{
    Settings.dir = bytesKeptIn(texts.dir).toStdString();
    return true;
}

bool loadDirSta(const StoredTexts& texts)
{
    const auto dirsta = textToInt16(texts.dirsta);
    if (!dirsta)
        return false;
    Settings.dirsta = *dirsta;
    return true;
}

// The load in its order; false at the first step that fails, and the steps after it do not run.
bool loadAndApply()
{
    const StoredTexts texts = readStoredTexts();
    for (bool (*step)(const StoredTexts&) :
         {loadVolume, loadBalance, loadSpeed, loadMute, loadSideTexts, loadScreen, loadDir, loadDirSta}) {
        if (!step(texts))
            return false;
    }
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
                                   {QStringLiteral("dir"), textKeepingBytes(QByteArray::fromStdString(Settings.dir))},
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
