#include "HeadlessEngine.h"
#include "sim/BodyRegistry.h"
#include "sim/BodySteps.h"

#include <OgreBillboardSet.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>

#include <cstdlib>
#include <vector>

namespace
{
class BodyStepsTest : public HeadlessEngine
{
protected:
    // A bare rig (no entities needed) registered under `parent`.
    Body& addBody(const std::string& section, const std::string& parent, float orbitPeriod,
                  float pitchPeriod, float yawPeriod, float rollPeriod, float orbitRadius = 100.0f,
                  bool far = true, const Ogre::Vector3& orbitAxis = Ogre::Vector3::UNIT_Y,
                  const Ogre::Vector3& pitchAxis = Ogre::Vector3::UNIT_X)
    {
        BodyDefinition definition = bodyDefinition(parent, section);
        definition.OrbitRadius = orbitRadius;
        definition.OrbitPeriod = orbitPeriod;
        definition.PitchPeriod = pitchPeriod;
        definition.YawPeriod = yawPeriod;
        definition.RollPeriod = rollPeriod;
        definition.OrbitAxis = orbitAxis;
        definition.PitchAxis = pitchAxis;
        definition.Far = far;
        definition.NearDistance = 50;
        Body* body = new Body(section, definition);
        Ogre::SceneNode* parentNode = sceneManager->getSceneNode(parent + ".Position");
        body->orbitNode = parentNode->createChildSceneNode(section + ".Orbit");
        body->positionNode = body->orbitNode->createChildSceneNode(section + ".Position");
        body->nearNode = body->orbitNode->createChildSceneNode(section + ".Near");
        body->farNode = body->orbitNode->createChildSceneNode(section + ".Far");
        for (Ogre::SceneNode* node : {body->positionNode, body->nearNode, body->farNode})
            node->setPosition(0, 0, orbitRadius);
        body->nearOffset = Ogre::Vector3(0, 0, orbitRadius);
        // Something to see, so that visibility is observable.
        body->nearNode->attachObject(sceneManager->createBillboardSet(section + ".NearMark"));
        body->farNode->attachObject(sceneManager->createBillboardSet(section + ".FarMark"));
        bodyRegistry.add(body);
        return *body;
    }

    void SetUp() override
    {
        HeadlessEngine::SetUp();
        sceneManager->getRootSceneNode()->createChildSceneNode("Sun.Position");
    }

