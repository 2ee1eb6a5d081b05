// The orbit viewer's decisions, frame by frame, one group per row of its controls table.

#include "HeadlessEngine.h"
#include "sim/BodyRegistry.h"
#include "viewer/Controls.h"
#include "viewer/InputFrames.h"
#include "viewer/OrbitControls.h"

#include <vector>

namespace
{
constexpr float frame60 = 1.0f / 60.0f;

class OrbitControlsTest : public ::testing::Test
{
protected:
    OrbitControlsTest()
    {
        for (const char* section : {"A", "B", "C"})
            bodies.add(new Body(section, bodyDefinition("Sun", section)));
    }

    // Runs the frames and returns the body index of each jump made.
    std::vector<int> jumps(const std::vector<InputSnapshot>& frames)
    {
        std::vector<int> made;
        for (const InputSnapshot& input : frames)
        {
            const OrbitActions actions = controls.decide(input, bodies);
            if (actions.jumpTo >= 0)
                made.push_back(actions.jumpTo);
        }
        return made;
    }

    BodyRegistry bodies;
    OrbitControls controls{10.0f};
};

TEST_F(OrbitControlsTest, AHeldButtonJumpsOnceEveryActionDelay)
{
    // Half a second at 60 frames a second: at 0, at 0.217 and at 0.433 seconds.
    EXPECT_EQ((std::vector<int>{1, 2, 0}), jumps(std::vector<InputSnapshot>(30, frame(frame60, {}, leftButton))));
    // The right button goes back from the first body to the last.
    OrbitControls fresh{10.0f};
    controls = fresh;
    EXPECT_EQ((std::vector<int>{2}), jumps({frame(frame60, {}, rightButton)}));
    // Both buttons at once: the next body only.
    controls = fresh;
    EXPECT_EQ((std::vector<int>{1}), jumps({frame(frame60, {}, leftButton | rightButton)}));
}

TEST_F(OrbitControlsTest, GatedActionsFireOneAFrameInPriorityOrder)
{
    const InputSnapshot everything = frame(frame60, {OIS::KC_SYSRQ, OIS::KC_R, OIS::KC_F}, leftButton | rightButton);
    const OrbitActions first = controls.decide(everything, bodies);
    EXPECT_EQ(1, first.jumpTo);
    EXPECT_FALSE(first.screenshot || first.polygonModeChanged || first.statisticsChanged);

    // Each time the delay runs out, the next in line: previous body, screenshot, polygon mode, statistics.
    const InputSnapshot withoutLeft = frame(0.21f, {OIS::KC_SYSRQ, OIS::KC_R, OIS::KC_F}, rightButton);
    EXPECT_EQ(0, controls.decide(withoutLeft, bodies).jumpTo);
    EXPECT_TRUE(controls.decide(frame(0.21f, {OIS::KC_SYSRQ, OIS::KC_R, OIS::KC_F}), bodies).screenshot);
    const OrbitActions polygon = controls.decide(frame(0.21f, {OIS::KC_R, OIS::KC_F}), bodies);
    EXPECT_TRUE(polygon.polygonModeChanged);
    EXPECT_FALSE(polygon.statisticsChanged);
    EXPECT_TRUE(controls.decide(frame(0.21f, {OIS::KC_F}), bodies).statisticsChanged);
    EXPECT_FALSE(controls.statsShown);
}

TEST_F(OrbitControlsTest, TwoPressesWithinTheDelayGiveOneScreenshot)
{
    int shots = 0;
    for (const InputSnapshot& input : {frame(0.05f, {OIS::KC_SYSRQ}), frame(0.05f), frame(0.05f, {OIS::KC_SYSRQ}),
                                       frame(0.05f), frame(0.05f), frame(0.05f)})
        shots += controls.decide(input, bodies).screenshot;
    EXPECT_EQ(1, shots);
    EXPECT_TRUE(controls.decide(frame(0.05f, {OIS::KC_SYSRQ}), bodies).screenshot);
}

TEST_F(OrbitControlsTest, WithoutBodiesTheButtonsDoNothing)
{
    BodyRegistry none;
    const OrbitActions actions = controls.decide(frame(frame60, {OIS::KC_SYSRQ}, leftButton | rightButton), none);
    EXPECT_EQ(-1, actions.jumpTo);
    // The delay was not spent on a jump that did not happen.
    EXPECT_TRUE(actions.screenshot);
}

TEST_F(OrbitControlsTest, PolygonModeCyclesWireframePointsSolid)
{
    std::vector<int> modes;
    for (int press = 0; press < 4; ++press)
    {
        controls.decide(frame(0.25f, {OIS::KC_R}), bodies);
        modes.push_back(controls.renderModeIndex);
    }
    EXPECT_EQ((std::vector<int>{1, 2, 0, 1}), modes);
    EXPECT_EQ(Ogre::PM_WIREFRAME, polygonModeAt(1));
    EXPECT_EQ(Ogre::PM_POINTS, polygonModeAt(2));
    EXPECT_EQ(Ogre::PM_SOLID, polygonModeAt(0));
}

TEST_F(OrbitControlsTest, EscapeQuitsEvenDuringTheDelay)
{
    controls.decide(frame(frame60, {}, leftButton), bodies);
    ASSERT_GT(controls.actionCooldown, 0.0f);
    EXPECT_TRUE(controls.decide(frame(frame60, {OIS::KC_ESCAPE}, leftButton), bodies).quit);
}

TEST_F(OrbitControlsTest, MovementKeysFlyAtMoveSpeedWhateverTheFrameRate)
{
    const struct
    {
        std::initializer_list<OIS::KeyCode> keys;
        Ogre::Vector3 perSecond;
    } rows[] = {
        {{OIS::KC_W}, {0, 0, -10}},
        {{OIS::KC_UP, OIS::KC_W}, {0, 0, -10}},   // two keys of a row move once
        {{OIS::KC_S}, {0, 0, 10}},
        {{OIS::KC_DOWN}, {0, 0, 10}},
        {{OIS::KC_UP, OIS::KC_DOWN}, {0, 0, 0}},  // opposite rows cancel
        {{OIS::KC_A}, {-10, 0, 0}},
        {{OIS::KC_LEFT}, {-10, 0, 0}},
        {{OIS::KC_D}, {10, 0, 0}},
        {{OIS::KC_RIGHT}, {10, 0, 0}},
        {{OIS::KC_Q}, {0, 10, 0}},
        {{OIS::KC_PGUP}, {0, 10, 0}},
        {{OIS::KC_E}, {0, -10, 0}},
        {{OIS::KC_PGDOWN}, {0, -10, 0}},
        {{OIS::KC_W, OIS::KC_D, OIS::KC_Q}, {10, 10, -10}},
    };
    for (const auto& row : rows)
    {
        // One second, once at 60 and once at 7 frames a second.
        for (int frames : {60, 7})
        {
            SCOPED_TRACE(::testing::Message() << row.perSecond << " at " << frames << " frames");
            Ogre::Vector3 moved = Ogre::Vector3::ZERO;
            for (int n = 0; n < frames; ++n)
                moved += controls.decide(frame(1.0f / float(frames), row.keys), bodies).translation;
            EXPECT_TRUE(vectorsNear(row.perSecond, moved, 1e-3f));
        }
    }
}

TEST_F(OrbitControlsTest, MouseTurnsByCountsNotByTime)
{
    for (float dt : {frame60, 0.5f})
    {
        const OrbitActions actions = controls.decide(frame(dt, {}, 0, 100, -20), bodies);
        EXPECT_FLOAT_EQ(-13.0f, actions.yawDegrees);
        EXPECT_FLOAT_EQ(2.6f, actions.pitchDegrees);
    }
}

TEST(ControlsTableTest, EveryActionHasOneRowAndEveryInputOneAction)
{
    std::vector<int> rowsOf(int(Action::Count), 0);
    std::vector<std::pair<int, int>> inputs;
    for (const Control& control : orbitControls)
    {
        ++rowsOf[std::size_t(control.action)];
        for (const Input& in : control.inputs)
        {
            if (in.kind == Input::None)
                continue;
            const std::pair<int, int> input{in.kind, in.code};
            EXPECT_EQ(inputs.end(), std::find(inputs.begin(), inputs.end(), input)) << control.label;
            inputs.push_back(input);
        }
    }
    for (int action = 0; action < int(Action::Count); ++action)
        EXPECT_EQ(1, rowsOf[std::size_t(action)]) << "action " << action;
}
}
