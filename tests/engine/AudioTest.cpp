// Volume, mute and balance, measured in what reaches the audio output.
#include "EngineFixture.h"

namespace {

// The disc's tone: a sine at half of full scale on both channels.
constexpr double kToneLevel = 0.5 / 1.4142;

}  // namespace

class AudioTest : public EngineTest {
protected:
    // The level over half a second, once what was already on its way has passed.
    void measure(double* left, double* right)
    {
        runFor(300);
        tap.reset();
        runFor(500);
        *left = tap.left();
        *right = tap.right();
    }
};

TEST_F(AudioTest, VolumeMuteAndBalanceChangeTheOutputLevel)
{
    playToRootMenu();
    playTitle(1);
    double left = 0, right = 0;
    measure(&left, &right);
    EXPECT_NEAR(left, kToneLevel, kToneLevel * 0.15);
    EXPECT_NEAR(right, kToneLevel, kToneLevel * 0.15);

    // The gain is the cube of the bar's position: the default -5000, the middle of the bar, is
    // an eighth of the amplitude (-18 dB, about half as loud), -2000 half of it.
    ASSERT_TRUE(engine->EngineVolume(-5000));
    measure(&left, &right);
    EXPECT_NEAR(left, kToneLevel / 8, kToneLevel / 8 * 0.2);
    ASSERT_TRUE(engine->EngineVolume(-2000));
    measure(&left, &right);
    EXPECT_NEAR(left, kToneLevel * 0.512, kToneLevel * 0.512 * 0.15);
    ASSERT_TRUE(engine->EngineVolume(-10000));
    measure(&left, &right);
    EXPECT_LT(left, 1e-4);
    ASSERT_TRUE(engine->EngineVolume(0));

    ASSERT_TRUE(engine->EngineMute(true));
    measure(&left, &right);
    EXPECT_LT(left, 1e-4);
    EXPECT_LT(right, 1e-4);
    EXPECT_EQ(engine->EngineMute(), true);
    ASSERT_TRUE(engine->EngineMute(false));

    ASSERT_TRUE(engine->EngineBalance(-10000));
    measure(&left, &right);
    EXPECT_NEAR(left, kToneLevel, kToneLevel * 0.15);
    EXPECT_LT(right, 1e-3);
    ASSERT_TRUE(engine->EngineBalance(10000));
    measure(&left, &right);
    EXPECT_LT(left, 1e-3);
    EXPECT_NEAR(right, kToneLevel, kToneLevel * 0.15);
    ASSERT_TRUE(engine->EngineBalance(5000));
    measure(&left, &right);
    EXPECT_NEAR(left, kToneLevel / 2, kToneLevel * 0.1);
    EXPECT_NEAR(right, kToneLevel, kToneLevel * 0.15);
}

TEST_F(AudioTest, SettingsGivenBeforePlayTakeEffectWhenItStarts)
{
    ASSERT_TRUE(engine->EngineVolume(-5000));
    ASSERT_TRUE(engine->EngineBalance(-10000));
    playToRootMenu();
    playTitle(1);
    double left = 0, right = 0;
    measure(&left, &right);
    EXPECT_NEAR(left, kToneLevel / 8, kToneLevel / 8 * 0.2);
    EXPECT_LT(right, 1e-3);
}

TEST_F(AudioTest, ValuesOutsideTheScalesFailAndChangeNothing)
{
    playToRootMenu();
    playTitle(1);
    EXPECT_FALSE(engine->EngineVolume(1));
    EXPECT_FALSE(engine->EngineVolume(-10001));
    EXPECT_FALSE(engine->EngineBalance(10001));
    double left = 0, right = 0;
    measure(&left, &right);
    EXPECT_NEAR(left, kToneLevel, kToneLevel * 0.15);
    EXPECT_NEAR(right, kToneLevel, kToneLevel * 0.15);
}
