// Where the bodies' names go, judged against discs the engine itself
// projects (Camera::projectSphere).

#include "HeadlessEngine.h"
#include "sim/BodyRegistry.h"
#include "sim/BodySteps.h"
#include "viewer/NameLabels.h"
#include "viewer/StatusText.h"

#include <OgreCamera.h>
#include <OgreSceneNode.h>
#include <OgreSphere.h>

#include <algorithm>
#include <cmath>
#include <sstream>
#include <string>
#include <vector>

namespace
{
constexpr float windowWidth = 800.0f;
constexpr float windowHeight = 600.0f;
// World units: half the width of the Sun's glow particles (media/particles/Sun.particle).
constexpr float sunGlow = 350.0f;
// A plausible width of the overlay font's glyphs at 15 pixels, for names without a font.
constexpr float glyphWidth = 8.0f;

// `count` spheres of size 1 packed round the +Z axis at 5000 like the seeds
// of a sunflower, each on an axis of its own so that they spread in x and y;
// and "Focus", small and behind them, at their centre.
std::string cluster(int count)
{
    std::string text = stillBody("Focus", "Sun", 0.5f, 5600.0f, 0.0f);
    for (int n = 1; n <= count; ++n)
    {
        const double turn = n * 2.39996;   // the golden angle, radians
        std::ostringstream axis;
        axis << std::cos(turn) << " " << std::sin(turn) << " 0";
        text += stillBody("B" + std::to_string(1000 + n), "Sun", 1.0f, 5000.0f + float(n % 7),
                       0.25f * float(std::sqrt(double(n))), axis.str());
    }
    return text;
}

// focus: a section, or "" for none; the sections that must be named, and those that must not.
struct Scene
{
    std::string name, system;
    Ogre::Vector3 eye, target;
    std::string focus;
    std::vector<std::string> named, unnamed;
};

// A planet of size 100 and its moon of size 10, each at its start angle.
std::string planetAndMoon(float planet, float moon)
{
    return stillBody("Planet", "Sun", 100, 5000, planet) + stillBody("Planet.Moon", "Planet", 10, 300, moon);
}

std::vector<Scene> scenes()
{
    const Ogre::Vector3 ahead(0, 0, 5000);
    const std::string behindTheSun = stillBody("Behind", "Sun", 50, 3000, 0) + stillBody("Beside", "Sun", 50, 1500, 90);
    return {
        // Six pixels apart on the screen: the second name finds another side.
        {"TwoBodiesSideBySide", stillBody("Alpha", "Sun", 5, 5000, 0) + stillBody("Beta", "Sun", 5, 5000, 0.2f),
         {0, 0, 3000}, ahead, "", {"Alpha", "Beta"}, {}},
        // Points of light ten pixels apart, one above the other: their names
        // would overlap on the same side.
        {"TwoPointsOneAboveTheOther",
         stillBody("Alpha", "Sun", 1, 5000, 0) + stillBody("Beta", "Sun", 1, 5000, 0.3f, "1 0 0"), {0, 0, 3000}, ahead, "",
         {"Alpha", "Beta"}, {}},
        {"MoonBehindItsPlanet", planetAndMoon(0, 0), {0, 0, 4000}, ahead, "", {"Planet"}, {"Planet.Moon"}},
        // Three pixels across, the planet leaves room beside it for the name of the moon it hides.
        {"MoonBehindItsDistantPlanet", planetAndMoon(90, -90), {5000, 0, -25000}, {5000, 0, 0}, "", {"Planet"},
         {"Planet.Moon"}},
        {"MoonBesideItsPlanet", planetAndMoon(0, 90), {0, 0, 4000}, ahead, "", {"Planet", "Planet.Moon"}, {}},
        // Its name would lie across the planet's disc on every side; the small
        // moon in front of the planet's centre hides too little of it to take its name.
        {"MoonInFrontOfItsPlanet", planetAndMoon(0, 180), {0, 0, 4000}, ahead, "", {"Planet"}, {"Planet.Moon"}},
        // In focus, its name may lie across the disc behind it.
        {"FocusedMoonInFrontOfItsPlanet", planetAndMoon(0, 180), {0, 0, 4000}, ahead, "Planet.Moon",
         {"Planet.Moon", "Planet"}, {}},
        {"BodyBehindTheSun", behindTheSun, {0, 0, -5000}, Ogre::Vector3::ZERO, "", {"Beside"}, {"Behind"}},
        {"FocusedBodyBehindTheSun", behindTheSun, {0, 0, -5000}, Ogre::Vector3::ZERO, "Behind", {"Beside"}, {"Behind"}},
        {"FocusAmongMany", cluster(300), {0, 0, 3000}, ahead, "Focus", {"Focus"}, {}},
        // The camera at the Sun, looking along +Z.
        {"BodyBehindTheCamera", stillBody("Ahead", "Sun", 5, 2000, 10) + stillBody("Behind", "Sun", 5, 2000, 195),
         Ogre::Vector3::ZERO, Ogre::Vector3::UNIT_Z, "", {"Ahead"}, {"Behind"}}};
}

class NameLabelsTest : public HeadlessEngine
{
protected:
    void start(const std::string& system)
    {
        camera = startScene(system);
        ASSERT_NE(nullptr, camera);
        for (const auto& body : bodyRegistry)
            widths.push_back(glyphWidth * float(body->definition.Name.size()));
    }

