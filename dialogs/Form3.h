#pragma once

#include <QWidget>

class QFrame;
class QLabel;
class QPushButton;

// The about window, reached from the settings dialog, which it shows again however it is left.
class Form3 : public QWidget {
    Q_OBJECT
public:
    Form3();
    ~Form3() override;

    QLabel* Label1 = nullptr; // thank-you note
    QLabel* Label2 = nullptr; // author
    QLabel* Label3 = nullptr; // contact address
    QLabel* Label4 = nullptr; // web address, two lines
    QLabel* Label5 = nullptr; // project label
    QPushButton* Command1 = nullptr; // Mail
    QPushButton* Command2 = nullptr; // WebSite
    QPushButton* Command3 = nullptr; // back to the settings
    QFrame* Shape1 = nullptr;
    QLabel* Image1 = nullptr;
    QLabel* Image2 = nullptr;

    static const QString MailAddress;
    static const QString WebAddress;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void Form_Load();
};

// Shows the about window modeless, loading it first unless it is already loaded.
void ShowForm3();
Form3* form3IfLoaded();
