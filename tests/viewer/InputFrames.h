#ifndef ORVTEST_TESTS_VIEWER_INPUTFRAMES_H
#define ORVTEST_TESTS_VIEWER_INPUTFRAMES_H

#include "viewer/InputSnapshot.h"

#include <initializer_list>

constexpr unsigned int leftButton = 1u << OIS::MB_Left;
constexpr unsigned int rightButton = 1u << OIS::MB_Right;

// One frame of input: keys held, buttons held, relative mouse motion.
inline InputSnapshot frame(float dt, std::initializer_list<OIS::KeyCode> keys = {}, unsigned int buttons = 0,
                           int mouseX = 0, int mouseY = 0)
{
    InputSnapshot input;
    input.dt = dt;
    for (OIS::KeyCode key : keys)
        input.keysDown.set(key);
    input.buttonsDown = buttons;
    input.mouseX = mouseX;
    input.mouseY = mouseY;
    return input;
}

// A key pressed and released again between two frames: only the press is seen.
inline InputSnapshot tap(float dt, OIS::KeyCode key, unsigned int text = 0)
{
    InputSnapshot input = frame(dt);
    input.addPress(KeyPress{key, text, false});
    return input;
}

#endif
