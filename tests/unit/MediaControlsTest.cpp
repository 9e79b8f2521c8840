#include "core/AppLifecycle.h"
#include "core/Settings.h"
#include "desktop/MprisService.h"
#include "panel/Form1.h"
#include "panel/PictureButton.h"
#include "playback/ControlStates.h"
#include "playback/PlayState.h"
#include "playback/TransportCommands.h"
#include "screen/Scr.h"
#include "support/AppFixture.h"
#include "support/MouseEvents.h"
#include "support/PrivateSessionBus.h"

#include <QApplication>
#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QDialog>
#include <QLineEdit>
#include <QTimer>
#include <memory>

namespace {

const QString Service = QString::fromLatin1(MprisService::ServiceName);
const QString Path = QString::fromLatin1(MprisService::ObjectPath);
const QString Root = QStringLiteral("org.mpris.MediaPlayer2");
const QString Player = QStringLiteral("org.mpris.MediaPlayer2.Player");

enum class State { Stopped, Paused, Playing, Scanning };

const char* name(State state)
{
    switch (state) {
    case State::Stopped:
        return "stopped";
    case State::Paused:
        return "paused";
    case State::Playing:
        return "playing";
    case State::Scanning:
        return "scanning";
    }
    return "?";
}

// What a command left behind, to hold a media key's effect against the panel button's.
struct Outcome {
    std::vector<FakeEngine::Call> calls;
    std::vector<QString> messages;
    QString notice;
    int16_t playState = 0;
    std::vector<bool> enabled;
    bool operator==(const Outcome& other) const
    {
        return calls == other.calls && messages == other.messages && notice == other.notice
            && playState == other.playState && enabled == other.enabled;
    }
};

// The windows and commands on the engine double; the player on a private session bus, and a
// desktop's media controls talking to it from a connection of their own.
class MediaControlsTest : public AppFixture {
protected:
    void SetUp() override
    {
        AppFixture::SetUp();
        // Timers are driven by hand here.
        panel().Timer1->stop();
        screen().Timer3->stop();
        Settings.dir = "/media/disc";
        Settings.speed = 3;
        ASSERT_FALSE(bus.address().isEmpty()) << bus.error().toStdString();
        program = bus.connect(QStringLiteral("program"));
        desktop = bus.connect(QStringLiteral("desktop"));
        ASSERT_TRUE(program.isConnected());
        ASSERT_TRUE(desktop.isConnected());
        service = std::make_unique<MprisService>(program);
        ASSERT_EQ(service->serviceName(), Service);
        ASSERT_TRUE(recorder.listen(desktop, Service, Path));
    }

    void TearDown() override
    {
        service.reset();
        AppFixture::TearDown();
    }

    QDBusMessage call(const QString& interface, const QString& method, const QVariantList& arguments = {})
    {
        QDBusMessage message = QDBusMessage::createMethodCall(Service, Path, interface, method);
        message.setArguments(arguments);
        QDBusMessage reply = callAndWait(desktop, message);
        EXPECT_EQ(reply.type(), QDBusMessage::ReplyMessage) << method.toStdString() << ": "
                                                            << reply.errorMessage().toStdString();
        return reply;
    }

    void press(const QString& method) { call(Player, method); }

    QVariant property(const QString& interface, const QString& property)
    {
        QDBusMessage reply = call(QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"),
                                  {interface, property});
        if (reply.arguments().isEmpty())
            return {};
        return reply.arguments().first().value<QDBusVariant>().variant();
    }

    QVariantMap metadata()
    {
        return qdbus_cast<QVariantMap>(property(Player, QStringLiteral("Metadata")).value<QDBusArgument>());
    }

    void enter(State state)
    {
        resetPlayState();
        fakeEngine.state = 0;
        SetStoppedControls();
        if (state != State::Stopped)
            DvdPlay();
        if (state == State::Paused)
            DvdPause();
        if (state == State::Scanning)
            DvdFastForward();
        screen().Text1->setText(QStringLiteral("before"));
        settle();
        fakeEngine.calls.clear();
        fakePlatform.messages.clear();
        recorder.changes.clear();
    }

    // Until the player has told the desktop all there is to tell: its announcements go out
    // after a command, and arrive before the answer to any later call.
    void settle()
    {
        QCoreApplication::processEvents();
        property(Player, QStringLiteral("CanControl"));
    }

