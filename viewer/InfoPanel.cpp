#include "viewer/InfoPanel.h"

#include "catalogue/SmallBodies.h"
#include "sim/BodyRegistry.h"
#include "sim/BodySteps.h"
#include "sky/Orbit.h"
#include "viewer/OverlayOrder.h"
#include "viewer/PanelMetrics.h"
#include "viewer/UiScale.h"

#include <OgreOverlay.h>
#include <OgreOverlayContainer.h>
#include <OgreOverlayManager.h>
#include <OgreSceneNode.h>
#include <OgreTextAreaOverlayElement.h>

#include <cmath>
#include <cstdio>

namespace
{
using panelMetrics::lineHeight;
constexpr float margin = panelMetrics::innerMargin;
constexpr float labelsWidth = 118.0f;
constexpr float panelWidth = 330.0f;
constexpr float panelTop = panelMetrics::belowStatus;

std::string degrees(double angle)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.1f\xC2\xB0", angle);
    return text;
}

// A frame-locked period P turns its body 1/P degrees every 60 frames: a full
// turn in 360 |P| seconds at 60 frames a second and a time rate of 1.
std::string frameLockedTurn(float period)
{
    if (period == 0.0f)
        return "none";
    return readableDuration(360.0 * std::abs(period)) + (period < 0 ? ", backwards" : "") + " (60 frames/s)";
}

const Body* parentOf(const BodyRegistry& bodies, const Body& body)
{
    if (body.parentBody)
        return body.parentBody;
    const int index = bodies.indexOf(body.definition.Parent);
    return index >= 0 ? &bodies.at(std::size_t(index)) : nullptr;
}
}

std::string readableNumber(double value)
{
    const double magnitude = std::abs(value);
    char text[64];
    if (!std::isfinite(value))
        return "beyond measure";
    if (magnitude >= 1e9)
        std::snprintf(text, sizeof text, "%.3g", value);
    else if (magnitude >= 1000.0)
    {
        // Grouped by thousands, three figures kept.
        const double unit = std::pow(10.0, std::floor(std::log10(magnitude)) - 2.0);
        long long rounded = std::llround(std::round(magnitude / unit) * unit);
        std::string digits = std::to_string(rounded);
        for (int at = int(digits.size()) - 3; at > 0; at -= 3)
            digits.insert(std::size_t(at), ",");
        return (value < 0 ? "-" : "") + digits;
    }
    else if (magnitude >= 100.0 || magnitude == 0.0)
        std::snprintf(text, sizeof text, "%.0f", value);
    else if (magnitude >= 0.01)
        std::snprintf(text, sizeof text, "%.3g", value);
    else
        std::snprintf(text, sizeof text, "%.2g", value);
    return text;
}

std::string readableDuration(double seconds)
{
    const struct
    {
        double seconds;
        const char* unit;
    } units[] = {{86400.0, " days"}, {3600.0, " h"}, {60.0, " min"}, {1.0, " s"}};
    for (const auto& unit : units)
        if (std::abs(seconds) >= unit.seconds || unit.seconds == 1.0)
            return readableNumber(seconds / unit.seconds) + unit.unit;
    return "";
}

