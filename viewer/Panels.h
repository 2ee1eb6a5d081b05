#ifndef ORVTEST_VIEWER_PANELS_H
#define ORVTEST_VIEWER_PANELS_H

#include "scene/OrbitLines.h"
#include "viewer/InfoPanel.h"
#include "viewer/NameLabels.h"

#include <OgrePrerequisites.h>

#include <string>

class BodyRegistry;
class OrbitControls;
struct OrbitActions;
namespace Ogre
{
class Overlay;
class TextAreaOverlayElement;
}

// What the viewer shows over and beside the bodies, each switched by its
// key: the statistics overlay, the help overlay, the orbit lines and the
// name labels. Holds the engine's objects, owns none of them.
class Panels
{
public:
    // `statistics` may be null (no overlay system), as in tests.
    Panels(Ogre::SceneManager* sceneManager, Ogre::Overlay* statistics);

    // Shows or hides what the frame's actions switched, as the controls now say.
    void apply(const OrbitActions& actions, const OrbitControls& controls, const BodyRegistry& bodies);
    // The bodies are about to be replaced: their orbit lines go first.
    void forgetBodies();
    // The bodies were replaced: orbit lines and labels follow them.
    void takeBodies(const BodyRegistry& bodies);
    // Places this frame's labels, `focus` the registry index of the body in
    // focus (its name first) or -1.
    void update(const BodyRegistry& bodies, const Ogre::Camera& camera, int focus);
    // The names shown in the last frame, where they stand (NameLabels::describe);
    // "" while they are hidden.
    std::string describeLabels(const BodyRegistry& bodies) const { return labels.describe(bodies); }
    // The clock in the bottom right corner, shown while some body follows it.
    void showClock(bool shown);
    // The clock's date, TT days from J2000: the ellipses that turn follow it.
    void setClock(double days);
    void setClockText(const std::string& text);
    // The info panel's lines, while it shows.
    void showInfo(const std::vector<Fact>& facts);
    bool infoShown() const { return info.isVisible(); }
    // Draws the text of every panel `scale` times its size at 96 dpi.
    void setUiScale(float scale);
    // The orbit lines are drawn at the display scale only: at true scale their
    // nodes would compose the display's sizes and large floats.
    void allowOrbitLines(bool allowed);

private:
    Ogre::Overlay* statistics;
    Ogre::Overlay* help;
    Ogre::Overlay* clock = nullptr;
    Ogre::TextAreaOverlayElement* clockText = nullptr;
    std::string clockCaption;
    InfoPanel info;
    float uiScale = 1.0f;
    float windowWidth = 800.0f;    // the viewport, as last seen
    float windowHeight = 600.0f;
    double clockDays = 0.0;
    OrbitLines orbitLines;
    NameLabels labels;
    bool linesWanted = false;
    bool linesAllowed = true;
};

#endif
