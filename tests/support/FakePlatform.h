#pragma once

#include "platform/Platform.h"

#include <QTemporaryDir>
#include <deque>
#include <vector>

// The platform as the tests script it. Message boxes answer from a queue (Yes when it runs dry)
// and are recorded; the profile calls go to the real profile service in a temporary program
// folder, so the settings file can be inspected.
class FakePlatform : public Platform {
public:
    struct Message {
        QString kind; // "ok" or "yesno"
        QString title;
        QString text;
        MessageAnswer defaultButton = MessageAnswer::Ok;
    };

    FakePlatform();

    std::deque<MessageAnswer> answers;
    std::vector<Message> messages;
    // Runs when a message box would show (for looking at the windows behind it).
    std::function<void(const Message&)> onMessage;

    QTemporaryDir folder;
    // Whether the program folder takes new files; the user's configuration folder always does.
    bool programFolderWritable = true;
    QTemporaryDir userConfig;
    QSize display{1920, 1080};
    double twips = 15.0;
    int profileWrites = 0;

    QWidget* foreground = nullptr;
    std::function<void()> foregroundChanged; // what the program asked to hear of a change of it
    std::deque<bool> rightButton; // answers of the right-button query, false when it runs dry
    std::vector<QMenu*> popups;

    int trayAdds = 0;
    int trayRemoves = 0;
    QString trayTip;
    std::function<void()> trayRelease;
    std::vector<QWidget*> drags;
    std::vector<QString> opened;
    QString folderAnswer;
    int endCalls = 0;
    // What watchEndRequests was given; the tests call them as a signal or the session would.
    std::function<void()> outsideEnd;
    std::function<void()> outsideSave;
    int endWatches = 0;

    // quorvel2.ini in the program folder; userSettingsPath in the user's configuration folder.
    QString settingsPath() const;
    QString userSettingsPath() const;
    QByteArray settingsFileBytes() const;
    void writeSettingsFile(const QByteArray& bytes) const;

    void messageOk(const QString& title, const QString& text) override;
    MessageAnswer messageYesNo(const QString& title, const QString& text, MessageAnswer defaultButton) override;
    QString programFolder() override;
    bool canCreateFilesIn(const QString& folder) override;
    QString userConfigFolder() override;
    QSize displaySizePixels() override;
    double twipsPerPixelX() override;
    double twipsPerPixelY() override;
    QString profileRead(const QString& path, const QString& section, const QString& key) override;
    bool profileWrite(const QString& path, const QString& section, const QString& key, const QString& value) override;
    bool profileWriteAll(const QString& path, const QString& section,
                         const std::vector<std::pair<QString, QString>>& pairs) override;
    QWidget* foregroundWindow() override;
    void watchForegroundChanges(std::function<void()> onChange) override;
    bool rightButtonPressedSinceLastQuery() override;
    void popupMenuAtPointer(QMenu* menu) override;
    void trayAdd(const QIcon& icon, const QString& tip, std::function<void()> onLeftRelease) override;
    void trayRemove() override;
    void startWindowDrag(QWidget* window) override;
    void shellOpen(const QString& target) override;
    QString browseFolder(QWidget* owner, const QString& title) override;
    void watchEndRequests(std::function<void()> onEnd, std::function<void()> onSave) override;
    void endProcess(int code) override;
};
