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
