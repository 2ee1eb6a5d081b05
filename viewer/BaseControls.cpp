#include "viewer/BaseControls.h"

bool showCameraPose = false;

namespace
{
// Degrees (or world units, when panning) per count of relative mouse motion.
constexpr double mouseFactor = 0.13;

// A toggle acts once the cooldown has run out, and sets it to its delay.
bool toggle(BaseControlState& state, const InputSnapshot& input, OIS::KeyCode key, float delay)
{
    if (!input.keyDown(key) || state.toggleCooldown > 0.0f)
        return false;
    state.toggleCooldown = delay;
    return true;
}
}

void beginBaseFrame(BaseControlState& state, float dt)
{
    if (state.toggleCooldown >= 0.0f)
        state.toggleCooldown -= dt;
    if (dt == 0.0f)
    {
        state.moveStep = 1.0f;
        state.turnStep = 0.1f;
    }
    else
    {
        state.moveStep = state.moveRate * dt;
        state.turnStep = state.turnRate * dt;
    }
    state.mouseYaw = 0.0f;
    state.mousePitch = 0.0f;
    state.translation = Ogre::Vector3::ZERO;
}

BaseKeyActions decideBaseKeys(BaseControlState& state, const InputSnapshot& input)
{
    BaseKeyActions actions;
    // Later rows overwrite earlier ones of the same axis.
    if (input.keyDown(OIS::KC_A))
        state.translation.x = -state.moveStep;
    if (input.keyDown(OIS::KC_D))
        state.translation.x = state.moveStep;
    if (input.keyDown(OIS::KC_UP) || input.keyDown(OIS::KC_W))
        state.translation.z = -state.moveStep;
    if (input.keyDown(OIS::KC_DOWN) || input.keyDown(OIS::KC_S))
        state.translation.z = state.moveStep;
    if (input.keyDown(OIS::KC_PGUP))
        state.translation.y = state.moveStep;
    if (input.keyDown(OIS::KC_PGDOWN))
        state.translation.y = -state.moveStep;
    if (input.keyDown(OIS::KC_RIGHT))
        actions.turnDegrees -= state.turnStep;
    if (input.keyDown(OIS::KC_LEFT))
        actions.turnDegrees += state.turnStep;
    if (input.keyDown(OIS::KC_ESCAPE) || input.keyDown(OIS::KC_Q))
    {
        actions.quit = true;
        return actions;
    }

    if (toggle(state, input, OIS::KC_F, 1.0f))
    {
        state.statisticsVisible = !state.statisticsVisible;
        actions.statisticsChanged = true;
    }
    if (toggle(state, input, OIS::KC_T, 1.0f))
    {
        switch (state.filterMode)
        {
        case Ogre::TFO_BILINEAR:
            state.filterMode = Ogre::TFO_TRILINEAR;
            state.anisotropy = 1;
            break;
        case Ogre::TFO_TRILINEAR:
            state.filterMode = Ogre::TFO_ANISOTROPIC;
            state.anisotropy = 8;
            break;
        default:
            state.filterMode = Ogre::TFO_BILINEAR;
            state.anisotropy = 1;
            break;
        }
        actions.filteringChanged = true;
    }
    actions.screenshot = toggle(state, input, OIS::KC_SYSRQ, 0.5f);
    if (toggle(state, input, OIS::KC_R, 0.5f))
    {
        state.polygonModeIndex = (state.polygonModeIndex + 1) % 3;
        actions.polygonModeChanged = true;
    }
    if (toggle(state, input, OIS::KC_P, 0.5f))
    {
        showCameraPose = !showCameraPose;
        actions.poseShownChanged = true;
    }
    return actions;
}

void decideBaseMouse(BaseControlState& state, const InputSnapshot& input)
{
    if (input.buttonDown(OIS::MB_Right))
    {
        state.translation.x += float(input.mouseX * mouseFactor);
        state.translation.y -= float(input.mouseY * mouseFactor);
    }
    else
    {
        state.mouseYaw = Ogre::Degree(float(-input.mouseX * mouseFactor));
        state.mousePitch = Ogre::Degree(float(-input.mouseY * mouseFactor));
    }
}
