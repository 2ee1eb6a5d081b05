#include "viewer/OrbitControls.h"

#include "sim/BodyRegistry.h"

OrbitControls::OrbitControls(float speed) : moveSpeed(speed)
{
}

int nextFocusIndex(int index, int step, std::size_t count)
{
    index += step;
    if (index == int(count))
        index = 0;
    else if (index == -1)
        index = int(count) - 1;
    return index;
}

bool OrbitControls::down(Action action, const InputSnapshot& input) const
{
    return isDown(controlFor(action), input);
}

bool OrbitControls::fire(Action action, const InputSnapshot& input)
{
    if (actionCooldown >= 0.0f || !down(action, input))
        return false;
    actionCooldown = actionDelay;
    return true;
}

OrbitActions OrbitControls::decide(const InputSnapshot& input, const BodyRegistry& bodies)
{
    OrbitActions actions;
    if (actionCooldown >= 0.0f)
        actionCooldown -= input.dt;

    if (down(Action::Quit, input))
    {
        actions.quit = true;
        previous = input;
        return actions;
    }

    // With no bodies there is nowhere to jump: the buttons do nothing.
    for (const auto& jump : {std::make_pair(Action::NextBody, +1), std::make_pair(Action::PreviousBody, -1)})
    {
        if (!bodies.empty() && fire(jump.first, input))
        {
            focusIndex = nextFocusIndex(focusIndex, jump.second, bodies.size());
            actions.jumpTo = focusIndex;
        }
    }

    // Two inputs of one row move once; opposite rows cancel.
    const struct
    {
        Action action;
        Ogre::Vector3 direction;
    } moves[] = {{Action::Forward, Ogre::Vector3::NEGATIVE_UNIT_Z}, {Action::Back, Ogre::Vector3::UNIT_Z},
                 {Action::Left, Ogre::Vector3::NEGATIVE_UNIT_X},    {Action::Right, Ogre::Vector3::UNIT_X},
                 {Action::Up, Ogre::Vector3::UNIT_Y},               {Action::Down, Ogre::Vector3::NEGATIVE_UNIT_Y}};
    for (const auto& move : moves)
        if (down(move.action, input))
            actions.translation += move.direction * moveSpeed;
    actions.translation *= input.dt;

    // Counts of motion, not scaled by the frame's time.
    actions.yawDegrees = -float(input.mouseX) * mouseTurnFactor;
    actions.pitchDegrees = -float(input.mouseY) * mouseTurnFactor;

    actions.screenshot = fire(Action::Screenshot, input);
    if (fire(Action::PolygonMode, input))
    {
        renderModeIndex = (renderModeIndex + 1) % 3;
        actions.polygonModeChanged = true;
    }
    if (fire(Action::Statistics, input))
    {
        statsShown = !statsShown;
        actions.statisticsChanged = true;
    }

    previous = input;
    return actions;
}
