// The bodies' per-frame motion and detail, on the engine's own nodes.

#include "HeadlessEngine.h"
#include "sim/BodyRegistry.h"
#include "sim/BodySteps.h"

#include <OgreBillboardSet.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>

#include <vector>

namespace
{
// The periods of the orbit and the three spins, and the orbit.
struct Motion
{
    float orbit = 0, pitch = 0, yaw = 0, roll = 0, radius = 100.0f;
    Ogre::Vector3 orbitAxis = Ogre::Vector3::UNIT_Y, pitchAxis = Ogre::Vector3::UNIT_X;
    bool far = true;
};

class BodyStepsTest : public HeadlessEngine
{
protected:
    void SetUp() override
    {
        HeadlessEngine::SetUp();
        sceneManager->getRootSceneNode()->createChildSceneNode("Sun.Position");
    }

    // A bare rig (no entities needed) registered under `parent`, NearDistance 50.
    Body& addBody(const std::string& section, const std::string& parent, const Motion& motion)
    {
        BodyDefinition definition = bodyDefinition(parent, section);
        definition.OrbitRadius = motion.radius;
        definition.OrbitPeriod = motion.orbit;
        definition.PitchPeriod = motion.pitch;
        definition.YawPeriod = motion.yaw;
        definition.RollPeriod = motion.roll;
        definition.OrbitAxis = motion.orbitAxis;
        definition.PitchAxis = motion.pitchAxis;
        definition.Far = motion.far;
        definition.NearDistance = 50;
        Body* body = new Body(section, definition);
        body->orbitNode = sceneManager->getSceneNode(parent + ".Position")->createChildSceneNode(section + ".Orbit");
        body->positionNode = body->orbitNode->createChildSceneNode(section + ".Position");
        body->nearNode = body->orbitNode->createChildSceneNode(section + ".Near");
        body->farNode = body->orbitNode->createChildSceneNode(section + ".Far");
        for (Ogre::SceneNode* node : {body->positionNode, body->nearNode, body->farNode})
            node->setPosition(0, 0, motion.radius);
        body->nearOffset = Ogre::Vector3(0, 0, motion.radius);
        // Something to see, so that visibility is observable.
        body->nearNode->attachObject(sceneManager->createBillboardSet(section + ".NearMark"));
        body->farNode->attachObject(sceneManager->createBillboardSet(section + ".FarMark"));
        bodyRegistry.add(body);
        return *body;
    }

