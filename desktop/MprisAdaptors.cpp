#include "desktop/MprisAdaptors.h"

#include "desktop/MprisService.h"

MprisRootAdaptor::MprisRootAdaptor(QObject* object, MprisService& service)
    : QDBusAbstractAdaptor(object)
    , service_(service)
{
}

void MprisRootAdaptor::Raise() { service_.raise(); }
void MprisRootAdaptor::Quit() { service_.quit(); }

MprisPlayerAdaptor::MprisPlayerAdaptor(QObject* object, MprisService& service)
    : QDBusAbstractAdaptor(object)
    , service_(service)
{
}

QString MprisPlayerAdaptor::PlaybackStatus() const { return service_.playbackStatus(); }
QVariantMap MprisPlayerAdaptor::Metadata() const { return service_.metadata(); }
qlonglong MprisPlayerAdaptor::Position() const { return service_.position(); }
bool MprisPlayerAdaptor::CanGoNext() const { return service_.canGoNext(); }
bool MprisPlayerAdaptor::CanGoPrevious() const { return service_.canGoPrevious(); }
bool MprisPlayerAdaptor::CanPlay() const { return service_.canPlay(); }
bool MprisPlayerAdaptor::CanPause() const { return service_.canPause(); }

void MprisPlayerAdaptor::Next() { service_.next(); }
void MprisPlayerAdaptor::Previous() { service_.previous(); }
void MprisPlayerAdaptor::Pause() { service_.pause(); }
void MprisPlayerAdaptor::PlayPause() { service_.playPause(); }
void MprisPlayerAdaptor::Stop() { service_.stop(); }
void MprisPlayerAdaptor::Play() { service_.play(); }
void MprisPlayerAdaptor::Seek(qlonglong) {}
void MprisPlayerAdaptor::SetPosition(const QDBusObjectPath&, qlonglong) {}
void MprisPlayerAdaptor::OpenUri(const QString&) {}
