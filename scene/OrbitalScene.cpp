#include "scene/OrbitalScene.h"

#include "config/AppSettings.h"
#include "scene/BodyRig.h"
#include "scene/BodyShading.h"
#include "scene/SphereMesh.h"
#include "scene/SunAndStars.h"
#include "sim/BodyRegistry.h"
#include "sim/BodySteps.h"
#include "sim/SceneNames.h"

#include <OgreCamera.h>
#include <OgreMeshManager.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>

Ogre::Camera* createStartCamera(Ogre::SceneManager* sceneManager)
{
    Ogre::Camera* camera = sceneManager->createCamera(sceneNames::camera);
    Ogre::SceneNode* node = sceneManager->getRootSceneNode()->createChildSceneNode(sceneNames::camera);
    node->setFixedYawAxis(true);
    node->attachObject(camera);
    node->setPosition(0, 0, -14500);
    node->lookAt(Ogre::Vector3(0, 0, -5000), Ogre::Node::TS_WORLD);
    camera->setNearClipDistance(appSettings.NearClipDistance);
    return camera;
}

void buildOrbitalScene(Ogre::SceneManager* sceneManager, const Ogre::Vector3& cameraPosition, double dynamicalDays)
{
    sceneManager->setAmbientLight(appSettings.AmbientLight);
    // None where the bodies shade their own shadows (scene/BodyShading.h).
    sceneManager->setShadowTechnique(shadowTechniqueFor(bodyRegistry));

    createSun(sceneManager);

    for (const sceneNames::SphereMeshSize& sphere : sceneNames::sphereMeshes)
        if (!Ogre::MeshManager::getSingleton().resourceExists(sphere.name))
            createSphereMesh(sphere.name, sphere.rings, sphere.segments);

    createSunLight(sceneManager);

    rigBodies(bodyRegistry, sceneManager);
    placeDatedBodies(dynamicalDays);
    runDetailStep(cameraPosition);

    createStarField(sceneManager);
}
