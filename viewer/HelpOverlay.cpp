#include "viewer/HelpOverlay.h"

#include "config/Utf8.h"
#include "viewer/Controls.h"
#include "viewer/OverlayOrder.h"
#include "viewer/PanelMetrics.h"

#include <OgreFont.h>
#include <OgreOverlay.h>
#include <OgreOverlayContainer.h>
#include <OgreOverlayManager.h>
#include <OgreTextAreaOverlayElement.h>

#include <algorithm>

namespace
{
using panelMetrics::lineHeight;
constexpr float margin = panelMetrics::edgeMargin;
constexpr float columnGap = 20.0f;

constexpr float charHeight = panelMetrics::textHeight;
constexpr float spaceWidth = 5.0f;

Ogre::TextAreaOverlayElement* makeColumn(Ogre::OverlayManager& overlays, const std::string& name,
                                         const std::string& text)
{
    Ogre::TextAreaOverlayElement* column = createPanelText(overlays, name);
    column->setCaption(text);
    return column;
}
}

std::vector<std::pair<std::string, std::string>> helpLines()
{
    std::vector<std::pair<std::string, std::string>> lines;
    for (const Control& control : orbitControls)
        lines.emplace_back(control.label, control.description);
    lines.emplace_back("W S A D Q E", "fly by place: the keys where a US keyboard has them, whatever");
    lines.emplace_back("", "your layout prints; Shift+such a key gives its letter's command");
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
    for (const auto& line : helpLines())
    {
        inputs += line.first + "\n";
        descriptions += line.second + "\n";
    }
    auto* panel = static_cast<Ogre::OverlayContainer*>(overlays->createOverlayElement("Panel", "OrvTest/HelpPanel"));
    panel->setMetricsMode(Ogre::GMM_PIXELS);
    panel->setHorizontalAlignment(Ogre::GHA_CENTER);
    panel->setVerticalAlignment(Ogre::GVA_CENTER);
    panel->setMaterialName("Core/StatsBackdrop");
    panel->addChild(makeColumn(*overlays, "OrvTest/HelpInputs", inputs));
    panel->addChild(makeColumn(*overlays, "OrvTest/HelpActions", descriptions));

    Ogre::Overlay* help = overlays->create("OrvTest/Help");
    help->setZOrder(overlayOrder::help);
    help->add2D(panel);
    help->hide();
    layOutHelp(help, 1.0f, 800.0f, 600.0f);
    return help;
}

HelpSize helpSize(std::size_t lines, const HelpColumns& columns, float scale, float windowWidth, float windowHeight)
{
    HelpSize size;
    const float width = 2 * margin + columns.inputs + columnGap + columns.descriptions;
    const float height = float(lines) * lineHeight + 2 * margin;
    // A little clear of the window's edges.
    size.factor = scale * std::min({1.0f, 0.98f * windowWidth / (width * scale), 0.98f * windowHeight / (height * scale)});
    size.width = width * size.factor;
    size.height = height * size.factor;
    size.charHeight = charHeight * size.factor;
    return size;
}

namespace
{
// How wide the text is at the help's character height, as the font draws it.
float widthOf(const Ogre::Font& font, const std::string& text)
{
    float width = 0.0f;
    for (std::size_t at = 0; at < text.size();)
    {
        const std::uint32_t codePoint = nextCodePoint(text, at);
        width += codePoint == ' ' ? spaceWidth : charHeight * font.getGlyphAspectRatio(codePoint);
    }
    return width;
}
}

void layOutHelp(Ogre::Overlay* help, float scale, float windowWidth, float windowHeight)
{
    if (!help)
        return;
    Ogre::OverlayContainer* panel = help->getChild("OrvTest/HelpPanel");
    auto* inputs = static_cast<Ogre::TextAreaOverlayElement*>(panel->getChild("OrvTest/HelpInputs"));
    auto* descriptions = static_cast<Ogre::TextAreaOverlayElement*>(panel->getChild("OrvTest/HelpActions"));
    const Ogre::FontPtr& font = inputs->getFont();
    HelpColumns columns;
    const auto lines = helpLines();
    for (const auto& line : lines)
    {
        columns.inputs = std::max(columns.inputs, widthOf(*font, line.first));
        columns.descriptions = std::max(columns.descriptions, widthOf(*font, line.second));
    }
    const HelpSize size = helpSize(lines.size(), columns, scale, windowWidth, windowHeight);
    const float factor = size.factor;
    panel->setPosition(-size.width / 2, -size.height / 2);
    panel->setDimensions(size.width, size.height);
    float left = margin;
    for (Ogre::TextAreaOverlayElement* column : {inputs, descriptions})
    {
        column->setPosition(left * factor, margin * factor);
        column->setCharHeight(size.charHeight);
        column->setSpaceWidth(spaceWidth * factor);
        left += columns.inputs + columnGap;
    }
}
