// The base listener's own controls, frame by frame, one group per row of its table.

#include "HeadlessEngine.h"
#include "viewer/BaseControls.h"
#include "viewer/InputFrames.h"

#include <vector>

namespace
{
class BaseControlsTest : public ::testing::Test
{
protected:
    void SetUp() override { showCameraPose = false; }
    void TearDown() override { showCameraPose = false; }

    // One immediate frame of keys, as the listener runs it.
    BaseKeyActions keys(const InputSnapshot& input)
    {
        beginBaseFrame(state, input.dt);
        return decideBaseKeys(state, input);
    }

    BaseControlState state;
};

TEST_F(BaseControlsTest, StepsFollowTheFrameTime)
{
    // With no time at all, one unit and a tenth of a degree.
    const BaseKeyActions still = keys(frame(0.0f, {OIS::KC_W, OIS::KC_LEFT}));
    EXPECT_TRUE(vectorsNear(Ogre::Vector3(0, 0, -1), state.translation));
    EXPECT_FLOAT_EQ(0.1f, still.turnDegrees);
    const BaseKeyActions moving = keys(frame(0.02f, {OIS::KC_W, OIS::KC_LEFT}));
    EXPECT_TRUE(vectorsNear(Ogre::Vector3(0, 0, -2), state.translation));
    EXPECT_FLOAT_EQ(0.72f, moving.turnDegrees);
}

TEST_F(BaseControlsTest, LaterRowsWinOnTheirAxis)
{
    const struct
    {
        std::initializer_list<OIS::KeyCode> keys;
        Ogre::Vector3 translation;
        float turn;
    } rows[] = {
        {{OIS::KC_A}, {-1, 0, 0}, 0},
        {{OIS::KC_A, OIS::KC_D}, {1, 0, 0}, 0},
        {{OIS::KC_UP}, {0, 0, -1}, 0},
        {{OIS::KC_W, OIS::KC_S}, {0, 0, 1}, 0},
        {{OIS::KC_PGUP, OIS::KC_PGDOWN}, {0, -1, 0}, 0},
        {{OIS::KC_RIGHT}, {0, 0, 0}, -0.1f},
        {{OIS::KC_LEFT, OIS::KC_RIGHT}, {0, 0, 0}, 0},
    };
    for (const auto& row : rows)
    {
        SCOPED_TRACE(::testing::Message() << row.translation << " " << row.turn);
        const BaseKeyActions actions = keys(frame(0.0f, row.keys));
        EXPECT_TRUE(vectorsNear(row.translation, state.translation));
        EXPECT_FLOAT_EQ(row.turn, actions.turnDegrees);
    }
}

TEST_F(BaseControlsTest, EscapeOrQQuitsAfterTheTurnOfTheFrame)
{
    const BaseKeyActions escape = keys(frame(0.1f, {OIS::KC_ESCAPE, OIS::KC_LEFT, OIS::KC_F}));
    EXPECT_TRUE(escape.quit);
    EXPECT_FLOAT_EQ(3.6f, escape.turnDegrees);
    EXPECT_FALSE(escape.statisticsChanged);
    EXPECT_TRUE(keys(frame(0.1f, {OIS::KC_Q})).quit);
}

TEST_F(BaseControlsTest, TogglesWaitTheirOwnDelays)
{
    // F held with frames of 1/8 s: on the first frame, then once a second,
    // as soon as the delay has run out to zero.
    std::vector<int> statisticsFrames;
    for (int n = 0; n < 20; ++n)
        if (keys(frame(0.125f, {OIS::KC_F})).statisticsChanged)
            statisticsFrames.push_back(n);
    EXPECT_EQ((std::vector<int>{0, 8, 16}), statisticsFrames);

    // Print and R wait half a second.
    BaseControlState fresh;
    state = fresh;
    std::vector<int> shots;
    for (int n = 0; n < 10; ++n)
        if (keys(frame(0.125f, {OIS::KC_SYSRQ})).screenshot)
            shots.push_back(n);
    EXPECT_EQ((std::vector<int>{0, 4, 8}), shots);
}

TEST_F(BaseControlsTest, OneToggleAFrameInTheOrderFTPrintRP)
{
    const BaseKeyActions first = keys(frame(0.1f, {OIS::KC_F, OIS::KC_T, OIS::KC_SYSRQ, OIS::KC_R, OIS::KC_P}));
    EXPECT_TRUE(first.statisticsChanged);
    EXPECT_FALSE(first.filteringChanged || first.screenshot || first.polygonModeChanged || first.poseShownChanged);
    EXPECT_FALSE(state.statisticsVisible);
    EXPECT_TRUE(keys(frame(1.1f, {OIS::KC_T, OIS::KC_SYSRQ})).filteringChanged);
    EXPECT_TRUE(keys(frame(1.1f, {OIS::KC_SYSRQ, OIS::KC_R})).screenshot);
    EXPECT_TRUE(keys(frame(0.6f, {OIS::KC_R, OIS::KC_P})).polygonModeChanged);
    EXPECT_EQ(1, state.polygonModeIndex);
    EXPECT_TRUE(keys(frame(0.6f, {OIS::KC_P})).poseShownChanged);
    EXPECT_TRUE(showCameraPose);
}

TEST_F(BaseControlsTest, TextureFilteringCycles)
{
    const struct
    {
        Ogre::TextureFilterOptions mode;
        unsigned int anisotropy;
    } cycle[] = {{Ogre::TFO_TRILINEAR, 1}, {Ogre::TFO_ANISOTROPIC, 8}, {Ogre::TFO_BILINEAR, 1}};
    for (const auto& step : cycle)
    {
        ASSERT_TRUE(keys(frame(1.1f, {OIS::KC_T})).filteringChanged);
        EXPECT_EQ(step.mode, state.filterMode);
        EXPECT_EQ(step.anisotropy, state.anisotropy);
    }
}

TEST_F(BaseControlsTest, CameraReadOutIsOneSwitchForTheProcess)
{
    keys(frame(0.6f, {OIS::KC_P}));
    EXPECT_TRUE(showCameraPose);
    // Another listener's state sees the same switch and turns it off.
    BaseControlState other;
    beginBaseFrame(other, 0.6f);
    EXPECT_TRUE(decideBaseKeys(other, frame(0.6f, {OIS::KC_P})).poseShownChanged);
    EXPECT_FALSE(showCameraPose);
}

TEST_F(BaseControlsTest, MouseLooksOrPansWithTheRightButton)
{
    beginBaseFrame(state, 0.5f);
    decideBaseMouse(state, frame(0.5f, {}, 0, 100, -10));
    EXPECT_FLOAT_EQ(-13.0f, Ogre::Degree(state.mouseYaw).valueDegrees());
    EXPECT_FLOAT_EQ(1.3f, Ogre::Degree(state.mousePitch).valueDegrees());
    EXPECT_TRUE(vectorsNear(Ogre::Vector3::ZERO, state.translation));

    beginBaseFrame(state, 0.5f);
    keys(frame(0.5f, {OIS::KC_D}));
    decideBaseMouse(state, frame(0.5f, {}, rightButton, 100, -10));
    EXPECT_FLOAT_EQ(0.0f, state.mouseYaw.valueRadians());
    // Panning adds to what the keys set.
    EXPECT_TRUE(vectorsNear(Ogre::Vector3(50 + 13, 1.3f, 0), state.translation));
}
}
