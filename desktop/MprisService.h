#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QString>
#include <QVariantMap>
#include <cstdint>
#include <functional>

// The program as the desktop's media keys and media controls see it: an MPRIS 2 player on the
// session bus. Its transport methods are the panel's buttons (a command whose button is
// disabled does nothing, and a command shows its notice and its messages as from the panel); its
// playback status is PlayState, and what plays is the disc's title and chapter.
class MprisService : public QObject {
    Q_OBJECT
public:
    static constexpr const char* ServiceName = "org.mpris.MediaPlayer2.quorvel";
    static constexpr const char* ObjectPath = "/org/mpris/MediaPlayer2";

    // Takes the player's name on the bus (a second copy of the program takes a name of its own
    // beside it). The panel and the screen window must exist.
    explicit MprisService(QDBusConnection bus, QObject* parent = nullptr);
    ~MprisService() override;

    // The name taken, empty when the bus gave none.
    QString serviceName() const { return serviceName_; }

    // Follows what the panel's read-out follows; runs on each of its refreshes.
    void refresh();

    // The properties, as the desktop reads them.
    QString playbackStatus() const;
    QVariantMap metadata();
    qlonglong position();
    bool canPlay() const;
    bool canPause() const;
    bool canGoNext() const;
    bool canGoPrevious() const;

    // The methods. Each runs once the call has been answered, as a click on its button would:
    // a command may show a message box, and the desktop must not wait for it to be closed.
    void play();
    void pause();
    void playPause();
    void stop();
    void next();
    void previous();
    void raise();
    void quit();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Published {
        QString playbackStatus;
        QVariantMap metadata;
        bool canPlay = false;
        bool canPause = false;
        bool canGoNext = false;
        bool canGoPrevious = false;
    };
    void later(std::function<void()> command);
    void publishSoon();
    void publish();

    QDBusConnection bus_;
    QString serviceName_;
    Published published_;
    bool publishPending_ = false;
    int32_t title_ = 0;
    int32_t chapter_ = 0;
};
