#include "viewer/Following.h"

#include "sim/BodySteps.h"
#include "sim/WorldLimits.h"

#include <OgreSceneNode.h>


void Following::start(const Body& body)
{
    active = true;
    lastPosition = bodyCentre(body);
}

bool Following::keepUp(Ogre::SceneNode* cameraNode, const Body& body)
{
    const Ogre::Vector3 position = bodyCentre(body);
    const Ogre::Vector3 eye = cameraNode->getPosition() + (position - lastPosition);
    if (!isFinite(position) || !isFinite(eye))
        return false;
    cameraNode->setPosition(eye);
    lastPosition = position;
    return true;
}
