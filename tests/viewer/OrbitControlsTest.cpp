// The orbit viewer's decisions, frame by frame, one group per row of its controls table.

#include "HeadlessEngine.h"
#include "sim/BodyRegistry.h"
#include "viewer/Controls.h"
#include "viewer/HelpOverlay.h"
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

TEST(ControlsTableTest, TheHelpListsEveryRowAndHowToLeaveTheGrab)
{
    const auto lines = helpLines();
    ASSERT_EQ(std::size(orbitControls) + 2, lines.size());
    for (size_t i = 0; i < std::size(orbitControls); ++i)
    {
        EXPECT_EQ(orbitControls[i].label, lines[i].first);
        EXPECT_EQ(orbitControls[i].description, lines[i].second);
    }
    EXPECT_EQ("Alt+Tab", lines[std::size(orbitControls)].first);
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

namespace
{
// A body list for the prompt: section names and Names that differ.
class PromptTest : public ::testing::Test
{
protected:
    PromptTest()
    {
        for (const auto& body : {std::make_pair("3.Earth", "Earth"), std::make_pair("4.Mars", "Mars"),
                                 std::make_pair("5.Jupiter.Iota", "Iota"), std::make_pair("5.Jupiter.Io", "Io"),
                                 std::make_pair("6.Mercury", "Mercury")})
            bodies.add(new Body(body.first, bodyDefinition("Sun", body.second)));
    }

    // Types the text, a character a frame, as the keyboard reports it.
    OrbitActions type(const std::string& text)
    {
        OrbitActions last;
        for (char c : text)
            last = controls.decide(tap(0.01f, OIS::KC_UNASSIGNED, static_cast<unsigned char>(c)), bodies);
        return last;
    }

    OrbitActions press(OIS::KeyCode key) { return controls.decide(tap(0.01f, key), bodies); }

    BodyRegistry bodies;
    OrbitControls controls{10.0f};
};

TEST_F(PromptTest, ReturnOpensItAndTheStatusLineShowsWhatIsTyped)
{
    EXPECT_EQ("Go to: _", press(OIS::KC_RETURN).status);
    EXPECT_EQ("Go to: ma_", type("ma").status);
    EXPECT_EQ("Go to: m_", press(OIS::KC_BACK).status);
    // Only what a one-word name may hold.
    EXPECT_EQ("Go to: m.-_9_", type("./-_ 9?").status);
    EXPECT_TRUE(controls.promptOpen);
}

TEST_F(PromptTest, TabCompletesToWhatAllMatchingNamesShare)
{
    press(OIS::KC_RETURN);
    type("m");
    // Mars, Mercury: nothing more in common.
    EXPECT_EQ("Go to: m_", press(OIS::KC_TAB).status);
    type("a");
    EXPECT_EQ("Go to: Mars_", press(OIS::KC_TAB).status);
    press(OIS::KC_BACK);
    press(OIS::KC_BACK);
    press(OIS::KC_BACK);
    press(OIS::KC_BACK);
    type("5");
    EXPECT_EQ("Go to: 5.Jupiter.Io_", press(OIS::KC_TAB).status);
}

TEST_F(PromptTest, ReturnGoesToTheExactNameBeforeAPrefix)
{
    const struct
    {
        const char* typed;
        int index;
    } rows[] = {{"io", 3}, {"IOT", 2}, {"3.earth", 0}, {"mer", 4}, {"m", 1}, {"5.jupiter.io", 3}};
    for (const auto& row : rows)
    {
        SCOPED_TRACE(row.typed);
        press(OIS::KC_RETURN);
        type(row.typed);
        const OrbitActions actions = press(OIS::KC_RETURN);
        EXPECT_EQ(row.index, actions.jumpTo);
        EXPECT_FALSE(controls.promptOpen);
        // The next click goes on from there.
        EXPECT_EQ(row.index, controls.focusIndex);
        EXPECT_EQ((row.index + 1) % 5, controls.decide(frame(0.3f, {}, leftButton), bodies).jumpTo);
    }
}

TEST_F(PromptTest, AnUnknownNameIsSaidAndGoesNowhere)
{
    press(OIS::KC_RETURN);
    type("pluto");
    const OrbitActions actions = press(OIS::KC_NUMPADENTER);
    EXPECT_EQ(-1, actions.jumpTo);
    EXPECT_EQ("No body named 'pluto'", actions.status);
    EXPECT_FALSE(controls.hasFocus);
}

TEST_F(PromptTest, WhileOpenNoOtherKeyActsAndEscapeOnlyClosesIt)
{
    press(OIS::KC_RETURN);
    // Keys that would fly, show the overlay, pause or quit only type or do nothing.
    InputSnapshot typing = frame(0.3f, {OIS::KC_W, OIS::KC_F});
    typing.addPress(KeyPress{OIS::KC_W, 'w', false});
    typing.addPress(KeyPress{OIS::KC_SPACE, ' ', false});
    const OrbitActions typed = controls.decide(typing, bodies);
    EXPECT_TRUE(vectorsNear(Ogre::Vector3::ZERO, typed.translation));
    EXPECT_FALSE(typed.statisticsChanged);
    EXPECT_FALSE(controls.paused);
    EXPECT_EQ("Go to: w_", typed.status);

    InputSnapshot escape = frame(0.01f, {OIS::KC_ESCAPE});
    escape.addPress(KeyPress{OIS::KC_ESCAPE, 27, false});
    const OrbitActions closed = controls.decide(escape, bodies);
    EXPECT_FALSE(closed.quit);
    EXPECT_FALSE(controls.promptOpen);
    EXPECT_EQ("", closed.status);
    // Still held in the next frames: still no quit; pressed again: quit.
    EXPECT_FALSE(controls.decide(frame(0.01f, {OIS::KC_ESCAPE}), bodies).quit);
    controls.decide(frame(0.01f), bodies);
    EXPECT_TRUE(controls.decide(frame(0.01f, {OIS::KC_ESCAPE}), bodies).quit);
}

TEST_F(OrbitControlsTest, TimeRateDoublesAndHalvesWithinItsLimits)
{
    std::vector<std::string> seen;
    auto press = [&](OIS::KeyCode key) {
        const OrbitActions actions = controls.decide(tap(0.25f, key), bodies);
        seen.push_back(actions.status);
        return actions;
    };
    press(OIS::KC_RBRACKET);
    press(OIS::KC_RBRACKET);
    press(OIS::KC_RBRACKET);
    EXPECT_EQ(8.0, controls.timeRate());
    EXPECT_EQ("Time \xC3\x97" "8", seen.back());
    for (int n = 0; n < 10; ++n)
        press(OIS::KC_RBRACKET);
    EXPECT_EQ(1024.0, controls.timeRate());
    for (int n = 0; n < 20; ++n)
        press(OIS::KC_LBRACKET);
    EXPECT_EQ(1.0 / 64, controls.timeRate());
    EXPECT_EQ("Time \xC3\x97" "1/64", seen.back());
    press(OIS::KC_J);
    press(OIS::KC_RBRACKET);
    press(OIS::KC_RBRACKET);
    press(OIS::KC_RBRACKET);
    press(OIS::KC_RBRACKET);
    EXPECT_EQ("Time \xC3\x97-1/4", seen.back());
    EXPECT_EQ(-0.25, controls.timeRate());
    press(OIS::KC_SPACE);
    EXPECT_EQ("Paused", seen.back());
    EXPECT_TRUE(controls.paused);
    EXPECT_EQ("Time \xC3\x97" "1 (paused)", press(OIS::KC_BACK).status);
    EXPECT_EQ(1.0, controls.timeRate());
    EXPECT_EQ("Time \xC3\x97" "1", press(OIS::KC_SPACE).status);
}

TEST_F(OrbitControlsTest, KeysFireOncePerPressOnePressEveryDelay)
{
    // Held for a second: one doubling, not one a frame.
    for (int n = 0; n < 60; ++n)
        controls.decide(frame(frame60, {OIS::KC_RBRACKET}), bodies);
    EXPECT_EQ(2.0, controls.timeRate());
    // Three quick presses within a frame: all three count, one every 0.2 s.
    InputSnapshot burst = frame(frame60);
    for (int n = 0; n < 3; ++n)
        burst.addPress(KeyPress{OIS::KC_RBRACKET, ']', false});
    controls.decide(burst, bodies);
    EXPECT_EQ(4.0, controls.timeRate());
    controls.decide(frame(0.1f), bodies);
    EXPECT_EQ(4.0, controls.timeRate());
    controls.decide(frame(0.15f), bodies);
    controls.decide(frame(0.25f), bodies);
    EXPECT_EQ(16.0, controls.timeRate());
    // The keyboard's auto-repeat while the key is held is not a press.
    InputSnapshot held = frame(0.25f, {OIS::KC_RBRACKET});
    held.addPress(KeyPress{OIS::KC_RBRACKET, ']', false});
    controls.decide(held, bodies);
    InputSnapshot repeat = frame(0.25f, {OIS::KC_RBRACKET});
    repeat.addPress(KeyPress{OIS::KC_RBRACKET, ']', true});
    controls.decide(repeat, bodies);
    EXPECT_EQ(32.0, controls.timeRate());
}

TEST_F(OrbitControlsTest, FollowNeedsABodyJumpedTo)
{
    EXPECT_EQ("Jump to a body first, then L follows it", controls.decide(tap(0.25f, OIS::KC_L), bodies).status);
    EXPECT_FALSE(controls.following);
    controls.decide(frame(0.25f, {}, leftButton), bodies);
    const OrbitActions on = controls.decide(tap(0.25f, OIS::KC_L), bodies);
    EXPECT_TRUE(on.followChanged);
    EXPECT_EQ("Following B", on.status);
    EXPECT_EQ("Stopped following B", controls.decide(tap(0.25f, OIS::KC_L), bodies).status);
}
}
