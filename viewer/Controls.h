#ifndef ORVTEST_VIEWER_CONTROLS_H
#define ORVTEST_VIEWER_CONTROLS_H

#include "viewer/InputSnapshot.h"

#include <OgreCommon.h>

#include <array>

// The orbit viewer's controls, one row per action: the input that triggers
// it, how it fires and what the README and the help overlay call it. To
// change a binding, change its row; the decisions (OrbitControls), the help
// overlay and the README's controls table all follow it.

enum class Action
{
    Quit,
    NextBody,
    PreviousBody,
    Forward,
    Back,
    Left,
    Right,
    Up,
    Down,
    Look,
    Screenshot,
    PolygonMode,
    Statistics,
    Pause,
    Faster,
    Slower,
    Reverse,
    NormalTime,
    Follow,
    GoTo,
    SetDate,
    Info,
    Pick,
    Help,
    OrbitLines,
    Labels,
    Constellations,
    Reload,
    KeepView,
    RecallView,
    Record,
    ZoomIn,
    ZoomOut,
    TrueScale,
    Count
};

// A key or mouse input.
struct Input
{
    enum Kind
    {
        None,
        Key,          // code: an OIS::KeyCode
        Button,       // code: an OIS::MouseButtonID
        MouseMotion,
        Wheel,        // code: +1 turned away from the person, -1 towards
    };
    Kind kind = None;
    int code = 0;
};

enum class Trigger
{
    Held,         // every frame while down
    Gated,        // while down, at most once every action delay
    Pressed,      // once per press, one press every action delay
    PressedInRun, // as Pressed, for each key from the first input's code to the second's; which one tells
    EachPress,    // at once, for every press and every notch of the wheel
};

struct Control
{
    Action action;
    Trigger trigger;
    std::array<Input, 2> inputs;     // either fires it
    const char* label;               // the inputs as a person names them
    const char* description;
};

constexpr Input key(OIS::KeyCode code)
{
    return {Input::Key, code};
}

constexpr Input button(OIS::MouseButtonID code)
{
    return {Input::Button, code};
}