    static bool shown(Ogre::SceneNode* node) { return node->getAttachedObject(0)->getVisible(); }
};

TEST_F(BodyStepsTest, SixtyStepsTurnAPeriodOfOneByOneDegreeAndChildrenFollowOrbitNotSpin)
{
    Body& still = addBody("Still", "Sun", Motion{});
    Body& planet = addBody("Planet", "Sun", Motion{1, 0.01f, -0.02f, 0.03f});
    Body& moon = addBody("Planet.Moon", "Planet", Motion{0, 0, 0, 0, 10.0f});
    for (int frame = 0; frame < 60; ++frame)
        runMotionStep();
    EXPECT_TRUE(turnsNear(Ogre::Quaternion(Ogre::Degree(1), Ogre::Vector3::UNIT_Y), planet.orbitNode->getOrientation()));
    // Each update pitches, then yaws, then rolls, in the turned frame: steps
    // of degrees, where the order shows.
    Ogre::Quaternion spin = Ogre::Quaternion::IDENTITY;
    for (int frame = 0; frame < 60; ++frame)
        spin = spin * Ogre::Quaternion(Ogre::Degree(1.0f / 0.6f), Ogre::Vector3::UNIT_X) *
               Ogre::Quaternion(Ogre::Degree(-1.0f / 1.2f), Ogre::Vector3::UNIT_Y) *
               Ogre::Quaternion(Ogre::Degree(1.0f / 1.8f), Ogre::Vector3::UNIT_Z);
    EXPECT_TRUE(turnsNear(spin, planet.nearNode->getOrientation()));
    for (Ogre::SceneNode* node : {planet.farNode, planet.positionNode, still.orbitNode, still.nearNode})
        EXPECT_TRUE(turnsNear(Ogre::Quaternion::IDENTITY, node->getOrientation())) << node->getName();
    // The moon goes round with the planet's orbit, not with its spin.
    EXPECT_TRUE(turnsNear(planet.orbitNode->getOrientation(), moon.orbitNode->_getDerivedOrientation()));
    EXPECT_TRUE(vectorsNear(planet.orbitNode->getOrientation() * Ogre::Vector3(0, 0, 110), bodyCentre(moon)));
}

TEST_F(BodyStepsTest, DetailFollowsCameraDistance)
{
    Body& shownFar = addBody("A", "Sun", Motion{0, 0, 0, 0, 0.0f});
    Body& noFar = addBody("B", "Sun", Motion{0, 0, 0, 0, 0.0f, Ogre::Vector3::UNIT_Y, Ogre::Vector3::UNIT_X, false});
    const struct { const char* what; float distance; bool nearShown, farShownA, farShownB; } steps[] = {
        // B's far node keeps the visibility it had: on after building, hidden once near.
        {"beyond, far on", 60.0f, false, true, true}, {"at NearDistance", 50.0f, true, false, false},
        {"inside", 10.0f, true, false, false}, {"beyond again", 50.5f, false, true, false}};
    for (const auto& step : steps)
    {
        SCOPED_TRACE(step.what);
        runDetailStep(Ogre::Vector3(0, 0, step.distance));
        EXPECT_EQ(step.nearShown, shown(shownFar.nearNode));
        // A hidden near node is out of the scene graph too, and back when shown.
        EXPECT_EQ(step.nearShown ? shownFar.orbitNode : nullptr, shownFar.nearNode->getParent());
        EXPECT_EQ(step.farShownA, shown(shownFar.farNode));
        EXPECT_EQ(step.nearShown, shown(noFar.nearNode));
        EXPECT_EQ(step.farShownB, shown(noFar.farNode));
    }
}

TEST_F(BodyStepsTest, AHiddenNearModelSpinsAllItMissedWhenShownAgain)
{
    const Motion motion{0.5f, 0.3f, -0.7f, 0.2f, 100.0f, Ogre::Vector3::UNIT_Y, Ogre::Vector3(0.2f, 0, 3)};
    Body& seen = addBody("Seen", "Sun", motion);
    Body& away = addBody("Away", "Sun", motion);
    away.orbitNode->setPosition(0, 0, 100000);
    runDetailStep(Ogre::Vector3(0, 0, 100));
    ASSERT_FALSE(away.nearShown);
    // At two rates, so that the owed spin counts updates and not frames.
    for (double rate : {1.0, 8.0})
    {
        bodyRegistry.setStepMultiplier(rate);
        for (int frame = 0; frame < 100; ++frame)
            runMotionStep();
    }
    away.orbitNode->setPosition(seen.orbitNode->getPosition());
    runDetailStep(seen.orbitNode->getOrientation() * Ogre::Vector3(0, 0, 100));
    ASSERT_TRUE(away.nearShown);
    EXPECT_TRUE(turnsNear(seen.nearNode->getOrientation(), away.nearNode->getOrientation()));
}

TEST_F(BodyStepsTest, NFramesAtRateRAreRTimesNFramesAtRateOne)
{
    // Tilted, non-unit axes; a moon of a moon; all three spins.
    Body& planet = addBody("P", "Sun", Motion{0.7f, -1.3f, 2.9f, 0.45f, 300.0f, Ogre::Vector3(1, 1, 0),
                                              Ogre::Vector3(0.2f, 0, 3)});
    Body& moon = addBody("P.M", "P", Motion{-0.3f, 0.2f, 0, 0, 40.0f});
    Body& minor = addBody("P.M.N", "P.M", Motion{0.11f, 0, 0, 0.5f, 9.0f});
    // Every orbit and spin after `frames` frames at `rate`, from rest.
    const auto turns = [&](double rate, int frames) {
        std::vector<Ogre::Quaternion> out;
        for (const Body* body : {&planet, &moon, &minor})
            for (Ogre::SceneNode* node : {body->orbitNode, body->nearNode})
                node->resetOrientation();
        bodyRegistry.setStepMultiplier(rate);
        for (int n = 0; n < frames; ++n)
            runMotionStep();
        for (const Body* body : {&planet, &moon, &minor})
            for (Ogre::SceneNode* node : {body->orbitNode, body->nearNode})
                out.push_back(node->getOrientation());
        return out;
    };
    // framesAtOne negative: those frames at rate 1, turned back.
    const struct { double rate; int frames, framesAtOne; } rows[] = {
        {8, 30, 240}, {1024, 1, 1024}, {0.25, 80, 20}, {1.0 / 64, 640, 10}, {-2, 50, -100}};
    for (const auto& row : rows)
    {
        const std::vector<Ogre::Quaternion> atRate = turns(row.rate, row.frames);
        const std::vector<Ogre::Quaternion> atOne = turns(1.0, std::abs(row.framesAtOne));
        for (std::size_t i = 0; i < atRate.size(); ++i)
            EXPECT_TRUE(turnsNear(row.framesAtOne < 0 ? atOne[i].Inverse() : atOne[i], atRate[i], 1e-2))
                << row.rate << ", node " << i;
    }
}

TEST(BodyRegistryTest, KeepsOrderClearsOnceAndGivesBodiesItTakesItsRate)
{
    BodyRegistry registry;
    registry.clear();
    registry.setStepMultiplier(8.0);
    for (const char* section : {"Earth", "Mars"})
        registry.add(new Body(section, bodyDefinition("Sun", section)));
    ASSERT_EQ(2u, registry.size());
    EXPECT_EQ("Mars", registry.at(1).sectionName);
    EXPECT_EQ(1, registry.indexOf("Mars"));
    EXPECT_THROW(registry.at(2), std::out_of_range);
    // Bodies read again while time runs at ×8 move at ×8 from their first frame.
    BodyDefinition fast = bodyDefinition("Sun", "Venus");
    fast.OrbitPeriod = 0.5f;
    BodyRegistry incoming;
    incoming.add(new Body("Venus", fast));
    registry.swapBodies(incoming);
    ASSERT_EQ(1u, registry.size());
    EXPECT_TRUE(turnsNear(registry.at(0).orbitTurn.scaledBy(8.0), registry.at(0).orbitTurnNow));
    EXPECT_TRUE(turnsNear(incoming.at(0).orbitTurn.oneStep, incoming.at(0).orbitTurnNow));
    // Run under the sanitizer build, a second destruction of a body fails here.
    registry.clear();
    registry.clear();
    EXPECT_TRUE(registry.empty());
}

TEST(TurnTest, AnyFiniteAxisGivesATurnAndLengthChangesTheAngle)
{
    const struct { const char* name; Ogre::Vector3 axis; float degrees; Ogre::Quaternion expected; } rows[] = {
        {"UnitAxis", Ogre::Vector3::UNIT_Y, 90, Ogre::Quaternion(Ogre::Degree(90), Ogre::Vector3::UNIT_Y)},
        // As the engine's own rotate: a (1, 1, 0) axis turns about 1.4 times as far.
        {"LongerAxis", Ogre::Vector3(1, 1, 0), 10,
         Ogre::Quaternion(Ogre::Radian(2 * std::atan(std::sqrt(2.0f) * std::tan(Ogre::Math::PI / 36))),
                          Ogre::Vector3(1, 1, 0).normalisedCopy())},
        {"AxisAtTheFloatLimit", Ogre::Vector3(0, 3e38f, 0), 30, Ogre::Quaternion(0, 0, 1, 0)},
        {"ZeroAxisHalfWayRound", Ogre::Vector3::ZERO, 180, Ogre::Quaternion::IDENTITY}};
    for (const auto& row : rows)
        EXPECT_TRUE(turnsNear(row.expected, turnAbout(row.axis, row.degrees), 1e-2)) << row.name;
    for (float period : {0.0f, 1e-45f})
        EXPECT_EQ(0.0f, stepForPeriod(period)) << period;
    EXPECT_FLOAT_EQ(-1.0f / 120.0f, stepForPeriod(-2.0f));
}
}
