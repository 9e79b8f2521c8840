#pragma once

#include <QLabel>

// A picture control that acts as a button: a click and every pointer move over it are
// reported. A disabled button reports neither.
class PictureButton : public QLabel {
    Q_OBJECT
public:
    explicit PictureButton(QWidget* parent = nullptr);

signals:
    void clicked();
    void hovered();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;

private:
    bool pressed_ = false;
};
