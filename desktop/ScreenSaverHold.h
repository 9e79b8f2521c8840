#pragma once

#include <QDBusConnection>
#include <QDBusObjectPath>
#include <QObject>
#include <cstdint>

class QDBusPendingCallWatcher;

// Keeps the screensaver from blanking the screen while a disc plays (PlayState 2), and lets it
// go again on pause, stop and quit. Asks the desktop's screensaver service, or the desktop
// portal where there is none; with neither it does without, and says so once.
class ScreenSaverHold : public QObject {
    Q_OBJECT
public:
    explicit ScreenSaverHold(QDBusConnection bus, QObject* parent = nullptr);
    ~ScreenSaverHold() override;

    // Holds or lets go as PlayState now asks.
    void follow();
    bool holding() const { return via_ != Via::None; }
    // A request is on its way and its answer not yet in.
    bool asking() const { return asking_; }

private:
    enum class Via { None, ScreenSaver, Portal };
    void askScreenSaver();
    void askPortal();
    void held(Via via);
    void nobodyToAsk();
    void letGo();

    QDBusConnection bus_;
    bool wanted_ = false;
    bool asking_ = false;
    Via via_ = Via::None;
    uint32_t cookie_ = 0;
    QDBusObjectPath request_;
    bool toldMissing_ = false;
};