// Rows in the order the README and the help overlay list them.
constexpr Control orbitControls[] = {
    {Action::Forward, Trigger::Held, {key(OIS::KC_W), key(OIS::KC_UP)}, "W or Up",
     "fly forward (MoveConstant units per second)"},
    {Action::Back, Trigger::Held, {key(OIS::KC_S), key(OIS::KC_DOWN)}, "S or Down", "fly back"},
    {Action::Left, Trigger::Held, {key(OIS::KC_A), key(OIS::KC_LEFT)}, "A or Left", "fly left"},
    {Action::Right, Trigger::Held, {key(OIS::KC_D), key(OIS::KC_RIGHT)}, "D or Right", "fly right"},
    {Action::Up, Trigger::Held, {key(OIS::KC_Q), key(OIS::KC_PGUP)}, "Q or Page Up", "fly up"},
    {Action::Down, Trigger::Held, {key(OIS::KC_E), key(OIS::KC_PGDOWN)}, "E or Page Down", "fly down"},
    {Action::Look, Trigger::Held, {Input{Input::MouseMotion, 0}, Input{}}, "mouse", "look around"},
    {Action::NextBody, Trigger::Gated, {button(OIS::MB_Left), Input{}}, "left mouse button",
     "jump to the next body; the status line shows its name"},
    {Action::PreviousBody, Trigger::Gated, {button(OIS::MB_Right), Input{}}, "right mouse button",
     "jump to the previous body"},
    {Action::Screenshot, Trigger::Gated, {key(OIS::KC_SYSRQ), Input{}}, "Print",
     "save screenshot_N.png: in the working folder, or ~/Pictures/OrvTest when installed"},
    {Action::PolygonMode, Trigger::Gated, {key(OIS::KC_R), Input{}}, "R", "cycle solid, wireframe, points"},
    {Action::Statistics, Trigger::Gated, {key(OIS::KC_F), Input{}}, "F", "show or hide the statistics overlay"},
    {Action::Pause, Trigger::Pressed, {key(OIS::KC_SPACE), Input{}}, "Space",
     "pause or resume the bodies' motion"},
    {Action::Faster, Trigger::Pressed, {key(OIS::KC_RBRACKET), Input{}}, "]",
     "time rate times 2, up to 1024; the clock one step faster, up to a year a second"},
    {Action::Slower, Trigger::Pressed, {key(OIS::KC_LBRACKET), Input{}}, "[",
     "time rate divided by 2, down to 1/64; the clock one step slower, down to a second a second"},
    {Action::Reverse, Trigger::Pressed, {key(OIS::KC_J), Input{}}, "J", "reverse time"},
    {Action::NormalTime, Trigger::Pressed, {key(OIS::KC_BACK), Input{}}, "Backspace",
     "time rate back to 1, the clock back to its start speed"},
    {Action::Follow, Trigger::Pressed, {key(OIS::KC_L), Input{}}, "L",
     "follow the body last jumped to, or stop following"},
    {Action::GoTo, Trigger::Pressed, {key(OIS::KC_RETURN), key(OIS::KC_NUMPADENTER)}, "Return",
     "go to a body by name: type it, Tab completes, Return jumps"},
    {Action::SetDate, Trigger::Pressed, {key(OIS::KC_T), Input{}}, "T",
     "set the clock: type a date (2030-01-01, 2030-01-01T12:00 or now), Return sets it"},
    {Action::Info, Trigger::Pressed, {key(OIS::KC_I), Input{}}, "I",
     "show or hide the info panel of the body last jumped to, gone to or picked"},
    {Action::Pick, Trigger::Pressed, {key(OIS::KC_C), button(OIS::MB_Middle)}, "C or middle mouse button",
     "pick the body under the centre of the view: the next jump, L and I go on from it"},
    {Action::OrbitLines, Trigger::Pressed, {key(OIS::KC_O), Input{}}, "O", "show or hide the orbit lines"},
    {Action::Labels, Trigger::Pressed, {key(OIS::KC_N), Input{}}, "N", "show or hide the bodies' names"},
    {Action::Constellations, Trigger::Pressed, {key(OIS::KC_B), Input{}}, "B",
     "show or hide the constellation figures of a dated system's sky"},
    {Action::Reload, Trigger::Pressed, {key(OIS::KC_F5), Input{}}, "F5",
     "read the system and settings files again now"},
    {Action::KeepView, Trigger::Pressed, {key(OIS::KC_K), Input{}}, "K",
     "keep the view: type a name, Return keeps it in views.cfg"},
    {Action::RecallView, Trigger::PressedInRun, {key(OIS::KC_1), key(OIS::KC_9)}, "1 to 9",
     "fly in a second to the first nine kept views"},
    {Action::Record, Trigger::Pressed, {key(OIS::KC_V), Input{}}, "V",
     "start or stop recording a film of the view, 30 frames a second of its own time"},
    {Action::ZoomIn, Trigger::EachPress, {key(OIS::KC_COMMA), Input{Input::Wheel, +1}}, ", or wheel away",
     "narrow the field of view (zoom in), down to 1 degree"},
    {Action::ZoomOut, Trigger::EachPress, {key(OIS::KC_PERIOD), Input{Input::Wheel, -1}}, ". or wheel towards you",
     "widen the field of view, up to 120 degrees"},
    {Action::TrueScale, Trigger::Pressed, {key(OIS::KC_X), Input{}}, "X",
     "switch between the display scale and true scale: real sizes and distances"},
    {Action::Help, Trigger::Pressed, {key(OIS::KC_H), key(OIS::KC_F1)}, "H or F1",
     "show or hide this list of controls"},
    {Action::Quit, Trigger::Held, {key(OIS::KC_ESCAPE), Input{}}, "Escape, or closing the window", "quit"},
};

// The letters that fly, in the order of the snapshot's places.
constexpr OIS::KeyCode flightLetters[6] = {OIS::KC_W, OIS::KC_S, OIS::KC_A, OIS::KC_D, OIS::KC_Q, OIS::KC_E};

// The snapshot as the controls read it where the keys' places are known:
// the flight letters are down where their places are, whatever is printed
// there; a key in a flight place that the layout prints with another
// letter (O on Dvorak) flies, and gives that letter's command only with
// Shift held. While the keyboard types (`typing`), every key is its letter.
InputSnapshot flightByPlace(const InputSnapshot& input, bool typing);

// The row of an action.
const Control& controlFor(Action action);

// Whether any input of the row is down in the snapshot, or was pressed since
// the last one: a press shorter than a frame still counts, once.
bool isDown(const Control& control, const InputSnapshot& input);

// Whether a key of the row was newly pressed in this frame: a press the
// keyboard reported (not an auto-repeat), or a key down now that was up in
// the previous snapshot.
bool wasPressed(const Control& control, const InputSnapshot& input, const InputSnapshot& previous);

// The camera's polygon mode at a place of the R cycle: 0 solid, 1 wireframe, 2 points.
inline Ogre::PolygonMode polygonModeAt(int index)
{
    constexpr Ogre::PolygonMode modes[3] = {Ogre::PM_SOLID, Ogre::PM_WIREFRAME, Ogre::PM_POINTS};
    return modes[index % 3];
}

#endif
