#include "viewer/OrbitControls.h"

#include "sim/BodyRegistry.h"

#include <algorithm>
#include <cctype>

namespace
{
bool isGoToKey(OIS::KeyCode key)
{
    for (const Input& in : controlFor(Action::GoTo).inputs)
        if (in.kind == Input::Key && in.code == key)
            return true;
    return false;
}

// What may be typed at the prompt: the characters of a one-word name.
bool isNameCharacter(unsigned int text)
{
    return text < 128 && (std::isalnum(int(text)) || text == '.' || text == '-' || text == '_');
}

bool equalIgnoringCase(char a, char b)
{
    return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
}

bool beginsWith(const std::string& name, const std::string& prefix)
{
    return name.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), name.begin(), equalIgnoringCase);
}

bool sameName(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && beginsWith(a, b);
}

// How many times a Pressed action's key went down since the last frame.
int pressesOf(const Control& control, const InputSnapshot& input, const InputSnapshot& previous)
{
    int count = 0;
    for (const Input& in : control.inputs)
    {
        if (in.kind != Input::Key)
            continue;
        const OIS::KeyCode key = OIS::KeyCode(in.code);
        int reported = 0;
        for (int i = 0; i < input.pressCount; ++i)
            reported += input.presses[std::size_t(i)].key == key && !input.presses[std::size_t(i)].repeat;
        // A keyboard that reports no presses still shows a key that went down.
        count += reported ? reported : input.keyDown(key) && !previous.keyDown(key);
    }
    return count;
}
}

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

int findBodyByName(const BodyRegistry& bodies, const std::string& name)
{
    if (name.empty())
        return -1;
    for (std::size_t i = 0; i < bodies.size(); ++i)
        if (sameName(bodies.at(i).definition.Name, name) || sameName(bodies.at(i).sectionName, name))
            return int(i);
    for (std::size_t i = 0; i < bodies.size(); ++i)
        if (beginsWith(bodies.at(i).definition.Name, name) || beginsWith(bodies.at(i).sectionName, name))
            return int(i);
    return -1;
}

std::string completeBodyName(const BodyRegistry& bodies, const std::string& typed)
{
    std::string common;
    bool any = false;
    for (const auto& body : bodies)
    {
        for (const std::string* name : {&body->definition.Name, &body->sectionName})
        {
            if (!beginsWith(*name, typed))
                continue;
            if (!any)
                common = *name;
            else
            {
                std::size_t length = 0;
                while (length < common.size() && length < name->size() &&
                       equalIgnoringCase(common[length], (*name)[length]))
                    ++length;
                common.resize(length);
            }
            any = true;
        }
    }
    return any && common.size() > typed.size() ? common : typed;
}

double OrbitControls::timeRate() const
{
    const double size = rateExponent >= 0 ? double(1 << rateExponent) : 1.0 / double(1 << -rateExponent);
    return timeReversed ? -size : size;
}

