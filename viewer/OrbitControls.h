#ifndef ORVTEST_VIEWER_ORBITCONTROLS_H
#define ORVTEST_VIEWER_ORBITCONTROLS_H

#include "sim/WorldLimits.h"
#include "config/Views.h"
#include "sky/Clock.h"
#include "viewer/CatalogueTarget.h"
#include "viewer/Controls.h"
#include "viewer/InputSnapshot.h"

#include <OgreVector.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <optional>
#include <string>

class BodyRegistry;

// What one frame of input asks the orbit viewer to do; applied by OrbitViewer.
struct OrbitActions
{
    bool quit = false;
    int jumpTo = -1;                     // registry index to jump the camera to, or -1
    std::optional<CatalogueTarget> goToCatalogue;   // a catalogue body to take the camera to
    std::string awaitName;               // a typed name to go to once the catalogues' names are sorted
    Ogre::Vector3 translation = Ogre::Vector3::ZERO;   // camera's own axes, world units this frame
    float yawDegrees = 0.0f;
    float pitchDegrees = 0.0f;
    bool screenshot = false;
    bool polygonModeChanged = false;     // to renderModeIndex
    bool statisticsChanged = false;      // to statsShown
    bool followChanged = false;          // to following
    bool helpChanged = false;            // to helpShown
    bool orbitLinesChanged = false;      // to orbitLinesShown
    bool labelsChanged = false;          // to labelsShown
    bool constellationsToggled = false;  // the constellation figures shown or hidden
    bool infoChanged = false;            // to infoShown
    bool pick = false;                   // focus on the body under the centre of the view
    bool reload = false;                 // read the files again now
    bool dateSet = false;                // the clock goes to `date`
    double date = 0.0;                   // days from J2000
    bool statusChanged = false;          // the status line becomes `status`
    std::string status;
    bool keepView = false;               // keep the view as `viewName`
    bool replaceView = false;            // in place of the view of that name, as the person confirmed
    std::string viewName;
    int recallView = -1;                 // the kept view to fly to, 0 for the first; -1 for none
    bool recordingToggled = false;       // start or stop recording a film
    bool fieldOfViewChanged = false;     // to fieldOfView
    bool scaleToggled = false;           // switch between the display scale and true scale
};

// The orbit viewer's decisions: from one frame's input snapshot and its own
// state to the frame's actions. Needs no window, engine or input library.
//
// Held actions (flying, looking, quitting) act in every frame their input is
// down. Gated ones (jumps, screenshots, R, F) fire while their input is down,
// at most once every action delay, with priority in table order. The others
// fire once per press, one press every action delay, in the order pressed.
// The go-to prompt takes every key while it is open.
class OrbitControls
{
public:
    // `clockSpeed`: the clock's speed at the start and after Backspace, sky
    // seconds a second.
    explicit OrbitControls(float moveSpeed, double clockSpeed = defaultClockSpeed);

    // Decides the frame; `bodies` for their number and, at the prompt, their
    // names, and `catalogues` (may be null) for the names of the catalogue
    // bodies, which come after the system's own.
    OrbitActions decide(const InputSnapshot& input, const BodyRegistry& bodies,
                        const CatalogueNames* catalogues = nullptr);

    // The registry index of the body last jumped or gone to (0 before any).
    int focusIndex() const { return state.focusIndex; }
    // Whether a body of the system was jumped or gone to, and is still there.
    bool hasFocus() const { return state.hasFocus; }
    // The catalogue body gone to or picked, in place of a body of the
    // system; nothing while the focus is a system body's or nobody's.
    const std::optional<CatalogueTarget>& catalogueFocus() const { return state.catalogueFocus; }
    // Makes the catalogue body the focus, as going to it would, without
    // moving the camera: what a pick found, or the same body found again
    // in a catalogue read anew.
    void focusOnCatalogue(const CatalogueTarget& target);
    // The catalogue body in focus is gone: the focus, and following it, end.
    void dropCatalogueFocus();
    // The bodies were replaced: the focus moves to the same body's new
    // index, or, where it is gone (-1), is dropped, and so is following it.
    void refocus(int index);
    // Makes the body of that registry index the focus, as a jump would,
    // without moving the camera: what a pick found.
    void focusOn(int index);

    // The signed time rate: how many motion updates one update makes.
    double timeRate() const { return state.frameFlow.rate(); }
    // The clock's speed, sky seconds a second (negative: backwards).
    double clockSpeed() const { return state.clockFlow.rate(); }
    // Whether the time keys speak of the clock (some body follows it) or of
    // the frame-locked rate.
    void setClockInUse(bool inUse) { state.clockInUse = inUse; }
    // The clock's speed now, at the start and after Backspace.
    void startClock(double speed)
    {
        state.clockFlow.setRate(speed);
        startClockSpeed = speed;
    }
    double clockStartSpeed() const { return startClockSpeed; }
    // "Time ×8", "Time ×-1/4", "Time ×2 (paused)"; with the clock in use
    // "Time 6 h/s".
    std::string timeText() const;
    bool paused() const { return state.paused; }

    // Whether the camera keeps its offset from the focus body.
    bool following() const { return state.following; }
    void stopFollowing() { state.following = false; }

