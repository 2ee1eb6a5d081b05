#ifndef ORVTEST_VIEWER_INPUTSNAPSHOT_H
#define ORVTEST_VIEWER_INPUTSNAPSHOT_H

#include <OISKeyboard.h>
#include <OISMouse.h>

#include <array>
#include <bitset>

// One key press as the keyboard reported it, in the order typed.
struct KeyPress
{
    OIS::KeyCode key = OIS::KC_UNASSIGNED;
    unsigned int text = 0;    // the character typed, as a Unicode code point; 0 for none
    bool repeat = false;      // the keyboard's auto-repeat while the key is held
};

// What the devices said in one frame: read once, then only this is looked
// at, so that every decision can be made and tested without a window or an
// input library. Key codes and button numbers are the input library's.
struct InputSnapshot
{
    float dt = 0.0f;                    // seconds since the last frame
    std::bitset<256> keysDown;          // by OIS::KeyCode
    unsigned int buttonsDown = 0;       // bit n for OIS::MouseButtonID n
    unsigned int buttonsPressed = 0;    // pressed since the last frame, also if released again
    int mouseX = 0;                     // relative motion since the last frame, counts
    int mouseY = 0;
    int wheel = 0;                      // notches the mouse wheel turned since the last frame, away from the person +
    // Presses since the last frame, also those released again before it
    // (with a buffered keyboard only; an unbuffered one reports none).
    std::array<KeyPress, 32> presses{};
    int pressCount = 0;
    // The keys in the places of W S A D Q E on a US keyboard, in that order,
    // as the window system reads them, whatever the layout prints on them:
    // flight goes by place. Unknown without a window system to ask.
    bool placesKnown = false;
    std::bitset<6> placesDown;
    std::array<OIS::KeyCode, 6> placeLabels{};   // the key code of what the layout prints there

    bool keyDown(OIS::KeyCode key) const { return keysDown.test(std::size_t(key) & 0xFF); }
    bool buttonDown(OIS::MouseButtonID button) const { return (buttonsDown >> button) & 1u; }
    bool buttonPressed(OIS::MouseButtonID button) const { return (buttonsPressed >> button) & 1u; }
    // A press of the key, not the keyboard's auto-repeat.
    bool keyPressed(OIS::KeyCode key) const
    {
        for (int i = 0; i < pressCount; ++i)
            if (presses[std::size_t(i)].key == key && !presses[std::size_t(i)].repeat)
                return true;
        return false;
    }
    // Records a press; presses beyond the capacity of one frame are dropped.
    void addPress(const KeyPress& press)
    {
        if (pressCount < int(presses.size()))
            presses[std::size_t(pressCount++)] = press;
    }
};

#endif
