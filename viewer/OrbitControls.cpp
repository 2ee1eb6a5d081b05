#include "viewer/OrbitControls.h"

#include "config/Dates.h"
#include "config/Utf8.h"
#include "sim/BodyRegistry.h"
#include "sky/Clock.h"

#include <algorithm>
#include <iterator>
#include <cctype>
#include <cmath>
#include <cstdio>

namespace
{
bool isKeyOf(Action action, OIS::KeyCode key)
{
    for (const Input& in : controlFor(action).inputs)
        if (in.kind == Input::Key && in.code == key)
            return true;
    return false;
}

bool isGoToKey(OIS::KeyCode key)
{
    return isKeyOf(Action::GoTo, key);
}

// What may be typed at the date prompt: what dates are written with.
bool isDateCharacter(unsigned int text)
{
    return text > ' ' && text < 127;
}

// What may be typed at the prompt: the characters of a one-word name, in any script.
bool isNameCharacter(unsigned int text)
{
    if (text < 128)
        return std::isalnum(int(text)) || text == '.' || text == '-' || text == '_';
    // Beyond ASCII: anything printable but the no-break and soft hyphen spaces.
    return text > 0xA0 && text != 0xAD && text < 0x110000;
}

// What may be typed at a prompt: a date, or a name; a view's name may have
// blanks inside, and so may a catalogue body's, which is written with
// slashes, parentheses and apostrophes too ("(1) Ceres", "1P/Halley").
bool isTypable(unsigned int text, bool date, bool keepingView, bool goingTo, const std::string& typed)
{
    if (date)
        return isDateCharacter(text);
    if (goingTo && (text == '/' || text == '(' || text == ')' || text == '\''))
        return true;
    return isNameCharacter(text) || ((keepingView || goingTo) && text == ' ' && !typed.empty());
}

// How many times a Pressed action's key went down since the last frame.
int pressesOf(const Control& control, const InputSnapshot& input, const InputSnapshot& previous)
{
    int count = 0;
    for (const Input& in : control.inputs)
    {
        const auto button = OIS::MouseButtonID(in.code);
        if (in.kind == Input::Button)
            count += input.buttonPressed(button) || (input.buttonDown(button) && !previous.buttonDown(button));
        if (in.kind == Input::Wheel && input.wheel * in.code > 0)
            count += std::abs(input.wheel);
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

OrbitControls::OrbitControls(float speed, double speedOfClock) : startClockSpeed(speedOfClock)
{
    state.moveSpeed = speed;
    state.clockFlow.setRate(speedOfClock);
}

void OrbitControls::focusOn(int index)
{
    state.focusIndex = index;
    state.hasFocus = true;
    state.catalogueFocus.reset();
}

void OrbitControls::focusOnCatalogue(const CatalogueTarget& target)
{
    state.catalogueFocus = target;
    state.hasFocus = false;
}

void OrbitControls::dropCatalogueFocus()
{
    if (!state.catalogueFocus)
        return;
    state.catalogueFocus.reset();
    state.following = false;
}

void OrbitControls::refocus(int index)
{
    if (index >= 0)
    {
        state.focusIndex = index;
        return;
    }
    state.focusIndex = 0;
    state.hasFocus = false;
    state.following = false;
}

std::string fieldOfViewText(double degrees)
{
    char text[48];
    std::snprintf(text, sizeof text, degrees < 9.95 ? "Field of view %.1f\xC2\xB0" : "Field of view %.0f\xC2\xB0",
                  degrees);
    return text;
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

int findBodyByName(const BodyRegistry& bodies, const std::string& name, bool beginning)
{
    if (name.empty())
        return -1;
    for (std::size_t i = 0; i < bodies.size(); ++i)
        if (equalIgnoringCase(bodies.at(i).definition.Name, name) || equalIgnoringCase(bodies.at(i).sectionName, name))
            return int(i);
    if (!beginning)
        return -1;
    for (std::size_t i = 0; i < bodies.size(); ++i)
        if (beginsWithIgnoringCase(bodies.at(i).definition.Name, name) ||
            beginsWithIgnoringCase(bodies.at(i).sectionName, name))
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
            if (!beginsWithIgnoringCase(*name, typed))
                continue;
            if (!any)
                common = *name;
            else
                common.resize(commonPrefixIgnoringCase(common, *name));
            any = true;
        }
    }
    return any && common.size() > typed.size() ? common : typed;
}

std::string OrbitControls::timeText() const
{
    const std::string rate =
        state.clockInUse ? " " + speedText(state.clockFlow.rate()) : " \xC3\x97" + rateText(state.frameFlow.rate());
    return "Time" + rate + (state.paused ? " (paused)" : "");
}

bool OrbitControls::down(Action action, const InputSnapshot& input) const
{
    return isDown(controlFor(action), input);
}

bool OrbitControls::fire(Action action, const InputSnapshot& input)
{
    if (state.actionCooldown >= 0.0f || !down(action, input))
        return false;
    state.actionCooldown = actionDelay;
    return true;
}

void OrbitControls::submitPrompt(const BodyRegistry& bodies, OrbitActions& actions)
{
    const Prompt submitted = state.prompt;
    state.prompt = Prompt::None;
    actions.statusChanged = true;
    actions.status.clear();
    if (state.promptText.empty())
        return;
    if (submitted == Prompt::KeepView || submitted == Prompt::ReplaceView)
    {
        std::string name = state.promptText;
        name.erase(name.find_last_not_of(' ') + 1);
        actions.keepView = true;
        actions.replaceView = submitted == Prompt::ReplaceView;
        actions.viewName = name;
        actions.statusChanged = false;
        return;
    }
    if (submitted == Prompt::Date)
    {
        const Result<double> date = parseDate(state.promptText);
        actions.dateSet = date.ok();
        actions.date = actions.dateSet ? *date : 0.0;
        actions.status = actions.dateSet ? "Date: " + dateText(actions.date) : date.why();
        return;
    }
    // The system's own names first, whole and then begun; each before the
    // catalogues' (whose Mars is an asteroid's name part, "1 Mars" none).
    std::string typed = state.promptText;
    typed.erase(typed.find_last_not_of(' ') + 1);
    for (const bool beginning : {false, true})
    {
        const int index = findBodyByName(bodies, typed, beginning);
        if (index >= 0)
        {
            // As a click there: the status line shows the body's name, and the next
            // click goes on from it.
            state.focusIndex = index;
            state.hasFocus = true;
            state.catalogueFocus.reset();
            actions.jumpTo = index;
            actions.statusChanged = false;
            return;
        }
        if (const auto found = catalogueNames ? catalogueNames->findCatalogueBody(typed, beginning) : std::nullopt)
        {
            focusOnCatalogue(*found);
            actions.goToCatalogue = found;
            actions.statusChanged = false;
            return;
        }
    }
    if (catalogueNames && catalogueNames->namesComing())
    {
        actions.awaitName = typed;
        actions.status = "Going to '" + typed + "' once the catalogues are read";
        return;
    }
    actions.status = "No body named '" + typed + "'";
}

void OrbitControls::completePrompt(const BodyRegistry& bodies)
{
    const std::string typed = state.promptText;
    std::string completed = completeBodyName(bodies, typed);
    const bool systemCompleted = std::any_of(bodies.begin(), bodies.end(), [&typed](const auto& body) {
        return beginsWithIgnoringCase(body->definition.Name, typed) || beginsWithIgnoringCase(body->sectionName, typed);
    });
    const std::string fromCatalogues = catalogueNames ? catalogueNames->completeCatalogueName(typed) : "";
    if (!fromCatalogues.empty())
        completed = systemCompleted ? completed.substr(0, commonPrefixIgnoringCase(completed, fromCatalogues))
                                    : fromCatalogues;
    // Never shorter than what was typed: the catalogue's spelling may set a mark before it ("ʻOumuamua").
    if (completed.size() < typed.size() && beginsWithIgnoringCase(typed, completed))
        completed = typed;
    state.promptText = cutUtf8(completed, longestName);
}

bool OrbitControls::runPrompt(const InputSnapshot& input, const BodyRegistry& bodies, OrbitActions& actions)
{
    bool hadKeyboard = promptOpen();
    std::string& typed = state.promptText;
    for (int i = 0; i < input.pressCount; ++i)
    {
        const KeyPress& press = input.presses[std::size_t(i)];
        if (!promptOpen())
        {
            // A mode, not an action: opens at once, so that nothing typed next is lost.
            if (press.repeat)
                continue;
            for (const PromptKey& opener : promptKeys)
                if (isKeyOf(opener.action, press.key))
                    state.prompt = opener.prompt;
            if (promptOpen())
            {
                hadKeyboard = true;
                typed.clear();
            }
            continue;
        }
        if (press.key == OIS::KC_ESCAPE)
        {
            state.prompt = Prompt::None;
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
        // Only Return or Escape answer the question.
        if (state.prompt == Prompt::ReplaceView)
            continue;
        const bool date = state.prompt == Prompt::Date;
        if (press.key == OIS::KC_BACK)
            eraseLastUtf8(typed);
        else if (press.key == OIS::KC_TAB && state.prompt == Prompt::GoTo)
            completePrompt(bodies);
        else if (isTypable(press.text, date, state.prompt == Prompt::KeepView, state.prompt == Prompt::GoTo, typed))
        {
            std::string longer = typed;
            appendUtf8(longer, press.text);
            if (longer.size() <= longestName)
                typed = longer;
        }
    }
    if (promptOpen())
    {
        actions.statusChanged = true;
        actions.status = promptLine();
    }
    return hadKeyboard;
}

std::string OrbitControls::promptLine() const
{
    switch (state.prompt)
    {
    case Prompt::GoTo:
        return "Go to: " + state.promptText + "_";
    case Prompt::Date:
        return "Date: " + state.promptText + "_";
    case Prompt::KeepView:
        return "Keep view as: " + state.promptText + "_";
    case Prompt::ReplaceView:
        return "A view '" + state.promptText + "' is kept already: Return replaces it, Escape keeps it";
    case Prompt::None:
        break;
    }
    return "";
}

void OrbitControls::askToReplace(const std::string& name)
{
    state.prompt = Prompt::ReplaceView;
    state.promptText = name;
}

OrbitControls::ViewState OrbitControls::viewState() const
{
    ViewState view;
    view.focusIndex = state.hasFocus ? state.focusIndex : -1;
    view.catalogueFocus = state.catalogueFocus;
    view.following = state.following;
    view.timeRate = timeRate();
    view.clockSpeed = clockSpeed();
    view.paused = state.paused;
    view.statisticsShown = state.statisticsShown;
    view.orbitLinesShown = state.orbitLinesShown;
    view.labelsShown = state.labelsShown;
    view.fieldOfView = state.fieldOfView;
    return view;
}

void OrbitControls::recallViewState(const ViewState& view)
{
    state.following = (view.focusIndex >= 0 || view.catalogueFocus) && view.following;
    if (view.focusIndex >= 0)
    {
        state.focusIndex = view.focusIndex;
        state.hasFocus = true;
        state.catalogueFocus.reset();
    }
    else if (view.catalogueFocus)
        focusOnCatalogue(*view.catalogueFocus);
    state.frameFlow.setRate(view.timeRate);
    state.clockFlow.setRate(view.clockSpeed);
    state.paused = view.paused;
    state.statisticsShown = view.statisticsShown;
    state.orbitLinesShown = view.orbitLinesShown;
    state.labelsShown = view.labelsShown;
    state.fieldOfView = std::clamp(view.fieldOfView, narrowestFieldOfView, widestFieldOfView);
}

void OrbitControls::queueRunPresses(const Control& control, const InputSnapshot& input)
{
    const int first = control.inputs[0].code;
    const int last = control.inputs[1].code;
    bool reported = false;
    for (int i = 0; i < input.pressCount; ++i)
    {
        const KeyPress& press = input.presses[std::size_t(i)];
        if (press.repeat || press.key < first || press.key > last)
            continue;
        reported = true;
        if (pendingCount < pending.size())
            pending[pendingCount++] = {control.action, press.key - first};
    }
    // A keyboard that reports no presses still shows a key that went down.
    for (int code = first; !reported && code <= last; ++code)
        if (input.keyDown(OIS::KeyCode(code)) && !previous.keyDown(OIS::KeyCode(code)) && pendingCount < pending.size())
            pending[pendingCount++] = {control.action, code - first};
}

void OrbitControls::firePressed(Action action, const BodyRegistry& bodies, OrbitActions& actions)
{
    actions.statusChanged = true;
    switch (action)
    {
    case Action::Pause:
        state.paused = !state.paused;
        actions.status = state.paused ? "Paused" : timeText();
        break;
    case Action::Faster:
        state.frameFlow.faster(frameRateLadder());
        state.clockFlow.faster(clockSpeedLadder());
        actions.status = timeText();
        break;
    case Action::Slower:
        state.frameFlow.slower(frameRateLadder());
        state.clockFlow.slower(clockSpeedLadder());
        actions.status = timeText();
        break;
    case Action::Reverse:
        state.frameFlow.reverse();
        state.clockFlow.reverse();
        actions.status = timeText();
        break;
    case Action::NormalTime:
        state.frameFlow.setRate(1.0);
        state.clockFlow.setRate(startClockSpeed);
        actions.status = timeText();
        break;
    case Action::Follow:
        if (state.catalogueFocus)
        {
            state.following = !state.following;
            actions.followChanged = true;
            actions.status = (state.following ? "Following " : "Stopped following ") + state.catalogueFocus->name;
            break;
        }
        if (!state.hasFocus || std::size_t(state.focusIndex) >= bodies.size())
        {
            actions.status = "Jump to a body first, then L follows it";
            break;
        }
        state.following = !state.following;
        actions.followChanged = true;
        actions.status = (state.following ? "Following " : "Stopped following ") +
                         bodies.at(std::size_t(state.focusIndex)).definition.Name;
        break;
    case Action::Help:
        state.helpShown = !state.helpShown;
        actions.helpChanged = true;
        actions.statusChanged = false;
        break;
    case Action::OrbitLines:
        state.orbitLinesShown = !state.orbitLinesShown;
        actions.orbitLinesChanged = true;
        actions.statusChanged = false;
        break;
    case Action::Labels:
        state.labelsShown = !state.labelsShown;
        actions.labelsChanged = true;
        actions.statusChanged = false;
        break;
    case Action::Constellations:
        // The sky holds whether they show: it is made anew with the settings.
        actions.constellationsToggled = true;
        actions.statusChanged = false;
        break;
    case Action::Info:
        state.infoShown = !state.infoShown;
        actions.infoChanged = true;
        actions.statusChanged = state.infoShown && !state.hasFocus && !state.catalogueFocus;
        actions.status = "Jump to, go to or pick a body: the panel tells of it";
        break;
    case Action::Pick:
        actions.pick = true;
        actions.statusChanged = false;
        break;
    case Action::Reload:
        actions.reload = true;
        actions.statusChanged = false;
        break;
    case Action::Record:
        actions.recordingToggled = true;
        actions.statusChanged = false;
        break;
    case Action::TrueScale:
        actions.scaleToggled = true;
        actions.statusChanged = false;
        break;
    default:
        actions.statusChanged = false;
        break;
    }
}

OrbitActions OrbitControls::decide(const InputSnapshot& devices, const BodyRegistry& bodies,
                                   const CatalogueNames* catalogues)
{
    catalogueNames = catalogues;
    const InputSnapshot input = flightByPlace(devices, promptOpen());
    OrbitActions actions;
    if (state.actionCooldown >= 0.0f)
        state.actionCooldown -= input.dt;

    // Typing is by letter: the prompt reads the keys as the layout prints them.
    const bool promptHadKeyboard = runPrompt(devices, bodies, actions);
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
            state.focusIndex = nextFocusIndex(state.focusIndex, jump.second, bodies.size());
            state.hasFocus = true;
            state.catalogueFocus.reset();
            actions.jumpTo = state.focusIndex;
        }
    }

    // Counts of motion, not scaled by the frame's time; as slow as the
    // field of view is narrow, so that a count moves the picture as far.
    const float turn = mouseTurnFactor * float(state.fieldOfView / defaultFieldOfView);
    actions.yawDegrees = -float(input.mouseX) * turn;
    actions.pitchDegrees = -float(input.mouseY) * turn;

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
            actions.translation += move.direction * state.moveSpeed;
    actions.translation *= input.dt;

    actions.screenshot = fire(Action::Screenshot, input);
    if (fire(Action::PolygonMode, input))
    {
        state.renderModeIndex = (state.renderModeIndex + 1) % 3;
        actions.polygonModeChanged = true;
    }
    if (fire(Action::Statistics, input))
    {
        state.statisticsShown = !state.statisticsShown;
        actions.statisticsChanged = true;
    }

    for (const Control& control : orbitControls)
    {
        // Prompts open as their key is typed, in runPrompt.
        if (std::any_of(std::begin(promptKeys), std::end(promptKeys),
                        [&control](const PromptKey& opener) { return opener.action == control.action; }))
            continue;
        if (control.trigger == Trigger::PressedInRun)
            queueRunPresses(control, input);
        if (control.trigger != Trigger::Pressed)
            continue;
        for (int n = pressesOf(control, input, previous); n > 0 && pendingCount < pending.size(); --n)
            pending[pendingCount++] = {control.action, 0};
    }
    for (const Action zoom : {Action::ZoomIn, Action::ZoomOut})
        if (const int notches = pressesOf(controlFor(zoom), input, previous))
        {
            const double factor = std::pow(zoomStep, zoom == Action::ZoomIn ? -notches : notches);
            state.fieldOfView = std::clamp(state.fieldOfView * factor, narrowestFieldOfView, widestFieldOfView);
            actions.fieldOfViewChanged = actions.statusChanged = true;
            actions.status = fieldOfViewText(state.fieldOfView);
        }
    if (pendingCount > 0 && state.actionCooldown < 0.0f)
    {
        state.actionCooldown = actionDelay;
        const PendingPress next = pending[0];
        std::rotate(pending.begin(), pending.begin() + 1, pending.begin() + long(pendingCount));
        --pendingCount;
        if (next.action == Action::RecallView)
            actions.recallView = next.which;
        else
            firePressed(next.action, bodies, actions);
    }

    previous = input;
    return actions;
}
