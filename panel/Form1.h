#pragma once

#include <QPixmap>
#include <QWidget>

class QAction;
class QLabel;
class QMenu;
class QTimer;
class PictureButton;

// The remote-control panel: the program's start-up window.
class Form1 : public QWidget {
    Q_OBJECT
public:
    Form1();

    PictureButton* Image1 = nullptr; // settings
    PictureButton* Image2 = nullptr; // screen size
    PictureButton* Image3 = nullptr; // angle
    PictureButton* Image4 = nullptr; // play
    PictureButton* Image5 = nullptr; // stop
    PictureButton* Image6 = nullptr; // pause
    PictureButton* Image7 = nullptr; // exit
    PictureButton* Image11 = nullptr; // rewind
    PictureButton* Image12 = nullptr; // fast-forward
    PictureButton* Image13 = nullptr; // previous chapter
    PictureButton* Image14 = nullptr; // next chapter
    PictureButton* Image22 = nullptr; // disc-menu pop-up
    PictureButton* Image23 = nullptr; // bookmark pop-up

    QLabel* Label1 = nullptr; // play state
    QLabel* Label2 = nullptr; // scan speed
    QLabel* Label3 = nullptr; // mute
    QLabel* Label4 = nullptr; // title
    QLabel* Label5 = nullptr; // chapter
    QLabel* Label6 = nullptr; // angle
    QLabel* Label7 = nullptr; // time

    QTimer* Timer1 = nullptr; // read-out refresh

    QMenu* M_Pop = nullptr;
    QAction* M_Root = nullptr;
    QAction* M_Angle = nullptr;
    QAction* M_Title = nullptr;
    QAction* M_Chap = nullptr;
    QAction* M_Audio = nullptr;
    QAction* M_SubP = nullptr;
    QAction* Sen = nullptr;
    QAction* M_Resume = nullptr;
    QMenu* B_Pop = nullptr;
    QAction* S_Book = nullptr;
    QAction* R_Book = nullptr;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void createButtons();
    void createLabels();
    void createMenus();

    QPixmap skin_;
};
