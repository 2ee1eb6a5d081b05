#include "viewer/Following.h"

#include "sim/BodySteps.h"
#include "sim/WorldLimits.h"

#include <OgreSceneNode.h>


void Following::start(const Body& body)
{
    start(bodyCentre(body));
}

void Following::start(const Ogre::Vector3& position)
{
    active = true;
    lastPosition = position;
}

bool Following::keepUp(Ogre::SceneNode* cameraNode, const Body& body)
{
    return keepUp(cameraNode, bodyCentre(body));
}

bool Following::keepUp(Ogre::SceneNode* cameraNode, const Ogre::Vector3& position)
{
    const Ogre::Vector3 eye = cameraNode->getPosition() + (position - lastPosition);
    if (!isFinite(position) || !isFinite(eye))
        return false;
    cameraNode->setPosition(eye);
    lastPosition = position;
    return true;
}
