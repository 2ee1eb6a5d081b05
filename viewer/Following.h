#ifndef ORVTEST_VIEWER_FOLLOWING_H
#define ORVTEST_VIEWER_FOLLOWING_H

#include <OgrePrerequisites.h>
#include <OgreVector.h>

struct Body;

// The camera keeping its offset from a moving body: every frame it moves by
// what the body moved since the last, so looking and flying go on as usual,
// relative to the body.
class Following
{
public:
    // Follows `body` from where the camera is now.
    void start(const Body& body);
    // Follows whatever stands at `position` (a catalogue body's place) from where the camera is now.
    void start(const Ogre::Vector3& position);
    void stop() { active = false; }
    bool isActive() const { return active; }
    // Moves the camera node along with the body; false (and moves nothing)
    // when the body or the camera would leave the float range.
    bool keepUp(Ogre::SceneNode* cameraNode, const Body& body);
    // The same for what now stands at `position`.
    bool keepUp(Ogre::SceneNode* cameraNode, const Ogre::Vector3& position);

private:
    bool active = false;
    Ogre::Vector3 lastPosition = Ogre::Vector3::ZERO;   // of the body, world units
};

#endif
