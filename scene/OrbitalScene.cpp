#include "scene/OrbitalScene.h"

#include "config/AppSettings.h"
#include "scene/BodyRig.h"
#include "scene/SphereMesh.h"
#include "scene/SunAndStars.h"
#include "sim/BodyRegistry.h"
#include "sim/BodySteps.h"

#include <OgreMeshManager.h>
#include <OgreSceneManager.h>

void buildOrbitalScene(Ogre::SceneManager* sceneManager, const Ogre::Vector3& cameraPosition, double clockDays)
{
    sceneManager->setAmbientLight(appSettings.AmbientLight);
    sceneManager->setShadowTechnique(appSettings.ShadowTechnique);

    createSun(sceneManager);

    for (const sceneNames::SphereMeshSize& sphere : sceneNames::sphereMeshes)
        if (!Ogre::MeshManager::getSingleton().resourceExists(sphere.name))
            createSphereMesh(sphere.name, sphere.rings, sphere.segments);

    createSunLight(sceneManager);

    rigBodies(bodyRegistry, sceneManager);
    placeDatedBodies(clockDays);
    runDetailStep(cameraPosition);

    createStarField(sceneManager);
}
