#include "desktop/ScreenSaverHold.h"

#include "core/AppLifecycle.h"
#include "playback/PlayState.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QVariantMap>
#include <cstdio>

namespace {

const QString ScreenSaverService = QStringLiteral("org.freedesktop.ScreenSaver");
const QString ScreenSaverPath = QStringLiteral("/org/freedesktop/ScreenSaver");
const QString PortalService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString PortalPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString Reason = QStringLiteral("Playing a DVD");
// The portal's flag for "the session must not go idle".
constexpr uint32_t InhibitIdle = 8;
// At quit the process ends right after; the release must have left before.
constexpr int QuitReleaseTimeoutMs = 1000;

} // namespace

ScreenSaverHold::ScreenSaverHold(QDBusConnection bus, QObject* parent)
    : QObject(parent)
    , bus_(std::move(bus))
{
    connect(&playStateSignal(), &PlayStateSignal::changed, this, &ScreenSaverHold::follow);
    follow();
}

ScreenSaverHold::~ScreenSaverHold()
{
    wanted_ = false;
    letGo();
}

void ScreenSaverHold::follow()
{
    wanted_ = PlayState == 2;
    if (wanted_ && via_ == Via::None && !asking_)
        askScreenSaver();
    else if (!wanted_)
        letGo();
}

void ScreenSaverHold::askScreenSaver()
{
    asking_ = true;
    QDBusMessage call = QDBusMessage::createMethodCall(ScreenSaverService, ScreenSaverPath, ScreenSaverService,
                                                       QStringLiteral("Inhibit"));
    call << QStringLiteral("Quorvel") << Reason;
    // Asked without waiting: a service that is slow to answer must not hold up the window thread.
    auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* w) {
        w->deleteLater();
        QDBusPendingReply<uint32_t> reply = *w;
        if (reply.isError()) {
            askPortal();
            return;
        }
        cookie_ = reply.value();
        held(Via::ScreenSaver);
    });
}

void ScreenSaverHold::askPortal()
{
    QDBusMessage call = QDBusMessage::createMethodCall(PortalService, PortalPath,
                                                       QStringLiteral("org.freedesktop.portal.Inhibit"),
                                                       QStringLiteral("Inhibit"));
    call << QString() << InhibitIdle << QVariantMap{{QStringLiteral("reason"), Reason}};
    auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* w) {
        w->deleteLater();
        QDBusPendingReply<QDBusObjectPath> reply = *w;
        if (reply.isError()) {
            nobodyToAsk();
            return;
        }
        request_ = reply.value();
        held(Via::Portal);
    });
}

void ScreenSaverHold::held(Via via)
{
    asking_ = false;
    via_ = via;
    // Paused or stopped while the answer was on its way.
    if (!wanted_)
        letGo();
}

void ScreenSaverHold::nobodyToAsk()
{
    asking_ = false;
    // Asked again at the next play, quietly: a screensaver may have started since.
    if (!toldMissing_) {
        std::fprintf(stderr, "quorvel: no screensaver service answered; the screen may blank during playback\n");
        toldMissing_ = true;
    }
}

void ScreenSaverHold::letGo()
{
    if (via_ == Via::None)
        return;
    QDBusMessage call = via_ == Via::ScreenSaver
        ? QDBusMessage::createMethodCall(ScreenSaverService, ScreenSaverPath, ScreenSaverService,
                                         QStringLiteral("UnInhibit"))
        : QDBusMessage::createMethodCall(PortalService, request_.path(),
                                         QStringLiteral("org.freedesktop.portal.Request"), QStringLiteral("Close"));
    if (via_ == Via::ScreenSaver)
        call << cookie_;
    via_ = Via::None;
    if (appEnding())
        bus_.call(call, QDBus::Block, QuitReleaseTimeoutMs);
    else
        bus_.asyncCall(call);
}
