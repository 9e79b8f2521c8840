#pragma once

#include <QIcon>
#include <QPoint>
#include <QSize>
#include <QString>
#include <functional>
#include <utility>
#include <vector>

class QMenu;
class QWidget;

enum class MessageAnswer { Ok, Yes, No };

// Every call the program makes to the window system and the desktop, one method each. The real
// implementation (QtPlatform) is a straight pass-through to Qt; tests install a double.
class Platform {
public:
    virtual ~Platform() = default;

    // Modal boxes without an icon. The Yes/No box answers No when closed any other way.
    virtual void messageOk(const QString& title, const QString& text) = 0;
    virtual MessageAnswer messageYesNo(const QString& title, const QString& text, MessageAnswer defaultButton) = 0;

    // Folder holding the program, without a trailing separator.
    virtual QString programFolder() = 0;
    // Whether the program can make files in a folder now. Tried for real: permission bits say
    // nothing for root, for read-only mounts or for access control lists.
    virtual bool canCreateFilesIn(const QString& folder) = 0;
    // The user's own configuration folder for this program, made when missing; empty when it
    // cannot be had.
    virtual QString userConfigFolder() = 0;
    // Display size in pixels and the twips per pixel of the display.
    virtual QSize displaySizePixels() = 0;
    virtual double twipsPerPixelX() = 0;
    virtual double twipsPerPixelY() = 0;

    // The private-profile service (an INI file kept line by line).
    virtual QString profileRead(const QString& path, const QString& section, const QString& key) = 0;
    virtual bool profileWrite(const QString& path, const QString& section, const QString& key, const QString& value) = 0;
    // Writes all pairs of one section in one go, so the file on disk is either the old or
    // the new one.
    virtual bool profileWriteAll(const QString& path, const QString& section,
                                 const std::vector<std::pair<QString, QString>>& pairs) = 0;

    // The active top-level window of this program, or null when another program has the focus.
    // A press on a window makes it the active one before the window sees the press.
    virtual QWidget* foregroundWindow() = 0;
    // Runs onChange whenever the window in front may have changed (one watcher; a later call
    // replaces it).
    virtual void watchForegroundChanges(std::function<void()> onChange) = 0;
    // Right mouse button down now, or pressed since the previous call.
    virtual bool rightButtonPressedSinceLastQuery() = 0;
    // Opens a pop-up menu at the pointer and returns when it closes.
    virtual void popupMenuAtPointer(QMenu* menu) = 0;

    // Notification-area icon; a left-button release on it runs onLeftRelease.
    virtual void trayAdd(const QIcon& icon, const QString& tip, std::function<void()> onLeftRelease) = 0;
    virtual void trayRemove() = 0;

    // A move with the left button alone on a window's surface: from the press that began it
    // until the button comes up, the window moves with the pointer, as by its title bar.
    virtual void startWindowDrag(QWidget* window) = 0;
    // The desktop's "open" for a mail address or a web address.
    virtual void shellOpen(const QString& target) = 0;
    // Folder chooser; empty text when cancelled.
    virtual QString browseFolder(QWidget* owner, const QString& title) = 0;

    // Requests to end that come from outside the program: SIGTERM, SIGINT, SIGHUP and the end of
    // the desktop session run onEnd, on the window thread. onSave runs when the settings should
    // be kept without ending: the session manager's save before a logout that may yet be
    // cancelled, or the display connection lost, after which nothing can end in order.
    virtual void watchEndRequests(std::function<void()> onEnd, std::function<void()> onSave) = 0;

    // Ends the process at once. Test doubles record the call and return.
    virtual void endProcess(int code) = 0;
};

// The one platform the program runs on; tests replace it.
Platform& platform();
void installPlatform(Platform* p);