    void look(const Ogre::Vector3& eye, const Ogre::Vector3& target)
    {
        camera->getParentSceneNode()->setPosition(eye);
        camera->getParentSceneNode()->lookAt(target, Ogre::Node::TS_WORLD);
        runDetailStep(eye);
    }

    const std::vector<LabelPlace>& place(int focus = -1, std::size_t most = NameLabels::most)
    {
        const LabelView view{windowWidth, windowHeight, 1.0f, focus, sunGlow};
        layout.placeLabels(bodyRegistry, *camera, view, widths, most);
        return layout.places();
    }

    bool named(const std::string& section) const
    {
        const std::vector<LabelPlace>& places = layout.places();
        return std::any_of(places.begin(), places.end(),
                           [&](const LabelPlace& place) { return int(place.body) == bodyRegistry.indexOf(section); });
    }

    // A sphere's disc as the engine projects it, pixels; false when off the screen.
    bool discOf(const Ogre::Vector3& centre, float radius, float& x, float& y, float& r) const
    {
        Ogre::Real left, top, right, bottom;
        if (!camera->projectSphere(Ogre::Sphere(centre, radius), &left, &top, &right, &bottom))
            return false;
        x = (left + right + 2.0f) / 4.0f * windowWidth;
        y = (2.0f - top - bottom) / 4.0f * windowHeight;
        r = (right - left) / 4.0f * windowWidth;
        return true;
    }

    // What every layout keeps to: names inside the window and clear of the
    // status strip, two pixels apart at least, of the width given, and off
    // every other body's disc and the Sun's (but points of light, and for a
    // focused name discs behind it), at most `most`.
    void expectClear(int focus, std::size_t most = NameLabels::most) const
    {
        const std::vector<LabelPlace>& places = layout.places();
        EXPECT_LE(places.size(), most);
        const Ogre::Vector3 eye = camera->getDerivedPosition();
        for (std::size_t i = 0; i < places.size(); ++i)
        {
            const LabelPlace& a = places[i];
            const std::string& name = bodyRegistry.at(a.body).definition.Name;
            EXPECT_EQ(widths[a.body], a.width) << name;
            EXPECT_TRUE(a.left >= 0 && a.top >= 0 && a.left + a.width <= windowWidth &&
                        a.top + a.height <= windowHeight) << name << " at " << a.left << "," << a.top;
            EXPECT_TRUE(a.top >= statusStripBottom || a.left + a.width <= (windowWidth - statusStripWidth) / 2 ||
                        a.left >= (windowWidth + statusStripWidth) / 2) << name << " on the status strip";
            for (std::size_t j = i + 1; j < places.size(); ++j)
            {
                const LabelPlace& b = places[j];
                const bool apart = a.left + a.width + 2 <= b.left || b.left + b.width + 2 <= a.left ||
                                   a.top + a.height + 2 <= b.top || b.top + b.height + 2 <= a.top;
                EXPECT_TRUE(apart) << name << " and " << bodyRegistry.at(b.body).definition.Name << " collide";
            }
            const float ownDistance = (bodyCentre(bodyRegistry.at(a.body)) - eye).length();
            const auto expectOff = [&](const Ogre::Vector3& centre, float radius, const std::string& what) {
                float x, y, r;
                if (!discOf(centre, radius, x, y, r) || r < LabelLayout::pointRadius)
                    return;
                if (int(a.body) == focus && (centre - eye).length() > ownDistance)
                    return;
                const float dx = x - std::clamp(x, a.left, a.left + a.width);
                const float dy = y - std::clamp(y, a.top, a.top + a.height);
                // Half a pixel for the two projections' rounding.
                EXPECT_GE(std::sqrt(dx * dx + dy * dy), r - 0.5f) << name << " across the disc of " << what;
            };
            for (std::size_t other = 0; other < bodyRegistry.size(); ++other)
                if (other != a.body)
                {
                    const Body& body = bodyRegistry.at(other);
                    expectOff(bodyCentre(body), body.definition.Size, body.definition.Name);
                }
            expectOff(Ogre::Vector3::ZERO, sunGlow, "the Sun");
        }
    }

