#include "core/AppObjects.h"
#include "screen/Scr.h"
#include "screen/VideoWidget.h"
#include "support/AppFixture.h"
#include "support/MouseEvents.h"
#include "support/PointerRecordingEngine.h"

namespace {

TEST(ScreenVideoAreaGeometry, PictureIsFittedCentredWithBarsOnTheSpareSides)
{
    // PAL 4:3 in the normal video area: bars left and right.
    EXPECT_EQ(VideoWidget::pictureRect({768, 576}, {757, 481}), QRect(58, 0, 641, 481));
    // 16:9 in the same area: bars above and below.
    EXPECT_EQ(VideoWidget::pictureRect({1024, 576}, {757, 481}), QRect(0, 28, 757, 425));
    EXPECT_TRUE(VideoWidget::pictureRect({}, {757, 481}).isEmpty());
}

TEST(ScreenVideoAreaGeometry, PointsMapToThePicturesOwnPixelsAndBarsToNothing)
{
    const QSize frame(768, 576);
    const QSize area(757, 481);
    auto centre = VideoWidget::toFrame({58 + 641 / 2.0, 481 / 2.0}, frame, area);
    ASSERT_TRUE(centre);
    EXPECT_NEAR(centre->x(), 384, 0.01);
    EXPECT_NEAR(centre->y(), 288, 0.01);
    auto corner = VideoWidget::toFrame({58, 0}, frame, area);
    ASSERT_TRUE(corner);
    EXPECT_NEAR(corner->x(), 0, 0.01);
    EXPECT_NEAR(corner->y(), 0, 0.01);
    EXPECT_FALSE(VideoWidget::toFrame({20, 240}, frame, area));  // left bar
    EXPECT_FALSE(VideoWidget::toFrame({740, 240}, frame, area)); // right bar
    EXPECT_FALSE(VideoWidget::toFrame({300, 240}, QSize(), area));
}

class ScreenVideoAreaTest : public AppFixture {
protected:
    void SetUp() override
    {
        AppFixture::SetUp();
        installEngine(&recorder);
        screen().DVD->setGeometry(4, 24, 757, 481);
    }
    PointerRecordingEngine recorder;
};

TEST_F(ScreenVideoAreaTest, PointerOnThePictureGoesToTheEngineInFramePixels)
{
    screen().DVD->presentFrame(QImage(768, 576, QImage::Format_RGB32));
    sendMove(screen().DVD, QPoint(58 + 320, 240));
    ASSERT_EQ(recorder.moves.size(), 1u);
    EXPECT_NEAR(recorder.moves[0].x(), 320 * 768.0 / 641, 0.01);
    EXPECT_NEAR(recorder.moves[0].y(), 240 * 576.0 / 481, 0.01);

    sendClick(screen().DVD, QPoint(58, 0));
    ASSERT_EQ(recorder.clicks.size(), 1u);
    EXPECT_NEAR(recorder.clicks[0].x(), 0, 0.01);
    EXPECT_NEAR(recorder.clicks[0].y(), 0, 0.01);
}

TEST_F(ScreenVideoAreaTest, BarsRightClicksAndStoppedPicturesSendNothing)
{
    screen().DVD->presentFrame(QImage(768, 576, QImage::Format_RGB32));
    sendMove(screen().DVD, QPoint(10, 240));
    sendClick(screen().DVD, QPoint(10, 240));
    sendClick(screen().DVD, QPoint(378, 240), Qt::RightButton);
    screen().DVD->presentFrame(QImage());
    sendMove(screen().DVD, QPoint(378, 240));
    sendClick(screen().DVD, QPoint(378, 240));
    EXPECT_TRUE(recorder.moves.empty());
    EXPECT_TRUE(recorder.clicks.empty());
}

} // namespace
