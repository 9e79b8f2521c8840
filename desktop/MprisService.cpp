#include "desktop/MprisService.h"

#include "core/AppLifecycle.h"
#include "core/AppObjects.h"
#include "core/Tray.h"
#include "desktop/MprisAdaptors.h"
#include "panel/Form1.h"
#include "panel/PictureButton.h"
#include "playback/Engine.h"
#include "playback/PlayState.h"
#include "playback/TransportCommands.h"

#include <QApplication>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QStringList>
#include <QTimer>
#include <utility>

namespace {

const QString PlayerInterface = QStringLiteral("org.mpris.MediaPlayer2.Player");

// "hh:mm:ss" as the control reports times, in microseconds; -1 when it is not a time.
qlonglong microseconds(const std::string& text)
{
    const QStringList parts = QString::fromStdString(text).split(QLatin1Char(':'));
    if (parts.size() != 3)
        return -1;
    qlonglong seconds = 0;
    for (const QString& part : parts) {
        bool ok = false;
        const int value = part.trimmed().toInt(&ok);
        if (!ok || value < 0)
            return -1;
        seconds = seconds * 60 + value;
    }
    return seconds * 1000000;
}

bool playingOrPaused()
{
    return PlayState == 1 || PlayState == 2;
}

// A disabled button takes no click, and none reaches the panel behind a message box.
void click(PictureButton* button, void (*command)())
{
    if (button->isEnabled() && !QApplication::activeModalWidget())
        command();
}

} // namespace

MprisService::MprisService(QDBusConnection bus, QObject* parent)
    : QObject(parent)
    , bus_(std::move(bus))
{
    new MprisRootAdaptor(this, *this);
    new MprisPlayerAdaptor(this, *this);
    published_.playbackStatus = playbackStatus();
    published_.metadata = metadata();
    published_.canPlay = canPlay();
    published_.canPause = canPause();
    published_.canGoNext = canGoNext();
    published_.canGoPrevious = canGoPrevious();

    if (!bus_.registerObject(QString::fromLatin1(ObjectPath), this))
        return;
    // The name is the player's for as long as the program runs; a second copy shows up as a
    // second player, as the desktop's convention has it.
    for (QString name : {QString::fromLatin1(ServiceName),
                         QString::fromLatin1(ServiceName) + QStringLiteral(".instance")
                             + QString::number(QCoreApplication::applicationPid())}) {
        if (bus_.registerService(name)) {
            serviceName_ = name;
            break;
        }
    }

    connect(&playStateSignal(), &PlayStateSignal::changed, this, &MprisService::publishSoon);
    Form1& panel = form1();
    connect(panel.Timer1, &QTimer::timeout, this, &MprisService::refresh);
    // Scans and commands turn buttons on and off without a change of state.
    for (QWidget* button : {static_cast<QWidget*>(panel.Image4), static_cast<QWidget*>(panel.Image5),
                            static_cast<QWidget*>(panel.Image6), static_cast<QWidget*>(panel.Image13),
                            static_cast<QWidget*>(panel.Image14)})
        button->installEventFilter(this);
}

MprisService::~MprisService()
{
    if (!serviceName_.isEmpty())
        bus_.unregisterService(serviceName_);
    bus_.unregisterObject(QString::fromLatin1(ObjectPath));
}

void MprisService::refresh()
{
    publishSoon();
}

QString MprisService::playbackStatus() const
{
    switch (PlayState) {
    case 2:
        return QStringLiteral("Playing");
    case 1:
        return QStringLiteral("Paused");
    default:
        return QStringLiteral("Stopped");
    }
}