std::vector<Fact> catalogueBodyFacts(const SmallBodies& bodies, std::size_t index, const Ogre::Vector3& place,
                                     const Ogre::Vector3& camera, double days)
{
    const ConicElements orbit = bodies.elements(index);
    const bool comet = bodies.kind(index) == BodyKind::Comet;
    std::string_view name = bodies.name(index);
    while (!name.empty() && name.front() == ' ')
        name.remove_prefix(1);
    std::vector<Fact> facts{{std::string(name), comet ? "comet" : "asteroid"}};
    const double e = orbit.eccentricity, q = orbit.perihelionDistance;
    const std::string open = "none: an open orbit";
    const double a = q / (1.0 - e);
    const auto au = [](double value) { return readableNumber(value) + " AU"; };
    facts.insert(facts.end(), {{"semi-major axis", e < 1.0 ? au(a) : open},
                               {"eccentricity", readableNumber(e)},
                               {"inclination", degrees(orbit.inclination)},
                               {"perihelion", au(q)},
                               {"aphelion", e < 1.0 ? au(a * (1.0 + e)) : open}});
    // Kepler's third law with the Gaussian constant: P = 2 pi a^(3/2) / k days.
    const double periodDays = 2.0 * M_PI * std::pow(a, 1.5) / gaussianGravitationalConstant;
    facts.emplace_back("orbit period", e >= 1.0 ? open
                                       : periodDays >= 2.0 * 365.25 ? readableNumber(periodDays / 365.25) + " years"
                                                                    : readableNumber(periodDays) + " days");
    const float magnitude = bodies.magnitude(index);
    facts.emplace_back(comet ? "M1" : "H", std::isnan(magnitude) ? "not given" : readableNumber(magnitude));
    if (bodies.diameter(index) > 0.0f)
        facts.emplace_back("diameter", readableNumber(bodies.diameter(index)) + " km");
    if (!bodies.orbitClass(index).empty())
        facts.emplace_back("orbit class", std::string(bodies.orbitClass(index)));
    facts.emplace_back("from the Sun", au(bodies.positionAt(index, days).length()));
    facts.emplace_back("from camera", readableNumber(place.distance(camera)) + " units");
    return facts;
}

std::vector<Fact> bodyFacts(const BodyRegistry& bodies, const Body& body, const Ogre::Vector3& camera, double days)
{
    const BodyDefinition& d = body.definition;
    const Ogre::Vector3 centre = bodyCentre(body);
    const Body* parent = parentOf(bodies, body);
    const Ogre::Vector3 parentCentre = parent ? bodyCentre(*parent) : Ogre::Vector3::ZERO;
    std::vector<Fact> facts{
        {d.Name, "[" + body.sectionName + "]"},
        {"orbits", parent ? parent->definition.Name : d.Parent},
        {"radius", readableNumber(d.Size) + " units"},
        {"from camera", readableNumber(centre.distance(camera)) + " units"},
        {"from " + (parent ? parent->definition.Name : d.Parent), readableNumber(centre.distance(parentCentre)) + " units"},
    };
    if (body.keplerOrbit)
    {
        const OrbitElements& orbit = body.keplerOrbit->elements;
        // The frame's own date: its theory's track and last solution have it, at no cost.
        EccentricAnomaly guess = body.eccentricAnomaly;
        const Vector3d place = spherical(datedPlace(body, days, guess, body.theoryTrack.get()));
        facts.insert(facts.end(), {{"semi-major axis", readableNumber(d.OrbitRadius) + " units"},
                                   {"orbit period", readableNumber(orbit.periodDays) + " days"},
                                   {"eccentricity", readableNumber(orbit.eccentricity)},
                                   {"inclination", degrees(orbit.inclination)},
                                   {"ecliptic long.", degrees(place.x)},
                                   {"ecliptic lat.", degrees(place.y)}});
    }
    else if (body.conicOrbit)
    {
        const ConicElements& orbit = body.conicOrbit->elements;
        const Vector3d place = spherical(*realPlaceAU(body, days));
        facts.insert(facts.end(), {{"perihelion", readableNumber(d.PerihelionDistance) + " units, " +
                                                      readableNumber(orbit.perihelionDistance) + " AU"},
                                   {"eccentricity", readableNumber(orbit.eccentricity)},
                                   {"inclination", degrees(orbit.inclination)},
                                   {"from the Sun", readableNumber(place.z) + " AU"},
                                   {"ecliptic long.", degrees(place.x)},
                                   {"ecliptic lat.", degrees(place.y)}});
    }
    else
        facts.insert(facts.end(), {{"orbit radius", readableNumber(d.OrbitRadius) + " units"},
                                   {"orbit period", frameLockedTurn(d.OrbitPeriod)}});
    if (body.datedSpin)
        facts.emplace_back("spin period", readableNumber(std::abs(d.RotationHours)) + " hours" +
                                              (d.RotationHours < 0 ? ", backwards" : ""));
    else
        facts.emplace_back("spin period",
                           frameLockedTurn(d.YawPeriod != 0.0f ? d.YawPeriod : d.PitchPeriod != 0.0f ? d.PitchPeriod
                                                                                                  : d.RollPeriod));
    return facts;
}