    Ogre::Camera* camera = nullptr;
    std::vector<float> widths;
    LabelLayout layout;
};

class LabelScenes : public NameLabelsTest, public ::testing::WithParamInterface<Scene> {};

TEST_P(LabelScenes, NamesAreClearOfOneAnotherAndOfDiscsAndOnlyVisibleBodiesAreNamed)
{
    const Scene& scene = GetParam();
    ASSERT_NO_FATAL_FAILURE(start(scene.system));
    look(scene.eye, scene.target);
    const int focus = scene.focus.empty() ? -1 : bodyRegistry.indexOf(scene.focus);
    place(focus);
    expectClear(focus);
    for (const std::string& section : scene.named)
        EXPECT_TRUE(named(section)) << section;
    for (const std::string& section : scene.unnamed)
        EXPECT_FALSE(named(section)) << section;
    // A focused body that is named is named first.
    EXPECT_TRUE(focus < 0 || !named(scene.focus) || layout.places().front().body == std::size_t(focus));
}

INSTANTIATE_TEST_SUITE_P(Scenes, LabelScenes, ::testing::ValuesIn(scenes()), RowName());

TEST_F(NameLabelsTest, ACrowdIsNamedLargestDiscFirstAndADroppedNameComesBackInTheFirstFrameWithRoom)
{
    ASSERT_NO_FATAL_FAILURE(start(cluster(300)));
    look({0, 0, 3000}, {0, 0, 5000});
    const std::vector<LabelPlace>& places = place();
    expectClear(-1);
    EXPECT_FALSE(named("Focus"));   // without a focus the small body behind the others is crowded out
    ASSERT_GT(places.size(), 10u);
    EXPECT_LT(places.size(), 300u);
    // In rank order: none looks larger than the one named before it.
    const auto looks = [&](const LabelPlace& place) {
        const Body& body = bodyRegistry.at(place.body);
        return body.definition.Size / camera->getDerivedPosition().distance(bodyCentre(body));
    };
    EXPECT_TRUE(std::is_sorted(places.begin(), places.end(), [&](auto& a, auto& b) { return looks(a) > looks(b); }));
    std::size_t dropped = 0;
    while (dropped < bodyRegistry.size() && named(bodyRegistry.at(dropped).sectionName))
        ++dropped;
    ASSERT_LT(dropped, bodyRegistry.size());
    // The crowd gone from view: unnamed, and the dropped name is back in the first frame after.
    for (std::size_t other = 0; other < bodyRegistry.size(); ++other)
        bodyRegistry.at(other).nearShown = other == dropped;
    ASSERT_EQ(1u, place().size());
    EXPECT_EQ(dropped, places.front().body);
    for (const auto& body : bodyRegistry)
        body->nearShown = true;
    EXPECT_EQ(7u, place(-1, 7).size());
    expectClear(-1, 7);
}

TEST_F(NameLabelsTest, ANameKeepsItsSideWhileItsBodyHardlyMoves)
{
    // On its right the moon's name would cross the planet's disc.
    ASSERT_NO_FATAL_FAILURE(
        start(stillBody("Planet", "Sun", 100, 5000, 0) + stillBody("Planet.Moon", "Planet", 10, 150, 90)));
    const std::size_t moon = std::size_t(bodyRegistry.indexOf("Planet.Moon"));
    Body& planet = bodyRegistry.at(std::size_t(bodyRegistry.indexOf("Planet")));
    look({0, 0, 4000}, {0, 0, 5000});
    // Which side of the moon its name stands on, seen from `z` on the axis.
    const auto sideFrom = [&](float z) {
        // Without the detail step, which would show the planet again.
        camera->getParentSceneNode()->setPosition(0, 0, z);
        place();
        float x = 0, y, r;
        EXPECT_TRUE(discOf(bodyCentre(bodyRegistry.at(moon)), 10, x, y, r));
        for (const LabelPlace& place : layout.places())
            if (place.body == moon)
                return place.left > x ? "right" : "left";
        return "none";
    };
    EXPECT_STREQ("left", sideFrom(4000));
    // The planet gone, the right is free; while the moon moves by two pixels, its name stays.
    planet.nearShown = false;
    EXPECT_STREQ("left", sideFrom(3980));
    layout.forgetBodies();
    EXPECT_STREQ("right", sideFrom(3980));
    planet.nearShown = true;
    EXPECT_STREQ("left", sideFrom(4000));
    // Moved by more than a line of text, as after a jump: the right again.
    planet.nearShown = false;
    EXPECT_STREQ("right", sideFrom(3700));
}
}
