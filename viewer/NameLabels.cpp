#include "viewer/NameLabels.h"

#include "sim/BodyRegistry.h"
#include "sim/BodySteps.h"
#include "viewer/OverlayOrder.h"
#include "viewer/StatusText.h"

#include <OgreCamera.h>
#include <OgreSceneNode.h>
#include <OgreOverlay.h>
#include <OgreOverlayContainer.h>
#include <OgreOverlayManager.h>
#include <OgreTextAreaOverlayElement.h>

#include <algorithm>
#include <cmath>

namespace
{
constexpr float charHeight = 15.0f;   // pixels
}

void placeLabels(const BodyRegistry& bodies, const Ogre::Camera& camera, float width, float height,
                 std::size_t most, std::vector<LabelPlace>& places, float scale)
{
    const float textHeight = charHeight * scale;
    places.clear();
    const auto& view = camera.getViewMatrix();
    const auto& projection = camera.getProjectionMatrix();
    const float pixelsPerUnit = height / (2.0f * std::tan(camera.getFOVy().valueRadians() / 2.0f));
    for (std::size_t i = 0; i < bodies.size(); ++i)
    {
        const Body& body = bodies.at(i);
        const Ogre::Vector3 eye = view * bodyCentre(body);
        // The camera looks down its -Z axis: nothing at or behind it is named.
        const float distance = -eye.z;
        if (!(distance > camera.getNearClipDistance()))
            continue;
        const bool farDrawn = body.farShown && body.definition.Far && distance <= body.definition.FarDistance;
        if (!body.nearShown && !farDrawn)
            continue;
        const Ogre::Vector3 onScreen = projection * eye;
        const float x = (onScreen.x + 1.0f) * 0.5f * width;
        const float y = (1.0f - onScreen.y) * 0.5f * height;
        if (!(x >= 0.0f && x <= width && y >= 0.0f && y <= height))
            continue;
        const float discRadius = std::max(std::min(body.definition.Size / distance * pixelsPerUnit, width), 2.0f);
        // Right of the disc, or left of it where the name would run off the window.
        const float textWidth = 0.6f * textHeight * float(body.definition.Name.size());
        const float gap = 4.0f * scale;
        float left = x + discRadius + gap;
        if (left + textWidth > width)
            left = std::max(0.0f, x - discRadius - gap - textWidth);
        LabelPlace place{i, distance, left, std::max(0.0f, y - textHeight / 2.0f)};
        // Clear of the status line's strip at the top centre.
        if (place.top < statusStripBottom * scale &&
            std::abs(place.left - width / 2.0f) < statusStripWidth * scale / 2.0f)
            place.top = statusStripBottom * scale;
        places.push_back(place);
    }
    const auto nearer = [](const LabelPlace& a, const LabelPlace& b) { return a.distance < b.distance; };
    if (places.size() > most)
    {
        std::nth_element(places.begin(), places.begin() + long(most), places.end(), nearer);
        places.resize(most);
    }
    std::sort(places.begin(), places.end(), nearer);
}

NameLabels::NameLabels()
{
    Ogre::OverlayManager* overlays = Ogre::OverlayManager::getSingletonPtr();
    if (!overlays)
        return;
    overlay = overlays->create("OrvTest/Labels");
    // Under the statistics and the help.
    overlay->setZOrder(overlayOrder::labels);
    auto* panel = static_cast<Ogre::OverlayContainer*>(overlays->createOverlayElement("Panel", "OrvTest/LabelPanel"));
    panel->setMetricsMode(Ogre::GMM_PIXELS);
    panel->setDimensions(1.0f, 1.0f);
    for (std::size_t n = 0; n < most; ++n)
    {
        auto* text = static_cast<Ogre::TextAreaOverlayElement*>(
            overlays->createOverlayElement("TextArea", "OrvTest/Label" + std::to_string(n)));
        text->setMetricsMode(Ogre::GMM_PIXELS);
        text->setFontName("StatsFont");
        // Pale on the dark sky.
        text->setColourTop(Ogre::ColourValue(0.8f, 0.9f, 1.0f));
        text->setColourBottom(Ogre::ColourValue(0.6f, 0.75f, 0.95f));
        text->hide();
        panel->addChild(text);
        texts.push_back(text);
    }
    setScale(scale);
    shownBody.assign(most, nullptr);
    places.reserve(most * 4);
    overlay->add2D(panel);
    overlay->hide();
}

void NameLabels::setScale(float uiScale)
{
    scale = uiScale;
    for (Ogre::TextAreaOverlayElement* text : texts)
    {
        text->setCharHeight(charHeight * scale);
        text->setSpaceWidth(5.0f * scale);
        text->setDimensions(200.0f * scale, charHeight * scale);
    }
}

void NameLabels::forgetBodies()
{
    std::fill(shownBody.begin(), shownBody.end(), nullptr);
}

void NameLabels::setVisible(bool shown)
{
    visible = shown;
    showOverlay(overlay, shown);
}

void NameLabels::update(const BodyRegistry& bodies, const Ogre::Camera& camera, float width, float height)
{
    if (!visible || !overlay)
        return;
    placeLabels(bodies, camera, width, height, most, places, scale);
    for (std::size_t n = 0; n < texts.size(); ++n)
    {
        Ogre::TextAreaOverlayElement* text = texts[n];
        if (n >= places.size())
        {
            text->hide();
            shownBody[n] = nullptr;
            continue;
        }
        const Body& body = bodies.at(places[n].body);
        if (shownBody[n] != &body)
        {
            text->setCaption(body.definition.Name);
            shownBody[n] = &body;
        }
        text->setPosition(places[n].left, places[n].top);
        text->show();
    }
}
