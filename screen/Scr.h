#pragma once

#include <QColor>
#include <QPixmap>
#include <QWidget>
#include <cstdint>

class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QTimer;
class PictureButton;
class VideoWidget;

// The borderless video screen window around the playback control.
class Scr : public QWidget {
    Q_OBJECT
public:
    Scr();

    QLineEdit* Text1 = nullptr; // notices (right)
    QLineEdit* Text2 = nullptr; // hints (left)
    QLabel* Picture1 = nullptr; // exit button hover picture holder
    QLabel* Picture2 = nullptr; // exit button normal picture holder
    QLabel* Picture3 = nullptr; // cover over the video while stopped
    QLabel* Picture4 = nullptr; // full-size cover holder
    QLabel* Picture5 = nullptr; // normal-size cover holder
    VideoWidget* DVD = nullptr;
    PictureButton* Image1 = nullptr; // exit button
    QTimer* Timer1 = nullptr; // hint expiry
    QTimer* Timer2 = nullptr; // notice expiry
    QTimer* Timer3 = nullptr; // right-button poll

    QMenu* R_Pop = nullptr;
    QAction* R_ShowRimort = nullptr;
    QAction* sen1 = nullptr;
    QAction* R_Play = nullptr;
    QAction* R_Stop = nullptr;
    QAction* R_Pause = nullptr;
    QAction* sen2 = nullptr;
    QAction* R_End = nullptr;

    int16_t Sec = 0;
    int16_t Sec2 = 0;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void load();
    void Image1Hovered();

    QPixmap skin_;
    QColor skinEdge_{Qt::black};
};
