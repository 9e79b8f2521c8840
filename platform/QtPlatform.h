#pragma once

#include "platform/Platform.h"

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <memory>

class QSocketNotifier;
class PressActivation;
class QSystemTrayIcon;
class WindowMove;

// The platform calls made with Qt on the desktop the program runs on.
class QtPlatform : public QObject, public Platform {
    Q_OBJECT
public:
    QtPlatform();
    ~QtPlatform() override;

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

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The window that took the latest right press, until the next query.
    QPointer<QWidget> rightPressWindow_;
    std::unique_ptr<PressActivation> activation_;
    std::unique_ptr<WindowMove> move_;
    std::unique_ptr<QSystemTrayIcon> tray_;
    std::function<void()> onEnd_;
    std::function<void()> onSave_;
    std::unique_ptr<QSocketNotifier> endSignals_;
    std::function<void()> trayRelease_;
    // The icon reported a left press; its release is what brings the windows back.
    bool trayPressed_ = false;
};
