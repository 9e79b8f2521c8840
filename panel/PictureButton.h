#pragma once

#include <QLabel>
#include <QPixmap>

// A picture control that acts as a button: a click and every pointer move over it are
// reported. A disabled button reports neither, and its moves go on to the window beneath as
// if the button were not there.
class PictureButton : public QLabel {
    Q_OBJECT
public:
    explicit PictureButton(QWidget* parent = nullptr);

    // The pictures the button switches between; it shows the normal one from now on.
    void setPictures(const QPixmap& normal, const QPixmap& hover);
    void showNormalPicture();
    void showHoverPicture();
    bool showsHoverPicture() const { return showsHover_; }

signals:
    void clicked();
    void hovered();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    QPixmap normal_;
    QPixmap hover_;
    bool showsHover_ = false;
    bool pressed_ = false;
};
