// The viewer's decisions, frame by frame, and the status line's text.

#include "sim/BodyRegistry.h"
#include "viewer/BaseControls.h"
#include "viewer/Controls.h"
#include "viewer/InputFrames.h"
#include "viewer/OrbitControls.h"
#include "viewer/StatusText.h"

#include <cstring>
#include <vector>

namespace
{
constexpr float frame60 = 1.0f / 60.0f;

class OrbitControlsTest : public ::testing::Test
{
protected:
    OrbitControlsTest()
    {
        // Each named as its section's last part.
        for (const char* section : {"3.Earth", "4.Mars", "5.Jupiter.Iota", "5.Jupiter.Io", "6.Mercury", "7.\xC3\x84rde"})
            bodies.add(new Body(section, bodyDefinition("Sun", std::strrchr(section, '.') + 1)));
    }

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
    OrbitActions type(const std::string& text)
    {
        OrbitActions last;
        for (const InputSnapshot& input : typing(text))
            last = controls.decide(input, bodies);
        return last;
    }
    OrbitActions press(OIS::KeyCode key, float dt = 0.01f) { return controls.decide(tap(dt, key), bodies); }

    BodyRegistry bodies;
    OrbitControls controls{10.0f};
};

TEST_F(OrbitControlsTest, FlightGoesByTimeCountsAndPlaceAndGatedActionsFireOnceEveryDelayInPriorityOrder)
{
    const struct { std::initializer_list<OIS::KeyCode> keys; Ogre::Vector3 perSecond; } rows[] = {
        {{OIS::KC_W}, {0, 0, -10}},     {{OIS::KC_UP, OIS::KC_W}, {0, 0, -10}},   // two keys of a row move once
        {{OIS::KC_S}, {0, 0, 10}},      {{OIS::KC_UP, OIS::KC_DOWN}, {0, 0, 0}},  // opposite rows cancel
        {{OIS::KC_A}, {-10, 0, 0}},     {{OIS::KC_RIGHT}, {10, 0, 0}},
        {{OIS::KC_PGUP}, {0, 10, 0}},   {{OIS::KC_E}, {0, -10, 0}},
        {{OIS::KC_W, OIS::KC_D, OIS::KC_Q}, {10, 10, -10}}};
    for (const auto& row : rows)
        for (int frames : {60, 7})
        {
            Ogre::Vector3 moved = Ogre::Vector3::ZERO;
            for (int n = 0; n < frames; ++n)
                moved += controls.decide(frame(1.0f / float(frames), row.keys), bodies).translation;
            EXPECT_TRUE(vectorsNear(row.perSecond, moved, 1e-3f)) << row.perSecond << " at " << frames;
        }
    for (float dt : {frame60, 0.5f})
    {
        const OrbitActions actions = controls.decide(frame(dt, {}, 0, 100, -20), bodies);
        EXPECT_FLOAT_EQ(-13.0f, actions.yawDegrees);
        EXPECT_FLOAT_EQ(2.6f, actions.pitchDegrees);
    }

    // What each layout prints in the US places of W S A D Q E.
    using K = OIS::KeyCode;
    const std::array<K, 6> us{OIS::KC_W, OIS::KC_S, OIS::KC_A, OIS::KC_D, OIS::KC_Q, OIS::KC_E};
    const std::array<K, 6> azerty{OIS::KC_Z, OIS::KC_S, OIS::KC_Q, OIS::KC_D, OIS::KC_A, OIS::KC_E};
    const std::array<K, 6> dvorak{OIS::KC_COMMA, OIS::KC_O, OIS::KC_A, OIS::KC_E, OIS::KC_APOSTROPHE, OIS::KC_PERIOD};
    // place: held, or -1; keys: as the layout prints them, pressed and held; flown: in a second.
    const struct { const char* name; std::array<K, 6> labels; int place; std::vector<K> keys; Ogre::Vector3 flown;
                   bool orbitLines; } placeRows[] = {
        {"UsW", us, 0, {OIS::KC_W}, {0, 0, -10}, false},
        {"UsShiftStillFlies", us, 0, {OIS::KC_W, OIS::KC_LSHIFT}, {0, 0, -10}, false},
        {"AzertyZInTheWPlace", azerty, 0, {OIS::KC_Z}, {0, 0, -10}, false},
        {"AzertyWElsewhereDoesNotFly", azerty, -1, {OIS::KC_W}, {0, 0, 0}, false},
        {"AzertyAInTheQPlaceFliesUp", azerty, 4, {OIS::KC_A}, {0, 10, 0}, false},
        {"DvorakOInTheSPlaceFlies", dvorak, 1, {OIS::KC_O}, {0, 0, 10}, false},
        {"DvorakShiftOGivesOrbitLines", dvorak, 1, {OIS::KC_O, OIS::KC_RSHIFT}, {0, 0, 0}, true},
        {"DvorakOElsewhereOnAnotherLayout", us, -1, {OIS::KC_O}, {0, 0, 0}, true}};
    for (const auto& row : placeRows)
    {
        OrbitControls fresh(10.0f);
        InputSnapshot input = frame(0.5f);
        input.placesKnown = true;
        input.placeLabels = row.labels;
        if (row.place >= 0)
            input.placesDown.set(std::size_t(row.place));
        for (K key : row.keys)
        {
            input.keysDown.set(key);
            input.addPress(KeyPress{key, 0, false});
        }
        Ogre::Vector3 flown = fresh.decide(input, bodies).translation;
        input.pressCount = 0;   // held on for the next half second
        flown += fresh.decide(input, bodies).translation;
        EXPECT_TRUE(vectorsNear(row.flown, flown, 1e-3f)) << row.name;
        EXPECT_EQ(row.orbitLines, fresh.orbitLinesShown()) << row.name;
    }
    // At the prompt every key types its letter: "o" on Dvorak's S place too.
    controls.decide(tap(0.3f, OIS::KC_RETURN), bodies);
    InputSnapshot typed = tap(0.01f, OIS::KC_O, 'o');
    typed.placesKnown = true;
    typed.placeLabels = dvorak;
    typed.placesDown.set(1);
    EXPECT_EQ("Go to: o_", controls.decide(typed, bodies).status);

    // Gated actions fire once every delay, in priority order. A held button,
    // half a second at 60 frames a second: at 0, 0.217 and 0.433 seconds.
    const OrbitControls fresh{10.0f};
    controls = fresh;
    EXPECT_EQ((std::vector<int>{1, 2, 3}), jumps(std::vector<InputSnapshot>(30, frame(frame60, {}, leftButton))));
    controls = fresh;
    EXPECT_EQ((std::vector<int>{5}), jumps({frame(frame60, {}, rightButton)}));   // back from the first to the last

    // Everything at once: next body, previous body, screenshot, polygon mode, statistics, one per delay.
    controls = fresh;
    const std::initializer_list<OIS::KeyCode> keys{OIS::KC_SYSRQ, OIS::KC_R, OIS::KC_F};
    const OrbitActions first = controls.decide(frame(frame60, keys, leftButton | rightButton), bodies);
    EXPECT_EQ(1, first.jumpTo);
    EXPECT_FALSE(first.screenshot || first.polygonModeChanged || first.statisticsChanged);
    EXPECT_EQ(0, controls.decide(frame(0.21f, keys, rightButton), bodies).jumpTo);
    EXPECT_TRUE(controls.decide(frame(0.21f, keys), bodies).screenshot);
    const OrbitActions polygon = controls.decide(frame(0.21f, {OIS::KC_R, OIS::KC_F}), bodies);
    EXPECT_TRUE(polygon.polygonModeChanged && !polygon.statisticsChanged && !polygon.screenshot);
    EXPECT_TRUE(controls.decide(frame(0.21f, {OIS::KC_F}), bodies).statisticsChanged);
    EXPECT_FALSE(controls.statisticsShown());
    EXPECT_EQ(1, controls.renderModeIndex());

    // Two screenshot presses within the delay: one picture. Escape quits during it.
    controls = fresh;
    int shots = 0;
    for (const InputSnapshot& input : {frame(0.05f, {OIS::KC_SYSRQ}), frame(0.05f), frame(0.05f, {OIS::KC_SYSRQ}),
                                       frame(0.05f), frame(0.05f), frame(0.05f)})
        shots += controls.decide(input, bodies).screenshot;
    EXPECT_EQ(1, shots);
    EXPECT_TRUE(controls.decide(frame(0.05f, {OIS::KC_SYSRQ}), bodies).screenshot);
    EXPECT_TRUE(controls.decide(frame(frame60, {OIS::KC_ESCAPE}, leftButton), bodies).quit);

    // Without bodies the buttons do nothing, and spend no delay.
    controls = fresh;
    const OrbitActions none = controls.decide(frame(frame60, {OIS::KC_SYSRQ}, leftButton), BodyRegistry());
    EXPECT_EQ(-1, none.jumpTo);
    EXPECT_TRUE(none.screenshot);
}

TEST_F(OrbitControlsTest, TimeKeysFireOncePerPressWithinTheRatesLimitsAndZoomNarrowsTheFieldAndTheLook)
{
    std::vector<std::string> said;
    auto tapAndNote = [&](OIS::KeyCode key) { said.push_back(press(key, 0.25f).status); };
    // Held for a second: one doubling, not one a frame.
    for (int n = 0; n < 60; ++n)
        controls.decide(frame(frame60, {OIS::KC_RBRACKET}), bodies);
    EXPECT_EQ(2.0, controls.timeRate());
    // Three quick presses within a frame: all three count, one every delay.
    InputSnapshot burst = frame(frame60);
    for (int n = 0; n < 3; ++n)
        burst.addPress(KeyPress{OIS::KC_RBRACKET, ']', false});
    controls.decide(burst, bodies);
    controls.decide(frame(0.1f), bodies);
    EXPECT_EQ(4.0, controls.timeRate());
    controls.decide(frame(0.15f), bodies);
    controls.decide(frame(0.25f), bodies);
    EXPECT_EQ(16.0, controls.timeRate());
    for (int n = 0; n < 10; ++n)
        tapAndNote(OIS::KC_RBRACKET);
    EXPECT_EQ(1024.0, controls.timeRate());
    for (int n = 0; n < 20; ++n)
        tapAndNote(OIS::KC_LBRACKET);
    EXPECT_EQ(1.0 / 64, controls.timeRate());
    EXPECT_EQ("Time \xC3\x97" "1/64", said.back());
    tapAndNote(OIS::KC_J);
    for (int n = 0; n < 4; ++n)
        tapAndNote(OIS::KC_RBRACKET);
    EXPECT_EQ("Time \xC3\x97-1/4", said.back());
    tapAndNote(OIS::KC_SPACE);
    EXPECT_EQ("Paused", said.back());
    EXPECT_EQ("Time \xC3\x97" "1 (paused)", press(OIS::KC_BACK, 0.25f).status);
    EXPECT_EQ("Time \xC3\x97" "1", press(OIS::KC_SPACE, 0.25f).status);
    EXPECT_FALSE(controls.paused());

    // Zoom narrows and widens the field by every press and notch, and looking slows with it.
    const OrbitActions actions = press(OIS::KC_COMMA);
    EXPECT_TRUE(actions.fieldOfViewChanged);
    EXPECT_DOUBLE_EQ(45.0 / 1.25, controls.fieldOfView());
    EXPECT_EQ("Field of view 36\xC2\xB0", actions.status);
    // Three notches of the wheel towards the person in one frame, at once: not one a delay.
    InputSnapshot notches = frame(frame60);
    notches.wheel = -3;
    controls.decide(notches, bodies);
    EXPECT_NEAR(36.0 * 1.953125, controls.fieldOfView(), 1e-9);
    for (int n = 0; n < 30; ++n)
        press(OIS::KC_PERIOD);
    EXPECT_EQ(120.0, controls.fieldOfView());
    notches.wheel = 40;
    EXPECT_EQ("Field of view 1.0\xC2\xB0", controls.decide(notches, bodies).status);
    EXPECT_EQ(1.0, controls.fieldOfView());
    // A count of the mouse moves the picture as far at any field: at 1
    // degree it turns the camera a 45th of what it does at 45.
    const OrbitActions look = controls.decide(frame(frame60, {}, 0, 450, -90), bodies);
    EXPECT_NEAR(-450 * OrbitControls::mouseTurnFactor / 45.0f, look.yawDegrees, 1e-5f);
    EXPECT_NEAR(90 * OrbitControls::mouseTurnFactor / 45.0f, look.pitchDegrees, 1e-5f);
    // While the prompt is open the comma types.
    press(OIS::KC_RETURN);
    EXPECT_FALSE(controls.decide(tap(0.01f, OIS::KC_COMMA, ','), bodies).fieldOfViewChanged);
}

TEST_F(OrbitControlsTest, ThePromptTypesCompletesGoesToExactNamesFirstAndNoOtherKeyActsWhileItIsOpen)
{
    press(OIS::KC_RETURN);
    InputSnapshot typing = frame(0.3f, {OIS::KC_W, OIS::KC_F});
    typing.addPress(KeyPress{OIS::KC_W, 'w', false});
    typing.addPress(KeyPress{OIS::KC_SPACE, ' ', false});
    const OrbitActions typed = controls.decide(typing, bodies);
    EXPECT_TRUE(vectorsNear(Ogre::Vector3::ZERO, typed.translation));
    EXPECT_FALSE(typed.statisticsChanged || controls.paused());
    EXPECT_EQ("Go to: w _", typed.status);   // a blank inside a name, not a pause
    InputSnapshot escape = frame(0.01f, {OIS::KC_ESCAPE});
    escape.addPress(KeyPress{OIS::KC_ESCAPE, 27, false});
    const OrbitActions closed = controls.decide(escape, bodies);
    EXPECT_FALSE(closed.quit || controls.promptOpen());
    // Still held in the next frames: still no quit; pressed again: quit.
    EXPECT_FALSE(controls.decide(frame(0.01f, {OIS::KC_ESCAPE}), bodies).quit);
    controls.decide(frame(0.01f), bodies);
    EXPECT_TRUE(controls.decide(frame(0.01f, {OIS::KC_ESCAPE}), bodies).quit);

    EXPECT_EQ("Go to: _", press(OIS::KC_RETURN).status);
    EXPECT_EQ("Go to: ma_", type("ma").status);
    EXPECT_EQ("Go to: m_", press(OIS::KC_BACK).status);
    // What a name may hold, a catalogue's "(1) Ceres" and "1P/Halley" too; not "?".
    EXPECT_EQ("Go to: m./-_ 9_", type("./-_ 9?").status);
    for (int n = 0; n < 6; ++n)
        press(OIS::KC_BACK);
    EXPECT_EQ("Go to: m_", press(OIS::KC_TAB).status);     // Mars, Mercury: nothing more in common
    type("a");
    EXPECT_EQ("Go to: Mars_", press(OIS::KC_TAB).status);
    press(OIS::KC_ESCAPE);

    const struct { const char* typed; int index; } rows[] = {
        {"io", 3}, {"IOT", 2}, {"3.earth", 0}, {"mer", 4}, {"m", 1}, {"5.jupiter.io", 3}, {"\xC3\xA4rde", 5},
        {"\xC3\x84R", 5}};
    for (const auto& row : rows)
    {
        SCOPED_TRACE(row.typed);
        press(OIS::KC_RETURN);
        type(row.typed);
        EXPECT_EQ(row.index, press(OIS::KC_RETURN).jumpTo);
        EXPECT_FALSE(controls.promptOpen());
        // The next click goes on from there.
        EXPECT_EQ((row.index + 1) % 6, controls.decide(frame(0.3f, {}, leftButton), bodies).jumpTo);
    }
    press(OIS::KC_RETURN);
    EXPECT_EQ("Go to: \xC3\x84_", type("\xC3\x84").status);
    EXPECT_EQ("Go to: _", press(OIS::KC_BACK).status);   // the whole letter goes
    type("pluto");
    const OrbitActions unknown = press(OIS::KC_NUMPADENTER);
    EXPECT_EQ(-1, unknown.jumpTo);
    EXPECT_EQ("No body named 'pluto'", unknown.status);
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
            EXPECT_EQ(inputs.end(), std::find(inputs.begin(), inputs.end(), std::make_pair(int(in.kind), in.code)))
                << control.label;
            inputs.emplace_back(in.kind, in.code);
        }
    }
    for (int action = 0; action < int(Action::Count); ++action)
        EXPECT_EQ(1, rowsOf[std::size_t(action)]) << "action " << action;
}

