#pragma once

#include <QObject>
#include <QPointer>

#include <functional>

class QWidget;

// On the desktop the program was made for, a press on a window makes it the active window before
// the window sees the press. Under X only a window manager does that, if there is one, and the
// program hears of it some time later: the release of the same click could still find the other
// window in front. So every press activates its window here, and that window counts as the one in
// front until the window system says which window has the focus.
class PressActivation : public QObject {
public:
    // Watches the application's mouse presses.
    PressActivation();
    ~PressActivation() override;

    // The active top-level window of this program, or null when another program has the focus.
    QWidget* foregroundWindow() const;

    // Told of every change of the window in front: a press that activates a window and every
    // word of the window system on the focus.
    std::function<void()> onChange;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void changed();

    QPointer<QWidget> pressed_;
};
