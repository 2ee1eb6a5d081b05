#ifndef ORVTEST_SIM_BODY_H
#define ORVTEST_SIM_BODY_H

#include <OgrePrerequisites.h>
#include <OgreQuaternion.h>
#include <OgreVector.h>

#include <string>

// One body of the system: its definition from the system file, the step
// angles derived from its periods, and the scene nodes built for it.
// The nodes belong to the scene manager; a Body never destroys them.
struct Body
{
    Body(const std::string& section, const std::string& name, float size, float orbitRadius,
         const Ogre::Vector3& orbitAxis, float orbitPeriod, const Ogre::Vector3& pitchAxis,
         float pitchPeriod, const Ogre::Vector3& yawAxis, float yawPeriod,
         const Ogre::Vector3& rollAxis, float rollPeriod, float orbitCompleted,
         float pitchCompleted, float yawCompleted, float rollCompleted, const std::string& model,
         const std::string& material, bool far, float nearDistance, float farDistance,
         const std::string& parent);

    std::string sectionName;      // identity: every node and entity is named from it
    std::string Name;             // display name for the status line
    std::string parentNodeName;   // Parent + ".Position"
    std::string Model;            // mesh base name; ".Mesh" is appended
    std::string Material;         // near entity material; empty or "default" keeps the mesh's
    float Size;                   // drawn radius, world units
    float NearDistance;           // world units
    float nearDistanceSquared;
    float FarDistance;            // rendering distance of the far sphere, world units

    Ogre::SceneNode* orbitNode = nullptr;
    Ogre::SceneNode* positionNode = nullptr;
    Ogre::SceneNode* nearNode = nullptr;
    Ogre::SceneNode* farNode = nullptr;

    float OrbitRadius;            // world units along the orbit node's local Z
    float OrbitPeriod;
    float PitchPeriod;
    float YawPeriod;
    float RollPeriod;
    Ogre::Vector3 OrbitAxis;      // axes are used as given, not normalised
    Ogre::Vector3 PitchAxis;
    Ogre::Vector3 YawAxis;
    Ogre::Vector3 RollAxis;
    float OrbitCompleted;         // start angles, degrees
    float PitchCompleted;
    float YawCompleted;
    float RollCompleted;
    float orbitStep;              // degrees per motion update
    float pitchStep;
    float yawStep;
    float rollStep;
    bool Far;                     // show the far sphere beyond NearDistance

    // The turns of one motion update, made once: the orbit turn about
    // OrbitAxis, and the pitch, yaw and roll turns of the near node in one.
    Ogre::Quaternion orbitTurn;
    Ogre::Quaternion spinTurn;
    // What the detail step last made of the near and far nodes; scene
    // construction leaves both shown.
    bool nearShown = true;
    bool farShown = true;
};

// Degrees per motion update for a period: 1 / (period × 60), or 0 for a zero
// period and for one so short that the step is no finite float.
float stepForPeriod(float period);

#endif
