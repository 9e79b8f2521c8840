#pragma once

#include <QWidget>
#include <cstdint>
#include <string>

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QScrollBar;

// The settings dialog. It edits working copies of the settings; volume, balance and mute are
// tried out on the playback control at once, and only O.K. takes them into Settings.
class Cont : public QWidget {
    Q_OBJECT
public:
    Cont();
    ~Cont() override;

    QGroupBox* Frame1 = nullptr; // sound
    QGroupBox* Frame2 = nullptr; // screen texts
    QGroupBox* Frame3 = nullptr; // scan speed
    QGroupBox* Frame4 = nullptr; // directory
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr; // volume number
    QLabel* Label4 = nullptr; // balance number
    QLabel* Label5 = nullptr;
    QLabel* Label6 = nullptr; // directory path
    QScrollBar* HScroll1 = nullptr; // volume
    QScrollBar* HScroll2 = nullptr; // balance
    QCheckBox* Check1 = nullptr; // mute
    QCheckBox* Check2 = nullptr; // left-hand text (Text2)
    QCheckBox* Check3 = nullptr; // right-hand text (Text1)
    QCheckBox* Check4 = nullptr; // automatic directory
    QRadioButton* Option1 = nullptr; // *2
    QRadioButton* Option2 = nullptr; // *3
    QRadioButton* Option3 = nullptr; // *4
    QRadioButton* Option4 = nullptr; // *5
    QPushButton* Command1 = nullptr; // O.K.
    QPushButton* Command2 = nullptr; // Cancel
    QPushButton* Command3 = nullptr; // browse
    QPushButton* Command4 = nullptr; // about

    int16_t TempVolume = 0;
    int16_t TempBalance = 0;
    int16_t TempMute = 0;
    std::string TempDir;
    int16_t TempDirSta = 0;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void createControls();
    void Form_Load();
    void HScroll1_Change();
    void HScroll2_Change();
    void Check1_Click();
    void Check4_Click();
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void Form_Unload();

    QButtonGroup* speedGroup_ = nullptr;
};

// Shows the dialog modeless: the first show loads and fills it, a loaded one (hidden or not) is
// only brought back as it was.
void ShowCont();
// The loaded dialog, or null when it is not loaded.
Cont* contIfLoaded();
