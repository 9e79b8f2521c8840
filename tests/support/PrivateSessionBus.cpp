#include "support/PrivateSessionBus.h"

#include <QCoreApplication>
#include <QDBusPendingCallWatcher>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QFile>
#include <QThread>

PrivateSessionBus::PrivateSessionBus()
{
    const QString config = folder_.filePath(QStringLiteral("bus.conf"));
    QFile file(config);
    if (!file.open(QIODevice::WriteOnly)) {
        error_ = QStringLiteral("cannot write ") + config;
        return;
    }
    file.write(QStringLiteral("<busconfig>\n"
                              "  <type>session</type>\n"
                              "  <listen>unix:dir=%1</listen>\n"
                              "  <auth>EXTERNAL</auth>\n"
                              "  <policy context=\"default\">\n"
                              "    <allow send_destination=\"*\" eavesdrop=\"true\"/>\n"
                              "    <allow eavesdrop=\"true\"/>\n"
                              "    <allow own=\"*\"/>\n"
                              "  </policy>\n"
                              "</busconfig>\n")
                   .arg(folder_.path())
                   .toUtf8());
    file.close();
    daemon_.start(QStringLiteral("dbus-daemon"), {QStringLiteral("--config-file=") + config,
                                                 QStringLiteral("--print-address=1"), QStringLiteral("--nofork"),
                                                 QStringLiteral("--nopidfile"), QStringLiteral("--nosyslog")});
    if (!daemon_.waitForStarted()) {
        error_ = QStringLiteral("dbus-daemon did not start: ") + daemon_.errorString();
        return;
    }
    while (!daemon_.canReadLine()) {
        if (!daemon_.waitForReadyRead(10000)) {
            error_ = QStringLiteral("dbus-daemon gave no address: ") + QString::fromLocal8Bit(daemon_.readAllStandardError());
            return;
        }
    }
    address_ = QString::fromLocal8Bit(daemon_.readLine()).trimmed();
}

PrivateSessionBus::~PrivateSessionBus()
{
    for (const QString& name : names_)
        QDBusConnection::disconnectFromBus(name);
    if (daemon_.state() != QProcess::NotRunning) {
        daemon_.terminate();
        daemon_.waitForFinished();
    }
}

QDBusConnection PrivateSessionBus::connect(const QString& name)
{
    names_.append(name);
    return QDBusConnection::connectToBus(address_, name);
}

QDBusMessage callAndWait(QDBusConnection& bus, const QDBusMessage& call)
{
    QDBusPendingCallWatcher watcher(bus.asyncCall(call));
    if (!watcher.isFinished()) {
        QEventLoop loop;
        QObject::connect(&watcher, &QDBusPendingCallWatcher::finished, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return watcher.reply();
}

bool processEventsUntil(const std::function<bool()>& condition)
{
    QDeadlineTimer deadline(20000);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(1);
    }
    return true;
}

bool PropertiesChangedRecorder::listen(QDBusConnection& bus, const QString& service, const QString& path)
{
    return bus.connect(service, path, QStringLiteral("org.freedesktop.DBus.Properties"),
                       QStringLiteral("PropertiesChanged"), this,
                       SLOT(changed(QString, QVariantMap, QStringList)));
}

QVariant PropertiesChangedRecorder::last(const QString& property) const
{
    for (auto it = changes.rbegin(); it != changes.rend(); ++it) {
        if (it->contains(property))
            return it->value(property);
    }
    return {};
}

void PropertiesChangedRecorder::changed(const QString&, const QVariantMap& properties, const QStringList&)
{
    changes.push_back(properties);
}