TEST(BaseControlsTest, StepsKeysTogglesAndTheMouse)
{
    BaseControlState state;
    beginBaseFrame(state, 0.0f);
    EXPECT_EQ(1.0f, state.moveStep);   // no time: one unit and a tenth of a degree
    EXPECT_EQ(0.1f, state.turnStep);
    beginBaseFrame(state, 0.02f);
    EXPECT_FLOAT_EQ(2.0f, state.moveStep);
    EXPECT_FLOAT_EQ(0.72f, state.turnStep);

    // Later rows win on their axis; Left and Right cancel; Escape turns first, then quits.
    const BaseKeyActions keys =
        decideBaseKeys(state, frame(0.02f, {OIS::KC_A, OIS::KC_D, OIS::KC_W, OIS::KC_S, OIS::KC_PGUP, OIS::KC_PGDOWN,
                                            OIS::KC_LEFT, OIS::KC_RIGHT}));
    EXPECT_TRUE(vectorsNear(Ogre::Vector3(2, -2, 2), state.translation));
    EXPECT_EQ(0.0f, keys.turnDegrees);
    const BaseKeyActions quitting = decideBaseKeys(state, frame(0.02f, {OIS::KC_LEFT, OIS::KC_ESCAPE}));
    EXPECT_TRUE(quitting.quit);
    EXPECT_FLOAT_EQ(0.72f, quitting.turnDegrees);

    // One toggle a frame, F before T; each waits its own delay (F's a second); T cycles the filtering.
    BaseControlState toggles;
    auto run = [&](float dt, std::initializer_list<OIS::KeyCode> held) {
        beginBaseFrame(toggles, dt);
        return decideBaseKeys(toggles, frame(dt, held));
    };
    EXPECT_TRUE(run(0.1f, {OIS::KC_F, OIS::KC_T}).statisticsChanged);
    EXPECT_FALSE(run(0.5f, {OIS::KC_T}).filteringChanged);
    EXPECT_TRUE(run(0.6f, {OIS::KC_T}).filteringChanged);
    EXPECT_EQ(Ogre::TFO_TRILINEAR, toggles.filterMode);

    // The mouse looks, or pans with the right button held, per count.
    BaseControlState mouse;
    beginBaseFrame(mouse, 0.5f);
    decideBaseMouse(mouse, frame(0.5f, {}, 0, 100, 50));
    EXPECT_FLOAT_EQ(-13.0f, Ogre::Degree(mouse.mouseYaw).valueDegrees());
    EXPECT_FLOAT_EQ(-6.5f, Ogre::Degree(mouse.mousePitch).valueDegrees());
    beginBaseFrame(mouse, 0.5f);
    decideBaseMouse(mouse, frame(0.5f, {}, rightButton, 100, 50));
    EXPECT_TRUE(vectorsNear(Ogre::Vector3(13, -6.5f, 0), mouse.translation));
    EXPECT_EQ(0.0f, mouse.mouseYaw.valueRadians());
}

TEST(StatusTextTest, LongTextsFitTheStrip)
{
    const struct { const char* name; std::string text, fitted; } rows[] = {
        {"Short", "Saved: screenshot_1.png", "Saved: screenshot_1.png"},
        {"ALongWordBrokenInside", std::string(60, 'x'), std::string(56, 'x') + "\nxxxx"},
        {"LettersNotBytes", std::string(56, 'a') + "\xC3\xA4", std::string(56, 'a') + "\n\xC3\xA4"},
        {"AtMostFourLines", std::string(300, 'y'), std::string(56, 'y') + "\n" + std::string(56, 'y') + "\n" +
                                                       std::string(56, 'y') + "\n" + std::string(55, 'y') +
                                                       "\xE2\x80\xA6"},
        {"NewlinesKept", "first\nsecond", "first\nsecond"}};
    for (const auto& row : rows)
        EXPECT_EQ(row.fitted, fitStatusText(row.text)) << row.name;
}
}