    Outcome outcome()
    {
        Form1& p = panel();
        Outcome o{fakeEngine.calls, messageTexts(), screen().Text1->text(), PlayState, {}};
        for (PictureButton* b : {p.Image3, p.Image4, p.Image5, p.Image6, p.Image11, p.Image12, p.Image13, p.Image14})
            o.enabled.push_back(b->isEnabled());
        return o;
    }

    // The panel button that the media key stands for, in the state the key finds.
    PictureButton* buttonFor(const QString& method)
    {
        Form1& p = panel();
        if (method == QLatin1String("Play"))
            return p.Image4;
        if (method == QLatin1String("Pause"))
            return p.Image6;
        if (method == QLatin1String("Stop"))
            return p.Image5;
        if (method == QLatin1String("Next"))
            return p.Image14;
        if (method == QLatin1String("Previous"))
            return p.Image13;
        return PlayState == 2 ? p.Image6 : p.Image4; // PlayPause
    }

    PrivateSessionBus bus;
    QDBusConnection program{QString()};
    QDBusConnection desktop{QString()};
    std::unique_ptr<MprisService> service;
    PropertiesChangedRecorder recorder;
};

TEST_F(MediaControlsTest, TheDesktopFindsAPlayerNamedQuorvelWithBothInterfaces)
{
    EXPECT_TRUE(desktop.interface()->isServiceRegistered(Service).value());
    QDBusMessage reply = call(QStringLiteral("org.freedesktop.DBus.Introspectable"), QStringLiteral("Introspect"));
    const QString xml = reply.arguments().value(0).toString();
    EXPECT_TRUE(xml.contains(QStringLiteral("<interface name=\"org.mpris.MediaPlayer2\">"))) << xml.toStdString();
    EXPECT_TRUE(xml.contains(QStringLiteral("<interface name=\"org.mpris.MediaPlayer2.Player\">")));
    EXPECT_EQ(property(Root, QStringLiteral("Identity")).toString(), QStringLiteral("Quorvel"));
    EXPECT_TRUE(property(Root, QStringLiteral("CanRaise")).toBool());
    EXPECT_TRUE(property(Root, QStringLiteral("CanQuit")).toBool());
    EXPECT_FALSE(property(Root, QStringLiteral("HasTrackList")).toBool());
    EXPECT_TRUE(property(Player, QStringLiteral("CanControl")).toBool());
    EXPECT_FALSE(property(Player, QStringLiteral("CanSeek")).toBool());
}

TEST_F(MediaControlsTest, ASecondCopyOfTheProgramTakesANameOfItsOwn)
{
    QDBusConnection second = bus.connect(QStringLiteral("second"));
    MprisService other(second);
    EXPECT_EQ(other.serviceName(),
              Service + QStringLiteral(".instance") + QString::number(QCoreApplication::applicationPid()));
    EXPECT_TRUE(desktop.interface()->isServiceRegistered(other.serviceName()).value());
}

TEST_F(MediaControlsTest, EachKeyDoesWhatItsPanelButtonDoesInEveryStateAndNothingWhenItIsOff)
{
    const QStringList methods{QStringLiteral("Play"), QStringLiteral("Pause"), QStringLiteral("PlayPause"),
                              QStringLiteral("Stop"), QStringLiteral("Next"), QStringLiteral("Previous")};
    for (State state : {State::Stopped, State::Paused, State::Playing, State::Scanning}) {
        for (const QString& method : methods) {
            for (bool failing : {false, true}) {
                SCOPED_TRACE(std::string(name(state)) + " " + method.toStdString() + (failing ? " failing" : ""));
                auto fail = [&] {
                    fakeEngine.clearFailures();
                    if (failing) {
                        for (EngineOp op : {EngineOp::Play, EngineOp::Pause, EngineOp::Stop, EngineOp::NextChapter,
                                            EngineOp::PreviousChapter})
                            fakeEngine.failOn(op);
                    }
                };
                enter(state);
                fail();
                PictureButton* button = buttonFor(method);
                const bool enabled = button->isEnabled();
                sendClick(button, button->rect().center());
                settle();
                const Outcome clicked = outcome();
                fakeEngine.clearFailures();

                enter(state);
                fail();
                press(method);
                settle();
                const Outcome pressed = outcome();
                fakeEngine.clearFailures();

                EXPECT_TRUE(pressed == clicked);
                if (!enabled) {
                    EXPECT_TRUE(pressed.calls.empty());
                    EXPECT_TRUE(pressed.messages.empty());
                    EXPECT_EQ(pressed.notice, QStringLiteral("before"));
                }
            }
        }
    }
}

TEST_F(MediaControlsTest, KeysDoWhatTheDesktopExpects)
{
    enter(State::Stopped);
    press(QStringLiteral("Stop"));
    EXPECT_TRUE(fakeEngine.calls.empty());
    press(QStringLiteral("PlayPause"));
    EXPECT_EQ(PlayState, 2);
    EXPECT_EQ(screen().Text1->text(), QStringLiteral("Play"));
    press(QStringLiteral("PlayPause"));
    EXPECT_EQ(PlayState, 1);
    EXPECT_EQ(screen().Text1->text(), QStringLiteral("Pause"));
    press(QStringLiteral("PlayPause"));
    EXPECT_EQ(PlayState, 2);
    fakeEngine.calls.clear();
    press(QStringLiteral("Next"));
    EXPECT_EQ(fakeEngine.count(EngineOp::NextChapter), 1);
    EXPECT_EQ(screen().Text1->text(), QStringLiteral(">>|"));
    press(QStringLiteral("Previous"));
    EXPECT_EQ(fakeEngine.count(EngineOp::PreviousChapter), 1);
    press(QStringLiteral("Stop"));
    EXPECT_EQ(PlayState, 0);
    EXPECT_EQ(screen().Text1->text(), QStringLiteral("Stop"));
    // A failing play shows the panel's own message.
    fakeEngine.failOn(EngineOp::Play);
    press(QStringLiteral("Play"));
    EXPECT_EQ(messageTexts(),
              std::vector<QString>{QStringLiteral("再生時にエラーがありました。DVDがドライブに入っているか確認してください")});
}

TEST_F(MediaControlsTest, NoKeyReachesThePanelBehindAMessageBox)
{
    enter(State::Stopped);
    QDialog box;
    box.setModal(true);
    box.show();
    ASSERT_TRUE(processEventsUntil([] { return QApplication::activeModalWidget() != nullptr; }));
    press(QStringLiteral("Play"));
    press(QStringLiteral("PlayPause"));
    EXPECT_TRUE(fakeEngine.calls.empty());
    box.hide();
    ASSERT_TRUE(processEventsUntil([] { return QApplication::activeModalWidget() == nullptr; }));
    press(QStringLiteral("Play"));
    EXPECT_EQ(PlayState, 2);
}

TEST_F(MediaControlsTest, PlaybackStatusFollowsThePlayStateAndEveryChangeIsAnnounced)
{
    enter(State::Stopped);
    EXPECT_EQ(property(Player, QStringLiteral("PlaybackStatus")).toString(), QStringLiteral("Stopped"));
    EXPECT_TRUE(property(Player, QStringLiteral("CanPlay")).toBool());
    EXPECT_FALSE(property(Player, QStringLiteral("CanPause")).toBool());

    // From the panel as well as from the desktop.
    sendClick(panel().Image4, panel().Image4->rect().center());
    ASSERT_TRUE(processEventsUntil([&] { return recorder.last(QStringLiteral("PlaybackStatus")).isValid(); }));
    EXPECT_EQ(recorder.last(QStringLiteral("PlaybackStatus")).toString(), QStringLiteral("Playing"));
    EXPECT_EQ(recorder.last(QStringLiteral("CanPlay")), QVariant(false));
    EXPECT_EQ(recorder.last(QStringLiteral("CanPause")), QVariant(true));
    EXPECT_EQ(recorder.last(QStringLiteral("CanGoNext")), QVariant(true));
    EXPECT_EQ(recorder.last(QStringLiteral("CanGoPrevious")), QVariant(true));
    // One announcement for the whole command.
    EXPECT_EQ(recorder.changes.size(), 1u);
    EXPECT_EQ(property(Player, QStringLiteral("PlaybackStatus")).toString(), QStringLiteral("Playing"));

    // A scan plays on; only play comes back.
    press(QStringLiteral("Pause"));
    ASSERT_TRUE(processEventsUntil([&] { return recorder.last(QStringLiteral("PlaybackStatus")) == QStringLiteral("Paused"); }));
    press(QStringLiteral("Play"));
    ASSERT_TRUE(processEventsUntil([&] { return recorder.last(QStringLiteral("PlaybackStatus")) == QStringLiteral("Playing"); }));
    const size_t before = recorder.changes.size();
    DvdFastForward();
    ASSERT_TRUE(processEventsUntil([&] { return recorder.changes.size() > before; }));
    EXPECT_EQ(recorder.changes.back(), (QVariantMap{{QStringLiteral("CanPlay"), true}}));

    press(QStringLiteral("Stop"));
    ASSERT_TRUE(processEventsUntil([&] { return recorder.last(QStringLiteral("PlaybackStatus")) == QStringLiteral("Stopped"); }));

    // A state the control should not report matches none of the three.
    fakeEngine.transportSetsState = false;
    fakeEngine.state = 7;
    DvdPlay();
    EXPECT_EQ(property(Player, QStringLiteral("PlaybackStatus")).toString(), QStringLiteral("Stopped"));
}

TEST_F(MediaControlsTest, MetadataNamesTitleAndChapterAndFollowsTheChapter)
{
    fakeEngine.title = 2;
    fakeEngine.chapter = 3;
    fakeEngine.totalTimeText = "01:30:05";
    fakeEngine.timeText = "00:01:02";
    enter(State::Stopped);
    QVariantMap stopped = metadata();
    EXPECT_EQ(stopped.keys(), QStringList{QStringLiteral("mpris:trackid")});
    EXPECT_EQ(stopped.value(QStringLiteral("mpris:trackid")).value<QDBusObjectPath>().path(),
              QStringLiteral("/org/mpris/MediaPlayer2/TrackList/NoTrack"));
    EXPECT_EQ(property(Player, QStringLiteral("Position")).toLongLong(), 0);

    enter(State::Playing);
    QVariantMap playing = metadata();
    EXPECT_EQ(playing.value(QStringLiteral("xesam:title")).toString(), QStringLiteral("Title 2, Chapter 3"));
    EXPECT_EQ(playing.value(QStringLiteral("xesam:trackNumber")).toInt(), 3);
    EXPECT_EQ(playing.value(QStringLiteral("mpris:length")).toLongLong(), (90 * 60 + 5) * 1000000LL);
    EXPECT_EQ(playing.value(QStringLiteral("mpris:trackid")).value<QDBusObjectPath>().path(),
              QStringLiteral("/org/quorvel/title2/chapter3"));
    EXPECT_EQ(property(Player, QStringLiteral("Position")).toLongLong(), 62 * 1000000LL);

    // The disc moves on to the next chapter by itself: the read-out's next refresh tells.
    fakeEngine.chapter = 4;
    service->refresh();
    ASSERT_TRUE(processEventsUntil([&] { return !recorder.changes.empty(); }));
    const QVariantMap announced =
        qdbus_cast<QVariantMap>(recorder.last(QStringLiteral("Metadata")).value<QDBusArgument>());
    EXPECT_EQ(announced.value(QStringLiteral("xesam:title")).toString(), QStringLiteral("Title 2, Chapter 4"));

    // Nothing new, nothing said; a failed read keeps what was known.
    recorder.changes.clear();
    fakeEngine.failOnGet(EngineOp::Chapter);
    service->refresh();
    QCoreApplication::processEvents();
    EXPECT_EQ(metadata().value(QStringLiteral("xesam:trackNumber")).toInt(), 4);
    EXPECT_TRUE(recorder.changes.empty());
}

TEST_F(MediaControlsTest, RaiseBringsBothWindowsBackAsTheTrayIconDoes)
{
    screen().show();
    panel().show();
    screen().showMinimized();
    panel().showMinimized();
    QCoreApplication::processEvents();
    call(Root, QStringLiteral("Raise"));
    EXPECT_FALSE(panel().isMinimized());
    EXPECT_FALSE(screen().isMinimized());
    EXPECT_TRUE(panel().isVisible());
    EXPECT_TRUE(processEventsUntil([&] { return QApplication::activeWindow() == &screen(); }));
}

TEST_F(MediaControlsTest, QuitEndsTheProgramAsItsExitButtonDoes)
{
    enter(State::Playing);
    call(Root, QStringLiteral("Quit"));
    EXPECT_EQ(fakeEngine.count(EngineOp::Stop), 1);
    EXPECT_EQ(fakePlatform.trayRemoves, 1);
    EXPECT_EQ(fakePlatform.endCalls, 1);
}

} // namespace
