#include "viewer/Controls.h"

const Control& controlFor(Action action)
{
    for (const Control& control : orbitControls)
        if (control.action == action)
            return control;
    // Every action has a row; a test holds the table to that.
    return orbitControls[0];
}

bool isDown(const Control& control, const InputSnapshot& input)
{
    for (const Input& in : control.inputs)
    {
        if (in.kind == Input::Key && (input.keyDown(OIS::KeyCode(in.code)) || input.keyPressed(OIS::KeyCode(in.code))))
            return true;
        if (in.kind == Input::Button &&
            (input.buttonDown(OIS::MouseButtonID(in.code)) || input.buttonPressed(OIS::MouseButtonID(in.code))))
            return true;
    }
    return false;
}

bool wasPressed(const Control& control, const InputSnapshot& input, const InputSnapshot& previous)
{
    for (const Input& in : control.inputs)
    {
        if (in.kind != Input::Key)
            continue;
        const OIS::KeyCode code = OIS::KeyCode(in.code);
        if (input.keyPressed(code) || (input.keyDown(code) && !previous.keyDown(code)))
            return true;
    }
    return false;
}

namespace
{
bool isFlightLetter(OIS::KeyCode key)
{
    for (OIS::KeyCode letter : flightLetters)
        if (key == letter)
            return true;
    return false;
}

// Takes the key's presses out of the snapshot, and the key itself.
void forget(InputSnapshot& input, OIS::KeyCode key)
{
    input.keysDown.reset(std::size_t(key) & 0xFF);
    int kept = 0;
    for (int i = 0; i < input.pressCount; ++i)
        if (input.presses[std::size_t(i)].key != key)
            input.presses[std::size_t(kept++)] = input.presses[std::size_t(i)];
    input.pressCount = kept;
}
}

InputSnapshot flightByPlace(const InputSnapshot& input, bool typing)
{
    if (!input.placesKnown || typing)
        return input;
    InputSnapshot byPlace = input;
    const bool shift = input.keyDown(OIS::KC_LSHIFT) || input.keyDown(OIS::KC_RSHIFT);
    for (OIS::KeyCode letter : flightLetters)
        forget(byPlace, letter);
    for (std::size_t place = 0; place < std::size(flightLetters); ++place)
    {
        const OIS::KeyCode label = input.placeLabels[place];
        const bool command = label != OIS::KC_UNASSIGNED && !isFlightLetter(label);
        if (command && !shift)
            forget(byPlace, label);
        if (input.placesDown[place] && !(command && shift))
            byPlace.keysDown.set(flightLetters[place]);
    }
    return byPlace;
}
