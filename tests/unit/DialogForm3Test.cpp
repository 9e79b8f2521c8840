#include "core/Settings.h"
#include "dialogs/Cont.h"
#include "dialogs/Form3.h"
#include "support/AppFixture.h"

#include <QLabel>
#include <QPushButton>
#include <QScrollBar>

namespace {

class DialogForm3Test : public AppFixture {
protected:
    // The settings dialog with an unconfirmed volume, hidden behind the about window.
    Form3& openFromSettings()
    {
        ShowCont();
        contIfLoaded()->HScroll1->triggerAction(QAbstractSlider::SliderPageStepSub);
        contIfLoaded()->Command4->click();
        return *form3IfLoaded();
    }
    void expectSettingsBackWithEdits(int16_t volume)
    {
        ASSERT_NE(contIfLoaded(), nullptr);
        EXPECT_TRUE(contIfLoaded()->isVisible());
        EXPECT_EQ(contIfLoaded()->TempVolume, volume);
        EXPECT_EQ(form3IfLoaded(), nullptr);
    }
};

TEST_F(DialogForm3Test, MailAndWebSiteOpenTheirAddressesAndStay)
{
    Form3& about = openFromSettings();
    EXPECT_EQ(about.windowTitle(), QStringLiteral("Quorvel"));
    EXPECT_EQ(about.Command3->text(), QStringLiteral("<<  設定画面へ戻る"));
    about.Command1->click();
    about.Command2->click();
    const std::vector<QString> expected{QStringLiteral("mailto:") + about.Label3->text(), Form3::WebAddress};
    EXPECT_EQ(fakePlatform.opened, expected);
    EXPECT_EQ(about.Label4->text().remove(QStringLiteral("\r\n")), Form3::WebAddress);
    EXPECT_TRUE(about.Label4->text().contains(QStringLiteral("/\r\n")));
    EXPECT_EQ(form3IfLoaded(), &about);
    EXPECT_TRUE(about.isVisible());
}

TEST_F(DialogForm3Test, BackButtonAndCloseBoxBothShowTheSettingsAgain)
{
    openFromSettings().Command3->click();
    expectSettingsBackWithEdits(-1000);
    openFromSettings().close();
    expectSettingsBackWithEdits(-2000);
}

} // namespace
