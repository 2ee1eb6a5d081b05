#include "viewer/Panels.h"

#include "viewer/HelpOverlay.h"
#include "viewer/OrbitControls.h"
#include "viewer/OverlayOrder.h"
#include "viewer/PanelMetrics.h"
#include "viewer/UiScale.h"

#include <OgreCamera.h>
#include <OgreOverlay.h>
#include <OgreOverlayContainer.h>
#include <OgreOverlayManager.h>
#include <OgreTextAreaOverlayElement.h>
#include <OgreViewport.h>

namespace
{
// The clock reads larger than the panels' text, a line high.
constexpr float clockCharHeight = panelMetrics::lineHeight;
constexpr float clockMargin = panelMetrics::edgeMargin;
}

Panels::Panels(Ogre::SceneManager* sceneManager, Ogre::Overlay* statisticsOverlay)
    : statistics(statisticsOverlay), help(createHelpOverlay()), orbitLines(sceneManager), labels(sceneManager)
{
    Ogre::OverlayManager* overlays = Ogre::OverlayManager::getSingletonPtr();
    if (!overlays)
        return;
    clockText = createPanelText(*overlays, "OrvTest/ClockText");
    clockText->setHorizontalAlignment(Ogre::GHA_RIGHT);
    clockText->setVerticalAlignment(Ogre::GVA_BOTTOM);
    clockText->setAlignment(Ogre::TextAreaOverlayElement::Right);
    clockText->setPosition(-clockMargin, -clockMargin - clockCharHeight);
    clockText->setCharHeight(clockCharHeight);
    clockText->setSpaceWidth(clockCharHeight * 5.0f / 16.0f);
    auto* panel = static_cast<Ogre::OverlayContainer*>(overlays->createOverlayElement("Panel", "OrvTest/ClockPanel"));
    panel->setMetricsMode(Ogre::GMM_PIXELS);
    panel->setHorizontalAlignment(Ogre::GHA_RIGHT);
    panel->setVerticalAlignment(Ogre::GVA_BOTTOM);
    panel->addChild(clockText);
    clock = overlays->create("OrvTest/Clock");
    clock->setZOrder(overlayOrder::clock);
    clock->add2D(panel);
    clock->hide();
}

void Panels::setClock(double days)
{
    clockDays = days;
    if (orbitLines.exists())
        orbitLines.follow(days);
}

void Panels::showClock(bool shown)
{
    showOverlay(clock, shown);
}

void Panels::setClockText(const std::string& text)
{
    // Captions are made into glyph quads: only when the text changes.
    if (!clockText || text == clockCaption)
        return;
    clockCaption = text;
    clockText->setCaption(text);
}

void Panels::apply(const OrbitActions& actions, const OrbitControls& controls, const BodyRegistry& bodies)
{
    if (actions.statisticsChanged)
        showOverlay(statistics, controls.statisticsShown());
    if (actions.helpChanged)
    {
        // Fitted to the window as it is now.
        if (controls.helpShown())
            layOutHelp(help, uiScale, windowWidth, windowHeight);
        showOverlay(help, controls.helpShown());
    }
    if (actions.infoChanged)
        info.setVisible(controls.infoShown());
    if (actions.orbitLinesChanged)
    {
        linesWanted = controls.orbitLinesShown();
        // Made the first time they are shown: a large system starts faster without them.
        if (linesWanted && !orbitLines.exists())
            orbitLines.create(bodies, clockDays);
        orbitLines.setVisible(linesWanted && linesAllowed);
    }
    if (actions.labelsChanged)
        labels.setVisible(controls.labelsShown());
}

void Panels::forgetBodies()
{
    orbitLines.destroy();
}

void Panels::takeBodies(const BodyRegistry& bodies)
{
    labels.forgetBodies();
    if (linesWanted)
    {
        orbitLines.create(bodies, clockDays);
        orbitLines.setVisible(linesAllowed);
    }
}

void Panels::allowOrbitLines(bool allowed)
{
    linesAllowed = allowed;
    if (orbitLines.exists())
        orbitLines.setVisible(linesWanted && linesAllowed);
}

void Panels::update(const BodyRegistry& bodies, const Ogre::Camera& camera, int focus)
{
    if (const Ogre::Viewport* viewport = camera.getViewport())
    {
        windowWidth = float(viewport->getActualWidth());
        windowHeight = float(viewport->getActualHeight());
        labels.update(bodies, camera, windowWidth, windowHeight, focus);
    }
}

void Panels::showInfo(const std::vector<Fact>& facts)
{
    info.show(facts);
}

void Panels::setUiScale(float scale)
{
    const float factor = scale / uiScale;
    uiScale = scale;
    if (clock)
        scaleOverlay(clock, factor);
    info.scaleBy(factor);
    labels.setScale(scale);
}