    int renderModeIndex() const { return state.renderModeIndex; }   // 0 solid, 1 wireframe, 2 points
    bool statisticsShown() const { return state.statisticsShown; }
    bool helpShown() const { return state.helpShown; }
    bool orbitLinesShown() const { return state.orbitLinesShown; }
    bool labelsShown() const { return state.labelsShown; }
    bool infoShown() const { return state.infoShown; }
    bool promptOpen() const { return state.prompt != Prompt::None; }
    // The camera's vertical field of view, degrees.
    double fieldOfView() const { return state.fieldOfView; }
    void setFieldOfView(double degrees)
    {
        state.fieldOfView = std::clamp(degrees, narrowestFieldOfView, widestFieldOfView);
    }
    // Each press of the zoom keys or notch of the wheel narrows or widens it by this factor.
    static constexpr double zoomStep = 1.25;

    // What a kept view holds of these decisions.
    struct ViewState
    {
        int focusIndex = -1;         // the body gone to, or -1 for none
        std::optional<CatalogueTarget> catalogueFocus;   // or the catalogue body
        bool following = false;
        double timeRate = 1.0;       // as timeRate() says it
        double clockSpeed = 1.0;
        bool paused = false;
        bool statisticsShown = true;
        bool orbitLinesShown = false;
        bool labelsShown = false;
        double fieldOfView = defaultFieldOfView;
    };
    ViewState viewState() const;
    // Takes on a kept view's state, its rate and speed as they are.
    void recallViewState(const ViewState& view);
    // Asks at the prompt whether to replace the kept view of that name: Return
    // does (keepView with replaceView), Escape does not.
    void askToReplace(const std::string& name);
    // What the open prompt shows on the status line.
    std::string promptLine() const;

    // World units per second, for settings read while the viewer runs.
    void setMoveSpeed(float speed) { state.moveSpeed = speed; }

    static constexpr float actionDelay = 0.2f;       // seconds
    static constexpr float mouseTurnFactor = 0.13f;  // degrees per mouse count

private:
    bool down(Action action, const InputSnapshot& input) const;
    // A gated action fires while its input is down and the cooldown has run out.
    bool fire(Action action, const InputSnapshot& input);
    // Feeds the frame's key presses to the prompt, opening it on the go-to
    // key; true when the prompt had the keyboard at any time in this frame.
    bool runPrompt(const InputSnapshot& input, const BodyRegistry& bodies, OrbitActions& actions);
    void submitPrompt(const BodyRegistry& bodies, OrbitActions& actions);
    void completePrompt(const BodyRegistry& bodies);
    // Of the frame being decided; null for none.
    const CatalogueNames* catalogueNames = nullptr;
    void firePressed(Action action, const BodyRegistry& bodies, OrbitActions& actions);

    enum class Prompt
    {
        None,
        GoTo,
        Date,
        KeepView,
        ReplaceView,
    };
    // The actions whose keys open a prompt as they are typed.
    struct PromptKey
    {
        Action action;
        Prompt prompt;
    };
    static constexpr PromptKey promptKeys[] = {
        {Action::GoTo, Prompt::GoTo}, {Action::SetDate, Prompt::Date}, {Action::KeepView, Prompt::KeepView}};
    struct State
    {
        int focusIndex = 0;
        bool hasFocus = false;
        std::optional<CatalogueTarget> catalogueFocus;
        float actionCooldown = 0.0f;    // seconds until a gated action may fire again
        float moveSpeed;                // world units per second
        int renderModeIndex = 0;
        bool statisticsShown = true;
        TimeFlow frameFlow{1.0};        // motion updates an update
        TimeFlow clockFlow;             // sky seconds a second
        bool paused = false;
        bool following = false;
        bool helpShown = false;
        bool orbitLinesShown = false;
        bool labelsShown = false;
        bool infoShown = false;
        double fieldOfView = defaultFieldOfView;   // vertical, degrees
        Prompt prompt = Prompt::None;
        std::string promptText;         // UTF-8, what has been typed at the prompt
        bool clockInUse = false;
    } state;
    double startClockSpeed;
    InputSnapshot previous;
    // Queues the presses of a run of keys, in the order typed, each with its place in the run.
    void queueRunPresses(const Control& control, const InputSnapshot& input);

    // Pressed actions waiting for the action delay to run out, first first.
    struct PendingPress
    {
        Action action;
        int which;     // the key's place in its run
    };
    std::array<PendingPress, 16> pending{};
    std::size_t pendingCount = 0;
    // Escape that closed the prompt must not also quit while it is held.
    bool escapeClosedPrompt = false;
};

// The focus index after a jump of `step` (+1 or -1) from `index` among `count` bodies.
int nextFocusIndex(int index, int step, std::size_t count);

// "Field of view 36°", as the status line says it: to a tenth of a degree
// below 10 degrees, where the steps are that fine.
std::string fieldOfViewText(double degrees);

// The body a go-to name means: the first whose Name or section name equals it,
// ignoring case (of Latin, Greek and Cyrillic letters), else the first that
// begins with it; -1 for none. With `beginning` false, only one that equals it.
int findBodyByName(const BodyRegistry& bodies, const std::string& name, bool beginning = true);

// The longest prefix that every Name and section name beginning with `typed`
// (ignoring case) shares, in the case of the first of them; `typed` itself
// when nothing begins with it.
std::string completeBodyName(const BodyRegistry& bodies, const std::string& typed);

#endif
