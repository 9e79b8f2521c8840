#include "panel/Form1.h"
#include "panel/PictureButton.h"
#include "panel/StatusDisplay.h"
#include "support/AppFixture.h"

#include <QFontMetrics>
#include <QLabel>

namespace {

using PanelLookTest = AppFixture;

// The black read-out field of the skin, in pixels.
const QRect ReadoutField(QPoint(7, 20), QPoint(260, 72));

TEST_F(PanelLookTest, BorderlessSkinOnBlueWithTheProgramIcon)
{
    Form1& p = panel();
    EXPECT_TRUE(p.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(p.palette().color(QPalette::Window), QColor(0, 0, 255));
    EXPECT_TRUE(p.autoFillBackground());
    EXPECT_EQ(p.size(), QSize(487, 238));
    const QList<QSize> sizes = p.windowIcon().availableSizes();
    for (QSize s : {QSize(32, 32), QSize(64, 64), QSize(128, 128)})
        EXPECT_TRUE(sizes.contains(s)) << s.width();

    // The skin is drawn unscaled from the corner; below it the window's own blue shows.
    p.resize(p.width(), 108);
    const QImage drawn = p.grab().toImage();
    const QImage skin(QStringLiteral(":/panel_skin.png"));
    ASSERT_EQ(skin.size(), QSize(488, 106));
    EXPECT_EQ(drawn.pixelColor(5, 5), skin.pixelColor(5, 5));
    EXPECT_EQ(drawn.pixelColor(486, 105), skin.pixelColor(486, 105));
    EXPECT_EQ(drawn.pixelColor(300, 107), QColor(0, 0, 255));
}

TEST_F(PanelLookTest, ButtonsAreTheirIconSizeAndTheBookmarkOvalIsStretched)
{
    Form1& p = panel();
    for (PictureButton* b : {p.Image1, p.Image2, p.Image3, p.Image4, p.Image5, p.Image6, p.Image7, p.Image11,
                             p.Image12, p.Image13, p.Image14, p.Image22}) {
        EXPECT_EQ(b->size(), QSize(32, 32)) << b->objectName().toStdString();
        EXPECT_FALSE(b->hasScaledContents());
    }
    EXPECT_EQ(p.Image23->geometry(), QRect(48, 72, 33, 30));
    EXPECT_TRUE(p.Image23->hasScaledContents());
    EXPECT_EQ(p.Image12->geometry().topLeft(), QPoint(376, 60));
}

TEST_F(PanelLookTest, ReadoutLinesAreSmallGreenTextThatFitsTheField)
{
    Form1& p = panel();
    ResetStatus();
    p.Label2->setText(QStringLiteral("*5"));
    for (QLabel* l : {p.Label1, p.Label2, p.Label3, p.Label4, p.Label5, p.Label6, p.Label7}) {
        const std::string name = l->objectName().toStdString();
        EXPECT_EQ(l->font().family(), QStringLiteral("ＭＳ Ｐゴシック")) << name;
        EXPECT_DOUBLE_EQ(l->font().pointSizeF(), 8.25) << name;
        EXPECT_EQ(l->font().weight(), QFont::Normal) << name;
        EXPECT_EQ(l->palette().color(QPalette::WindowText), QColor(0, 255, 0)) << name;
        EXPECT_FALSE(l->autoFillBackground()) << name;
        EXPECT_EQ(l->frameShape(), QFrame::NoFrame) << name;
        EXPECT_TRUE(ReadoutField.contains(l->geometry())) << name;
        // The whole line is visible: no clipping at the bottom or the right.
        const QFontMetrics metrics(l->font());
        EXPECT_GE(l->height(), metrics.height()) << name;
        EXPECT_LE(metrics.horizontalAdvance(l->text()), l->width()) << name;
    }
    // Idle texts are the longest ones; the live ones, like "Pause", must fit as well.
    p.Label1->setText(QStringLiteral("Pause"));
    EXPECT_LE(QFontMetrics(p.Label1->font()).horizontalAdvance(p.Label1->text()), p.Label1->width());
    // Lines of one row sit side by side, rows one under the other.
    EXPECT_LE(p.Label1->geometry().bottom(), p.Label4->geometry().top());
    EXPECT_LE(p.Label4->geometry().bottom(), p.Label7->geometry().top());
}

} // namespace