InfoPanel::InfoPanel()
{
    Ogre::OverlayManager* overlays = Ogre::OverlayManager::getSingletonPtr();
    if (!overlays)
        return;
    const auto column = [&](const char* name, float left) {
        Ogre::TextAreaOverlayElement* text = createPanelText(*overlays, name);
        text->setPosition(left, margin);
        text->setCharHeight(16.0f);
        text->setSpaceWidth(5.0f);
        return text;
    };
    auto* panel = static_cast<Ogre::OverlayContainer*>(overlays->createOverlayElement("Panel", "OrvTest/InfoPanel"));
    panel->setMetricsMode(Ogre::GMM_PIXELS);
    panel->setPosition(margin, panelTop);
    panel->setDimensions(panelWidth, 2 * margin);
    panel->setMaterialName("Core/StatsBackdrop");
    labels = column("OrvTest/InfoLabels", margin);
    values = column("OrvTest/InfoValues", margin + labelsWidth);
    panel->addChild(labels);
    panel->addChild(values);
    backdrop = panel;
    overlay = overlays->create("OrvTest/Info");
    overlay->setZOrder(overlayOrder::info);
    overlay->add2D(panel);
    overlay->hide();

    // A small cross at the centre of the view: what C picks.
    auto* cross = static_cast<Ogre::TextAreaOverlayElement*>(overlays->createOverlayElement("TextArea", "OrvTest/Cross"));
    cross->setMetricsMode(Ogre::GMM_PIXELS);
    cross->setHorizontalAlignment(Ogre::GHA_CENTER);
    cross->setVerticalAlignment(Ogre::GVA_CENTER);
    cross->setAlignment(Ogre::TextAreaOverlayElement::Center);
    cross->setPosition(0.0f, -12.0f);
    cross->setFontName("StatsFont");
    cross->setCharHeight(24.0f);
    cross->setColourTop(Ogre::ColourValue(1.0f, 0.95f, 0.7f));
    cross->setColourBottom(Ogre::ColourValue(1.0f, 0.8f, 0.45f));
    cross->setCaption("+");
    auto* crossPanel =
        static_cast<Ogre::OverlayContainer*>(overlays->createOverlayElement("Panel", "OrvTest/CrossPanel"));
    crossPanel->setMetricsMode(Ogre::GMM_PIXELS);
    crossPanel->setHorizontalAlignment(Ogre::GHA_CENTER);
    crossPanel->setVerticalAlignment(Ogre::GVA_CENTER);
    crossPanel->addChild(cross);
    crosshair = overlays->create("OrvTest/Crosshair");
    crosshair->setZOrder(overlayOrder::info);
    crosshair->add2D(crossPanel);
    crosshair->hide();
}

void InfoPanel::setVisible(bool showing)
{
    visible = showing;
    showOverlay(overlay, showing);
    showOverlay(crosshair, showing);
}

void InfoPanel::show(const std::vector<Fact>& facts)
{
    if (!overlay || facts == shown)
        return;
    shown = facts;
    std::string left;
    std::string right;
    for (const Fact& fact : facts)
    {
        left += fact.first + "\n";
        right += fact.second + "\n";
    }
    labels->setCaption(left);
    values->setCaption(right);
    backdrop->setHeight((float(facts.size()) * lineHeight + 2 * margin) * scale);
}

void InfoPanel::scaleBy(float factor)
{
    scale *= factor;
    scaleOverlay(overlay, factor);
    scaleOverlay(crosshair, factor);
}
