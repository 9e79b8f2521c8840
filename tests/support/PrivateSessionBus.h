#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QObject>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariantMap>
#include <functional>
#include <vector>

// A session bus of the test's own: a dbus-daemon on a socket in a temporary folder, with no
// services to start on demand, so that nothing of the machine's desktop answers on it.
class PrivateSessionBus {
public:
    PrivateSessionBus();
    ~PrivateSessionBus();

    // Empty when the daemon did not start; the reason is in error().
    QString address() const { return address_; }
    QString error() const { return error_; }

    // A connection of its own to the bus, closed with the bus.
    QDBusConnection connect(const QString& name);

private:
    QTemporaryDir folder_;
    QProcess daemon_;
    QString address_;
    QString error_;
    QStringList names_;
};

// Runs the window thread's events until the call has its answer.
QDBusMessage callAndWait(QDBusConnection& bus, const QDBusMessage& call);

// Runs the window thread's events until the condition holds; false when it still does not after
// a long while (a test then fails on what it expected, not on the time taken).
bool processEventsUntil(const std::function<bool()>& condition);

// The PropertiesChanged signals of one object, as a desktop's media controls would hear them.
class PropertiesChangedRecorder : public QObject {
    Q_OBJECT
public:
    // False when the bus would not deliver the signal.
    bool listen(QDBusConnection& bus, const QString& service, const QString& path);
    std::vector<QVariantMap> changes;
    // The last value announced for a property, or an invalid variant.
    QVariant last(const QString& property) const;

public slots:
    void changed(const QString& interface, const QVariantMap& properties, const QStringList& invalidated);
};
