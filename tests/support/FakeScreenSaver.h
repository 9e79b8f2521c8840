#pragma once

#include <QDBusConnection>
#include <QDBusObjectPath>
#include <QMutex>
#include <QObject>
#include <QStringList>
#include <QThread>
#include <QVariantMap>
#include <memory>
#include <set>

// The desktop's screensaver service as the tests script it, on a thread of its own so that it
// answers even while the window thread waits for it. Every call is noted as text.
class FakeScreenSaver : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.ScreenSaver")
public:
    QStringList calls() const;
    std::set<uint> held() const;

public slots:
    uint Inhibit(const QString& application, const QString& reason);
    void UnInhibit(uint cookie);

private:
    mutable QMutex mutex_;
    QStringList calls_;
    std::set<uint> held_;
    uint next_ = 41;
};

class FakePortalRequest;

// The desktop portal's inhibit call; each hold is a request object that Close ends.
class FakeInhibitPortal : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Inhibit")
public:
    explicit FakeInhibitPortal(QDBusConnection bus);
    QStringList calls() const;
    std::set<QString> held() const;
    void closed(const QString& path);

public slots:
    QDBusObjectPath Inhibit(const QString& window, uint flags, const QVariantMap& options);

private:
    QDBusConnection bus_;
    mutable QMutex mutex_;
    QStringList calls_;
    std::set<QString> held_;
    int next_ = 1;
};

class FakePortalRequest : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Request")
public:
    FakePortalRequest(FakeInhibitPortal& portal, QString path);

public slots:
    void Close();

private:
    FakeInhibitPortal& portal_;
    QString path_;
};

// Either service, running on its own thread and connection under its well-known name.
class FakeDesktopService {
public:
    enum class Kind { ScreenSaver, Portal };
    // False from registered() when the bus refused the name or the object.
    FakeDesktopService(Kind kind, QDBusConnection bus);
    ~FakeDesktopService();
    bool registered() const { return registered_; }

    FakeScreenSaver* screenSaver() const { return screenSaver_; }
    FakeInhibitPortal* portal() const { return portal_; }

private:
    QDBusConnection bus_;
    QThread thread_;
    FakeScreenSaver* screenSaver_ = nullptr;
    FakeInhibitPortal* portal_ = nullptr;
    bool registered_ = false;
};
