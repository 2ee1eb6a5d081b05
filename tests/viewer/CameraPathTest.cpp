// A film's flight through kept views, and the flight back to one: where
// the camera is, how fast it goes and which way it turns.

#include "HeadlessEngine.h"
#include "viewer/CameraPath.h"

namespace
{
Ogre::Quaternion turn(float degrees)
{
    return Ogre::Quaternion(Ogre::Degree(degrees), Ogre::Vector3::UNIT_Y);
}

TEST(CameraPathTest, EndsAtItsEndsPassesItsStopsAtOneSpeedAndTurnsTheShortWay)
{
    // Two legs, 3000 and 1000 long at a right angle; the middle turn given as its negative, the same turn.
    const CameraPath path({{Ogre::Vector3(0, 0, 0), turn(0)}, {Ogre::Vector3(3000, 0, 0), -turn(170)},
                           {Ogre::Vector3(3000, 0, 1000), turn(-100)}});
    EXPECT_EQ(Ogre::Vector3(0, 0, 0), path.at(0.0).pose.position);
    EXPECT_EQ(Ogre::Vector3(3000, 0, 1000), path.at(1.0).pose.position);
    EXPECT_TRUE(turnsNear(turn(-100), path.at(1.0).pose.orientation));

    constexpr int steps = 1000;
    double shortest = 1e9, longest = 0.0, turned = 0.0, nearestToMiddle = 1e9;
    CameraPose last = path.at(0.0).pose;
    for (int i = 1; i <= steps; ++i)
    {
        const CameraPath::Place place = path.at(double(i) / steps);
        const double step = last.position.distance(place.pose.position);
        shortest = std::min(shortest, step);
        longest = std::max(longest, step);
        turned += degreesBetween(last.orientation, place.pose.orientation);
        nearestToMiddle = std::min(nearestToMiddle, double(place.pose.position.distance(Ogre::Vector3(3000, 0, 0))));
        last = place.pose;
    }
    EXPECT_NEAR(1.0, shortest / longest, 0.02);
    EXPECT_LT(nearestToMiddle, longest);
    // 170 degrees, then 90 the short way round: never the long way, never a jump.
    EXPECT_NEAR(260.0, turned, 0.5);
}

TEST(CameraPathTest, ATurnWhereTheCameraStandsTakesTimeAndTheFlightBackEasesOntoItsTarget)
{
    const CameraPath still({{Ogre::Vector3(7, 7, 7), turn(0)}, {Ogre::Vector3(7, 7, 7), turn(90)}});
    EXPECT_TRUE(turnsNear(turn(45), still.at(0.5).pose.orientation));
    EXPECT_EQ(Ogre::Vector3(7, 7, 7), still.at(0.5).pose.position);

    CameraMove move;
    move.start(CameraPose{Ogre::Vector3(0, 0, 0), turn(0)}, 1.0f);
    const CameraPose to{Ogre::Vector3(100, 0, 0), turn(60)};
    EXPECT_NEAR(2.8, move.advance(0.1f, to).position.x, 0.01);   // slow at first
    const CameraPose half = move.advance(0.4f, to);
    EXPECT_NEAR(50.0, half.position.x, 0.01);
    EXPECT_TRUE(turnsNear(turn(30), half.orientation, 0.01));
    EXPECT_TRUE(move.active());
    EXPECT_EQ(to.position, move.advance(0.5f, to).position);
    EXPECT_FALSE(move.active());
}
}
