#include "support/FakePlatform.h"

#include "platform/PrivateProfile.h"

#include <QFile>

FakePlatform::FakePlatform() = default;

QString FakePlatform::settingsPath() const
{
    return folder.path() + QStringLiteral("/quorvel2.ini");
}

QString FakePlatform::userSettingsPath() const
{
    return userConfig.path() + QStringLiteral("/quorvel2.ini");
}

QByteArray FakePlatform::settingsFileBytes() const
{
    QFile file(settingsPath());
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

void FakePlatform::writeSettingsFile(const QByteArray& bytes) const
{
    QFile file(settingsPath());
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(bytes);
}

void FakePlatform::messageOk(const QString& title, const QString& text)
{
    messages.push_back({QStringLiteral("ok"), title, text, MessageAnswer::Ok});
    if (onMessage)
        onMessage(messages.back());
}

MessageAnswer FakePlatform::messageYesNo(const QString& title, const QString& text, MessageAnswer defaultButton)
{
    messages.push_back({QStringLiteral("yesno"), title, text, defaultButton});
    if (onMessage)
        onMessage(messages.back());
    if (answers.empty())
        return MessageAnswer::Yes;
    MessageAnswer answer = answers.front();
    answers.pop_front();
    return answer;
}

QString FakePlatform::programFolder() { return folder.path(); }
bool FakePlatform::canCreateFilesIn(const QString& path) { return path != folder.path() || programFolderWritable; }
QString FakePlatform::userConfigFolder() { return userConfig.path(); }
QSize FakePlatform::displaySizePixels() { return display; }
double FakePlatform::twipsPerPixelX() { return twips; }
double FakePlatform::twipsPerPixelY() { return twips; }

QString FakePlatform::profileRead(const QString& path, const QString& section, const QString& key)
{
    return PrivateProfile::read(path, section, key);
}

bool FakePlatform::profileWrite(const QString& path, const QString& section, const QString& key, const QString& value)
{
    ++profileWrites;
    return PrivateProfile::write(path, section, key, value);
}

bool FakePlatform::profileWriteAll(const QString& path, const QString& section,
                                   const std::vector<std::pair<QString, QString>>& pairs)
{
    ++profileWrites;
    return PrivateProfile::writeAll(path, section, pairs);
}

QWidget* FakePlatform::foregroundWindow() { return foreground; }

void FakePlatform::watchForegroundChanges(std::function<void()> onChange) { foregroundChanged = std::move(onChange); }

bool FakePlatform::rightButtonPressedSinceLastQuery()
{
    if (rightButton.empty())
        return false;
    bool pressed = rightButton.front();
    rightButton.pop_front();
    return pressed;
}

void FakePlatform::popupMenuAtPointer(QMenu* menu) { popups.push_back(menu); }

void FakePlatform::trayAdd(const QIcon&, const QString& tip, std::function<void()> onLeftRelease)
{
    ++trayAdds;
    trayTip = tip;
    trayRelease = std::move(onLeftRelease);
}

void FakePlatform::trayRemove() { ++trayRemoves; }
void FakePlatform::startWindowDrag(QWidget* window) { drags.push_back(window); }
void FakePlatform::shellOpen(const QString& target) { opened.push_back(target); }
QString FakePlatform::browseFolder(QWidget*, const QString&) { return folderAnswer; }
void FakePlatform::watchEndRequests(std::function<void()> onEnd, std::function<void()> onSave)
{
    ++endWatches;
    outsideEnd = std::move(onEnd);
    outsideSave = std::move(onSave);
}

void FakePlatform::endProcess(int) { ++endCalls; }
