#include "viewer/UiScale.h"

#include "config/SettingsKeys.h"
#include "viewer/OverlayOrder.h"

#include <OgreFont.h>
#include <OgreFontManager.h>
#include <OgreOverlay.h>
#include <OgreOverlayContainer.h>
#include <OgreOverlayManager.h>
#include <OgreTextAreaOverlayElement.h>

#include <algorithm>
#include <cmath>
#include <string>

float uiScaleForDensity(float dotsPerInch)
{
    const float quarters = std::round(dotsPerInch / 96.0f * 4.0f) / 4.0f;
    return std::isfinite(quarters) ? std::clamp(quarters, smallestUiScale, largestUiScale) : 1.0f;
}

float chooseUiScale(float commandLine, float settings, float display)
{
    const float chosen = commandLine > 0.0f ? commandLine : settings > 0.0f ? settings : display;
    return std::clamp(chosen, smallestUiScale, largestUiScale);
}

void scaleFonts(float scale)
{
    Ogre::FontManager* fonts = Ogre::FontManager::getSingletonPtr();
    if (!fonts)
        return;
    for (const char* name : {"StatsFont", "StatusFont"})
    {
        const Ogre::FontPtr font = fonts->getByName(name);
        if (!font || font->getType() != Ogre::FT_TRUETYPE)
            continue;
        // The glyphs are rendered at this resolution: 96 is one pixel a point
        // at the scale of 1 the overlays are laid out for.
        const bool loaded = font->isLoaded();
        if (loaded)
            font->unload();
        font->setTrueTypeResolution(Ogre::uint(std::lround(96.0f * scale)));
        if (loaded)
            font->load();
    }
}

namespace
{
void scaleElement(Ogre::OverlayElement* element, float scale)
{
    if (element->getMetricsMode() == Ogre::GMM_PIXELS)
    {
        element->setPosition(element->getLeft() * scale, element->getTop() * scale);
        element->setDimensions(element->getWidth() * scale, element->getHeight() * scale);
        if (element->getTypeName() == "TextArea")
        {
            auto* text = static_cast<Ogre::TextAreaOverlayElement*>(element);
            text->setCharHeight(text->getCharHeight() * scale);
            text->setSpaceWidth(text->getSpaceWidth() * scale);
        }
    }
    if (!element->isContainer())
        return;
    for (const auto& child : static_cast<Ogre::OverlayContainer*>(element)->getChildren())
        scaleElement(child.second, scale);
}
}

void showOverlay(Ogre::Overlay* overlay, bool shown)
{
    if (!overlay)
        return;
    if (shown)
        overlay->show();
    else
        overlay->hide();
}

Ogre::TextAreaOverlayElement* createPanelText(Ogre::OverlayManager& overlays, const std::string& name)
{
    auto* text = static_cast<Ogre::TextAreaOverlayElement*>(overlays.createOverlayElement("TextArea", name));
    text->setMetricsMode(Ogre::GMM_PIXELS);
    text->setFontName("StatsFont");
    text->setColourTop(Ogre::ColourValue(0.85f, 0.92f, 1.0f));
    text->setColourBottom(Ogre::ColourValue(0.65f, 0.78f, 0.95f));
    return text;
}

void scaleOverlay(Ogre::Overlay* overlay, float scale)
{
    if (!overlay || scale == 1.0f)
        return;
    for (Ogre::OverlayContainer* container : overlay->get2DElements())
        scaleElement(container, scale);
}
