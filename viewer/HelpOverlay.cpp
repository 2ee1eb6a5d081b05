#include "viewer/HelpOverlay.h"

#include "viewer/Controls.h"
#include "viewer/OverlayOrder.h"

#include <OgreOverlay.h>
#include <OgreOverlayContainer.h>
#include <OgreOverlayManager.h>
#include <OgreTextAreaOverlayElement.h>

namespace
{
constexpr float lineHeight = 18.0f;    // pixels
constexpr float panelWidth = 760.0f;
constexpr float inputsWidth = 250.0f;
constexpr float margin = 12.0f;

Ogre::TextAreaOverlayElement* makeColumn(Ogre::OverlayManager& overlays, const std::string& name, float left,
                                         const std::string& text)
{
    auto* column = static_cast<Ogre::TextAreaOverlayElement*>(overlays.createOverlayElement("TextArea", name));
    column->setMetricsMode(Ogre::GMM_PIXELS);
    column->setPosition(left, margin);
    column->setDimensions(panelWidth - left - margin, 0.0f);
    column->setFontName("StatsFont");
    column->setCharHeight(16.0f);
    column->setSpaceWidth(5.0f);
    column->setColourTop(Ogre::ColourValue(0.85f, 0.92f, 1.0f));
    column->setColourBottom(Ogre::ColourValue(0.65f, 0.78f, 0.95f));
    column->setCaption(text);
    return column;
}
}

std::vector<std::pair<std::string, std::string>> helpLines()
{
    std::vector<std::pair<std::string, std::string>> lines;
    for (const Control& control : orbitControls)
        lines.emplace_back(control.label, control.description);
    lines.emplace_back("Alt+Tab", "give the mouse and keyboard back to the desktop;");
    lines.emplace_back("", "a click in the window takes them again");
    return lines;
}

Ogre::Overlay* createHelpOverlay()
{
    Ogre::OverlayManager* overlays = Ogre::OverlayManager::getSingletonPtr();
    if (!overlays)
        return nullptr;
    std::string inputs;
    std::string descriptions;
    const auto lines = helpLines();
    for (const auto& line : lines)
    {
        inputs += line.first + "\n";
        descriptions += line.second + "\n";
    }
    const float height = lines.size() * lineHeight + 2 * margin;

    auto* panel = static_cast<Ogre::OverlayContainer*>(overlays->createOverlayElement("Panel", "OrvTest/HelpPanel"));
    panel->setMetricsMode(Ogre::GMM_PIXELS);
    panel->setHorizontalAlignment(Ogre::GHA_CENTER);
    panel->setVerticalAlignment(Ogre::GVA_CENTER);
    panel->setPosition(-panelWidth / 2, -height / 2);
    panel->setDimensions(panelWidth, height);
    panel->setMaterialName("Core/StatsBackdrop");
    panel->addChild(makeColumn(*overlays, "OrvTest/HelpInputs", margin, inputs));
    panel->addChild(makeColumn(*overlays, "OrvTest/HelpActions", margin + inputsWidth, descriptions));

    Ogre::Overlay* help = overlays->create("OrvTest/Help");
    help->setZOrder(overlayOrder::help);
    help->add2D(panel);
    help->hide();
    return help;
}
