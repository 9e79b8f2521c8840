#pragma once

#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QPointF>

class QWidget;

// The move loop a press on a title bar starts: from then until the left button comes up, the
// window follows the pointer by exactly the pointer's motion since the press. Run by the program
// itself rather than handed to the window manager, whose own loop is told of the gesture too late
// under X: it starts from where the pointer is by then, and misses a release that came first.
class WindowMove : public QObject {
public:
    // Watches the application's mouse events.
    WindowMove();
    ~WindowMove() override;

    // Starts the loop for a move of the left button alone that the window did not give to a
    // child. The press that began the gesture is where the motion is counted from.
    void start(QWidget* window);
    bool moving() const { return window_ != nullptr; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void follow(QPointF pointer);

    // The latest press of the left button alone, and where its window then was.
    QPointer<QWidget> pressWindow_;
    QPointF pressPointer_;
    QPoint pressOrigin_;
    QPointF lastPointer_;
    bool havePointer_ = false;

    QPointer<QWidget> window_;
    QPointF startPointer_;
    QPoint startOrigin_;
};