    static bool shown(Ogre::SceneNode* node) { return node->getAttachedObject(0)->getVisible(); }
};

TEST_F(BodyStepsTest, SixtyStepsTurnAPeriodOfOneByOneDegree)
{
    Body& planet = addBody("Planet", "Sun", 1, 2, -4, 0);
    for (int frame = 0; frame < 60; ++frame)
        runMotionStep();
    EXPECT_TRUE(turnsNear(Ogre::Quaternion(Ogre::Degree(1), Ogre::Vector3::UNIT_Y),
                                planet.orbitNode->getOrientation()));
    // Each update pitches, then yaws, in the turned frame.
    Ogre::Quaternion spin = Ogre::Quaternion::IDENTITY;
    for (int frame = 0; frame < 60; ++frame)
        spin = spin * Ogre::Quaternion(Ogre::Degree(1.0f / 120), Ogre::Vector3::UNIT_X) *
               Ogre::Quaternion(Ogre::Degree(-1.0f / 240), Ogre::Vector3::UNIT_Y);
    EXPECT_TRUE(turnsNear(spin, planet.nearNode->getOrientation()));
    EXPECT_TRUE(turnsNear(Ogre::Quaternion::IDENTITY, planet.farNode->getOrientation()));
    EXPECT_TRUE(turnsNear(Ogre::Quaternion::IDENTITY, planet.positionNode->getOrientation()));
}

TEST_F(BodyStepsTest, ZeroPeriodsNeverTurnAndChildrenFollowOrbitNotSpin)
{
    Body& still = addBody("Still", "Sun", 0, 0, 0, 0);
    Body& planet = addBody("Planet", "Sun", 0.01f, 0, 0.001f, 0, 1000.0f);
    Body& moon = addBody("Planet.Moon", "Planet", 0, 0, 0, 0, 10.0f);
    for (int frame = 0; frame < 90 * 60 / 100; ++frame)   // 0.01 period: 100° per 60 steps
        runMotionStep();

    EXPECT_TRUE(turnsNear(Ogre::Quaternion::IDENTITY, still.orbitNode->getOrientation()));
    EXPECT_TRUE(turnsNear(Ogre::Quaternion::IDENTITY, still.nearNode->getOrientation()));
    // The planet has gone a quarter round the sun, to +X; the moon with it.
    EXPECT_TRUE(vectorsNear(Ogre::Vector3(1000, 0, 0), planet.positionNode->_getDerivedPosition(), 0.05f));
    EXPECT_TRUE(vectorsNear(Ogre::Vector3(1010, 0, 0), moon.positionNode->_getDerivedPosition(), 0.05f));
    // ... but the planet's spin did not reach the moon.
    EXPECT_TRUE(turnsNear(planet.orbitNode->getOrientation(),
                                moon.orbitNode->_getDerivedOrientation()));
}

TEST_F(BodyStepsTest, DetailFollowsCameraDistance)
{
    Body& shownFar = addBody("A", "Sun", 0, 0, 0, 0, 0.0f, true);
    Body& noFar = addBody("B", "Sun", 0, 0, 0, 0, 0.0f, false);
    const struct
    {
        const char* what;
        float distance;
        bool nearShown;
        bool farShownA;
        bool farShownB;
    } steps[] = {
        // B's far node keeps the visibility it had: on after building, hidden once near.
        {"beyond, far on", 60.0f, false, true, true},
        {"at NearDistance", 50.0f, true, false, false},
        {"inside", 10.0f, true, false, false},
        {"beyond again", 50.5f, false, true, false},
    };
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
    // Two alike bodies; the camera sits on one, far from the other.
    Body& seen = addBody("Seen", "Sun", 0.5f, 0.3f, -0.7f, 0.2f, 100.0f, true, Ogre::Vector3::UNIT_Y,
                         Ogre::Vector3(0.2f, 0, 3));
    Body& away = addBody("Away", "Sun", 0.5f, 0.3f, -0.7f, 0.2f, 100.0f, true, Ogre::Vector3::UNIT_Y,
                         Ogre::Vector3(0.2f, 0, 3));
    away.orbitNode->setPosition(0, 0, 100000);
    const Ogre::Vector3 camera = seen.orbitNode->getOrientation() * Ogre::Vector3(0, 0, 100);
    runDetailStep(camera);
    ASSERT_FALSE(away.nearShown);
    // At two rates, so that the owed spin counts updates and not frames.
    for (double rate : {1.0, 8.0})
    {
        bodyRegistry.setStepMultiplier(rate);
        for (int frame = 0; frame < 100; ++frame)
            runMotionStep();
    }
    EXPECT_FALSE(turnsNear(seen.nearNode->getOrientation(), away.nearNode->getOrientation()));
    away.orbitNode->setPosition(seen.orbitNode->getPosition());
    runDetailStep(seen.orbitNode->getOrientation() * Ogre::Vector3(0, 0, 100));
    ASSERT_TRUE(away.nearShown);
    EXPECT_TRUE(turnsNear(seen.nearNode->getOrientation(), away.nearNode->getOrientation(), 1e-3));
    EXPECT_TRUE(turnsNear(seen.orbitNode->getOrientation(), away.orbitNode->getOrientation()));
}

TEST_F(BodyStepsTest, PrecomputedTurnsMatchTurningAxisByAxis)
{
    // Odd axes, not of unit length, and steps of both signs.
    Body& body = addBody("Odd", "Sun", 0.7f, -1.3f, 2.9f, 0.45f, 100.0f, true, Ogre::Vector3(1, 1, 0),
                         Ogre::Vector3(0.2f, 0, 3));
    addBody("Odd.Moon", "Odd", 0.3f, 0, 0, 0, 5.0f);
    Ogre::SceneNode* orbit = body.orbitNode;
    Ogre::SceneNode* near = body.nearNode;

    // The same turns made the plain way, one axis at a time.
    Ogre::SceneNode* plainOrbit = sceneManager->getRootSceneNode()->createChildSceneNode();
    Ogre::SceneNode* plainNear = sceneManager->getRootSceneNode()->createChildSceneNode();
    auto turn = [](Ogre::SceneNode* node, const Ogre::Vector3& axis, float degrees) {
        node->rotate(axis, Ogre::Radian(degrees * Ogre::Math::fDeg2Rad), Ogre::Node::TS_LOCAL);
    };
    for (int frame = 0; frame < 600; ++frame)
    {
        runMotionStep();
        turn(plainOrbit, body.definition.OrbitAxis, body.orbitStep);
        turn(plainNear, body.definition.PitchAxis, body.pitchStep);
        turn(plainNear, body.definition.YawAxis, body.yawStep);
        turn(plainNear, body.definition.RollAxis, body.rollStep);
    }
    EXPECT_TRUE(turnsNear(plainOrbit->getOrientation(), orbit->getOrientation(), 1e-3));
    EXPECT_TRUE(turnsNear(plainNear->getOrientation(), near->getOrientation(), 1e-3));
    // The moon's position reflects its parent's turned orbit.
    sceneManager->getRootSceneNode()->_update(true, false);
    EXPECT_TRUE(vectorsNear(plainOrbit->getOrientation() * Ogre::Vector3(0, 0, 100) +
                                orbit->getOrientation() * Ogre::Vector3::ZERO +
                                plainOrbit->getOrientation() *
                                    (sceneManager->getSceneNode("Odd.Moon.Orbit")->getOrientation() *
                                     Ogre::Vector3(0, 0, 5)),
                            sceneManager->getSceneNode("Odd.Moon.Position")->_getDerivedPosition(), 1e-2f));
}

TEST_F(BodyStepsTest, NFramesAtRateRAreRTimesNFramesAtRateOne)
{
    // Tilted, non-unit axes; a moon of a moon; all three spins.
    Body& planet = addBody("P", "Sun", 0.7f, -1.3f, 2.9f, 0.45f, 300.0f, true, Ogre::Vector3(1, 1, 0),
                           Ogre::Vector3(0.2f, 0, 3));
    Body& moon = addBody("P.M", "P", -0.3f, 0.2f, 0, 0, 40.0f);
    Body& minor = addBody("P.M.N", "P.M", 0.11f, 0, 0, 0.5f, 9.0f);
    const Body* bodies[] = {&planet, &moon, &minor};
    auto orientations = [&] {
        std::vector<Ogre::Quaternion> all;
        for (const Body* body : bodies)
        {
            all.push_back(body->orbitNode->getOrientation());
            all.push_back(body->nearNode->getOrientation());
        }
        return all;
    };
    auto reset = [&] {
        for (const Body* body : bodies)
        {
            body->orbitNode->resetOrientation();
            body->nearNode->resetOrientation();
        }
    };
    const struct
    {
        double rate;
        int frames;
        int framesAtOne;   // negative: at rate -1
    } rows[] = {{8, 30, 240}, {1024, 1, 1024}, {0.25, 80, 20}, {1.0 / 64, 640, 10}, {-2, 50, -100}};
    for (const auto& row : rows)
    {
        SCOPED_TRACE(row.rate);
        reset();
        bodyRegistry.setStepMultiplier(row.rate);
        for (int n = 0; n < row.frames; ++n)
            runMotionStep();
        const std::vector<Ogre::Quaternion> atRate = orientations();
        reset();
        bodyRegistry.setStepMultiplier(row.framesAtOne < 0 ? -1.0 : 1.0);
        for (int n = 0; n < std::abs(row.framesAtOne); ++n)
            runMotionStep();
        const std::vector<Ogre::Quaternion> atOne = orientations();
        for (size_t i = 0; i < atOne.size(); ++i)
            EXPECT_TRUE(turnsNear(atOne[i], atRate[i], 1e-2)) << "node " << i;
    }
    // Back at rate 1, a step is again exactly the frame-locked step of the file.
    bodyRegistry.setStepMultiplier(1.0);
    EXPECT_EQ(planet.orbitTurn.oneStep, planet.orbitTurnNow);
    EXPECT_EQ(planet.spinTurn.oneStep, planet.spinTurnNow);
}
}
