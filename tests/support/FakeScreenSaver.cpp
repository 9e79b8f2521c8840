#include "support/FakeScreenSaver.h"

#include <QMutexLocker>

QStringList FakeScreenSaver::calls() const
{
    QMutexLocker lock(&mutex_);
    return calls_;
}

std::set<uint> FakeScreenSaver::held() const
{
    QMutexLocker lock(&mutex_);
    return held_;
}

uint FakeScreenSaver::Inhibit(const QString& application, const QString& reason)
{
    QMutexLocker lock(&mutex_);
    const uint cookie = next_++;
    calls_.append(QStringLiteral("Inhibit %1 / %2 -> %3").arg(application, reason).arg(cookie));
    held_.insert(cookie);
    return cookie;
}

void FakeScreenSaver::UnInhibit(uint cookie)
{
    QMutexLocker lock(&mutex_);
    calls_.append(QStringLiteral("UnInhibit %1").arg(cookie));
    held_.erase(cookie);
}

FakeInhibitPortal::FakeInhibitPortal(QDBusConnection bus)
    : bus_(std::move(bus))
{
}

QStringList FakeInhibitPortal::calls() const
{
    QMutexLocker lock(&mutex_);
    return calls_;
}

std::set<QString> FakeInhibitPortal::held() const
{
    QMutexLocker lock(&mutex_);
    return held_;
}

void FakeInhibitPortal::closed(const QString& path)
{
    QMutexLocker lock(&mutex_);
    calls_.append(QStringLiteral("Close ") + path);
    held_.erase(path);
}

QDBusObjectPath FakeInhibitPortal::Inhibit(const QString& window, uint flags, const QVariantMap& options)
{
    QString path;
    {
        QMutexLocker lock(&mutex_);
        path = QStringLiteral("/org/freedesktop/portal/desktop/request/test/hold%1").arg(next_++);
        calls_.append(QStringLiteral("Inhibit '%1' %2 %3 -> %4")
                          .arg(window)
                          .arg(flags)
                          .arg(options.value(QStringLiteral("reason")).toString(), path));
        held_.insert(path);
    }
    auto* request = new FakePortalRequest(*this, path);
    bus_.registerObject(path, request, QDBusConnection::ExportAllSlots);
    return QDBusObjectPath(path);
}

FakePortalRequest::FakePortalRequest(FakeInhibitPortal& portal, QString path)
    : QObject(&portal)
    , portal_(portal)
    , path_(std::move(path))
{
}

void FakePortalRequest::Close()
{
    portal_.closed(path_);
}

FakeDesktopService::FakeDesktopService(Kind kind, QDBusConnection bus)
    : bus_(std::move(bus))
{
    QObject* service = nullptr;
    QString name;
    QString path;
    if (kind == Kind::ScreenSaver) {
        screenSaver_ = new FakeScreenSaver;
        service = screenSaver_;
        name = QStringLiteral("org.freedesktop.ScreenSaver");
        path = QStringLiteral("/org/freedesktop/ScreenSaver");
    } else {
        portal_ = new FakeInhibitPortal(bus_);
        service = portal_;
        name = QStringLiteral("org.freedesktop.portal.Desktop");
        path = QStringLiteral("/org/freedesktop/portal/desktop");
    }
    service->moveToThread(&thread_);
    QObject::connect(&thread_, &QThread::finished, service, &QObject::deleteLater);
    thread_.start();
    registered_ = bus_.registerObject(path, service, QDBusConnection::ExportAllSlots) && bus_.registerService(name);
}

FakeDesktopService::~FakeDesktopService()
{
    thread_.quit();
    thread_.wait();
}