std::string OrbitControls::timeText() const
{
    std::string rate = rateExponent >= 0 ? std::to_string(1 << rateExponent) : "1/" + std::to_string(1 << -rateExponent);
    return "Time \xC3\x97" + std::string(timeReversed ? "-" : "") + rate + (paused ? " (paused)" : "");
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

void OrbitControls::submitPrompt(const BodyRegistry& bodies, OrbitActions& actions)
{
    promptOpen = false;
    actions.statusChanged = true;
    actions.status.clear();
    if (promptText.empty())
        return;
    const int index = findBodyByName(bodies, promptText);
    if (index < 0)
    {
        actions.status = "No body named '" + promptText + "'";
        return;
    }
    // As a click there: the status line shows the body's name, and the next
    // click goes on from it.
    focusIndex = index;
    hasFocus = true;
    actions.jumpTo = index;
    actions.statusChanged = false;
}

void OrbitControls::completePrompt(const BodyRegistry& bodies)
{
    promptText = completeBodyName(bodies, promptText).substr(0, longestName);
}

bool OrbitControls::runPrompt(const InputSnapshot& input, const BodyRegistry& bodies, OrbitActions& actions)
{
    bool hadKeyboard = promptOpen;
    for (int i = 0; i < input.pressCount; ++i)
    {
        const KeyPress& press = input.presses[std::size_t(i)];
        if (!promptOpen)
        {
            // A mode, not an action: opens at once, so that nothing typed next is lost.
            if (isGoToKey(press.key) && !press.repeat)
            {
                promptOpen = hadKeyboard = true;
                promptText.clear();
            }
            continue;
        }
        if (press.key == OIS::KC_ESCAPE)
        {
            promptOpen = false;
            escapeClosedPrompt = true;
            actions.statusChanged = true;
            actions.status.clear();
            continue;
        }
        if (isGoToKey(press.key))
        {
            if (!press.repeat)
                submitPrompt(bodies, actions);
            continue;
        }
        if (press.key == OIS::KC_BACK)
        {
            if (!promptText.empty())
                promptText.pop_back();
        }
        else if (press.key == OIS::KC_TAB)
            completePrompt(bodies);
        else if (isNameCharacter(press.text) && promptText.size() < longestName)
            promptText += char(press.text);
    }
    if (promptOpen)
    {
        actions.statusChanged = true;
        actions.status = "Go to: " + promptText + "_";
    }
    return hadKeyboard;
}

void OrbitControls::firePressed(Action action, const BodyRegistry& bodies, OrbitActions& actions)
{
    actions.statusChanged = true;
    switch (action)
    {
    case Action::Pause:
        paused = !paused;
        actions.status = paused ? "Paused" : timeText();
        break;
    case Action::Faster:
        rateExponent = std::min(rateExponent + 1, fastestRate);
        actions.status = timeText();
        break;
    case Action::Slower:
        rateExponent = std::max(rateExponent - 1, slowestRate);
        actions.status = timeText();
        break;
    case Action::Reverse:
        timeReversed = !timeReversed;
        actions.status = timeText();
        break;
    case Action::NormalTime:
        rateExponent = 0;
        timeReversed = false;
        actions.status = timeText();
        break;
    case Action::Follow:
        if (!hasFocus || std::size_t(focusIndex) >= bodies.size())
        {
            actions.status = "Jump to a body first, then L follows it";
            break;
        }
        following = !following;
        actions.followChanged = true;
        actions.status = (following ? "Following " : "Stopped following ") +
                         bodies.at(std::size_t(focusIndex)).definition.Name;
        break;
    case Action::Help:
        helpShown = !helpShown;
        actions.helpChanged = true;
        actions.statusChanged = false;
        break;
    case Action::OrbitLines:
        orbitLinesShown = !orbitLinesShown;
        actions.orbitLinesChanged = true;
        actions.statusChanged = false;
        break;
    case Action::Labels:
        labelsShown = !labelsShown;
        actions.labelsChanged = true;
        actions.statusChanged = false;
        break;
    case Action::Reload:
        actions.reload = true;
        actions.statusChanged = false;
        break;
    default:
        actions.statusChanged = false;
        break;
    }
}

OrbitActions OrbitControls::decide(const InputSnapshot& input, const BodyRegistry& bodies)
{
    OrbitActions actions;
    if (actionCooldown >= 0.0f)
        actionCooldown -= input.dt;

    const bool promptHadKeyboard = runPrompt(input, bodies, actions);
    if (escapeClosedPrompt && !down(Action::Quit, input))
        escapeClosedPrompt = false;

    if (!promptHadKeyboard && !escapeClosedPrompt && down(Action::Quit, input))
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
            hasFocus = true;
            actions.jumpTo = focusIndex;
        }
    }

    // Counts of motion, not scaled by the frame's time.
    actions.yawDegrees = -float(input.mouseX) * mouseTurnFactor;
    actions.pitchDegrees = -float(input.mouseY) * mouseTurnFactor;

    // While the prompt has the keyboard, the keys type and do nothing else.
    if (promptHadKeyboard)
    {
        previous = input;
        return actions;
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

    for (const Control& control : orbitControls)
    {
        if (control.trigger != Trigger::Pressed || control.action == Action::GoTo)
            continue;
        for (int n = pressesOf(control, input, previous); n > 0 && pendingCount < pending.size(); --n)
            pending[pendingCount++] = control.action;
    }
    if (pendingCount > 0 && actionCooldown < 0.0f)
    {
        actionCooldown = actionDelay;
        const Action action = pending[0];
        std::rotate(pending.begin(), pending.begin() + 1, pending.begin() + long(pendingCount));
        --pendingCount;
        firePressed(action, bodies, actions);
    }

    previous = input;
    return actions;
}