QVariantMap MprisService::metadata()
{
    if (!playingOrPaused())
        return {{QStringLiteral("mpris:trackid"),
                 QVariant::fromValue(QDBusObjectPath(QStringLiteral("/org/mpris/MediaPlayer2/TrackList/NoTrack")))}};
    // A failed read keeps what was known, as the read-out keeps its line.
    Engine& dvd = engine();
    if (auto title = dvd.EngineTitle())
        title_ = *title;
    if (auto chapter = dvd.EngineChapter())
        chapter_ = *chapter;
    QVariantMap data{
        {QStringLiteral("mpris:trackid"),
         QVariant::fromValue(QDBusObjectPath(QStringLiteral("/org/quorvel/title%1/chapter%2").arg(title_).arg(chapter_)))},
        {QStringLiteral("xesam:title"), QStringLiteral("Title %1, Chapter %2").arg(title_).arg(chapter_)},
        {QStringLiteral("xesam:trackNumber"), chapter_},
    };
    if (auto total = dvd.EngineTotalTimeText()) {
        const qlonglong length = microseconds(*total);
        if (length > 0)
            data.insert(QStringLiteral("mpris:length"), length);
    }
    return data;
}

qlonglong MprisService::position()
{
    if (!playingOrPaused())
        return 0;
    auto time = engine().EngineTimeText();
    const qlonglong at = time ? microseconds(*time) : -1;
    return at < 0 ? 0 : at;
}

bool MprisService::canPlay() const { return form1().Image4->isEnabled(); }
bool MprisService::canPause() const { return form1().Image6->isEnabled(); }
bool MprisService::canGoNext() const { return form1().Image14->isEnabled(); }
bool MprisService::canGoPrevious() const { return form1().Image13->isEnabled(); }

void MprisService::later(std::function<void()> command)
{
    QMetaObject::invokeMethod(this, std::move(command), Qt::QueuedConnection);
}

void MprisService::play() { later([] { click(form1().Image4, DvdPlay); }); }
void MprisService::pause() { later([] { click(form1().Image6, DvdPause); }); }
void MprisService::stop() { later([] { click(form1().Image5, DvdStop); }); }
void MprisService::next() { later([] { click(form1().Image14, DvdNextChapter); }); }
void MprisService::previous() { later([] { click(form1().Image13, DvdPrevChapter); }); }

void MprisService::playPause()
{
    // Told apart when it runs, by the state the user then sees.
    later([] {
        if (PlayState == 2)
            click(form1().Image6, DvdPause);
        else
            click(form1().Image4, DvdPlay);
    });
}

void MprisService::raise()
{
    later(ShowBothWindows);
}

void MprisService::quit()
{
    later(AppEnd);
}

bool MprisService::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::EnabledChange)
        publishSoon();
    return QObject::eventFilter(watched, event);
}

void MprisService::publishSoon()
{
    // A command changes the state and several buttons one after the other; the desktop hears
    // of them together once it is done.
    if (publishPending_)
        return;
    publishPending_ = true;
    QMetaObject::invokeMethod(this, &MprisService::publish, Qt::QueuedConnection);
}

void MprisService::publish()
{
    publishPending_ = false;
    Published now;
    now.playbackStatus = playbackStatus();
    now.metadata = metadata();
    now.canPlay = canPlay();
    now.canPause = canPause();
    now.canGoNext = canGoNext();
    now.canGoPrevious = canGoPrevious();

    QVariantMap changed;
    if (now.playbackStatus != published_.playbackStatus)
        changed.insert(QStringLiteral("PlaybackStatus"), now.playbackStatus);
    if (now.metadata != published_.metadata)
        changed.insert(QStringLiteral("Metadata"), now.metadata);
    if (now.canPlay != published_.canPlay)
        changed.insert(QStringLiteral("CanPlay"), now.canPlay);
    if (now.canPause != published_.canPause)
        changed.insert(QStringLiteral("CanPause"), now.canPause);
    if (now.canGoNext != published_.canGoNext)
        changed.insert(QStringLiteral("CanGoNext"), now.canGoNext);
    if (now.canGoPrevious != published_.canGoPrevious)
        changed.insert(QStringLiteral("CanGoPrevious"), now.canGoPrevious);
    published_ = now;
    if (changed.isEmpty())
        return;
    QDBusMessage signal = QDBusMessage::createSignal(QString::fromLatin1(ObjectPath),
                                                     QStringLiteral("org.freedesktop.DBus.Properties"),
                                                     QStringLiteral("PropertiesChanged"));
    signal << PlayerInterface << changed << QStringList();
    bus_.send(signal);
}
