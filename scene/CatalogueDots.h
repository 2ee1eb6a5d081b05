#ifndef ORVTEST_SCENE_CATALOGUEDOTS_H
#define ORVTEST_SCENE_CATALOGUEDOTS_H

#include "scene/DotArrays.h"
#include "sky/RadialMap.h"
#include "sky/Vector.h"

#include <OgreMovableObject.h>
#include <OgreRenderable.h>

#include <memory>
#include <string>
#include <vector>

class SmallBodies;
class SphereBatch;

// The asteroids and comets of the catalogues, a million and more, as dots
// that follow the clock, and those near the camera as small spheres.
//
// Nothing is done per body on the processor in a frame. The graphics card
// solves every dot's orbit from its elements (scene/DotArrays.h) in a
// compute program (media/programs/CatalogueDots.comp), maps its distance
// from the Sun onto the system's display scale (sky/RadialMap.h), projects
// it and stores it in its pixel with its depth; one triangle over the view
// then lays that picture over the scene, each dot at its own depth
// (CatalogueDots.material). A software renderer sets up every point or
// triangle on its own, at about 150 ns each: a million points would take
// 150 ms a frame, where the compute program takes 30 (docs/PERFORMANCE.md).
//
// With the clock stopped and the camera still nothing of that changes, and
// a frame lays the last picture over the scene again without solving.
//
// The same program lists the dots near enough to be a pixel across as a
// sphere (the size their absolute magnitude gives); the next frame draws
// those, at most nearCapacity a catalogue, as spheres in the far-sphere
// material, placed on the processor in double precision.
//
// It needs OpenGL 4.3 (compute programs and storage buffers), which Mesa's
// llvmpipe and every current driver give; without it, or without a render
// system (the headless tests), it keeps the catalogues and draws nothing,
// and unavailable() says why. The caller owns it and deletes it while the
// render window's context is still current, before the scene manager goes.
class CatalogueDots : public Ogre::MovableObject
{
public:
    static constexpr std::size_t nearCapacity = 256;
    // The dots within centreReach pixels of the view's centre the program
    // lists for picking, at most centreCapacity a catalogue: a pick solves
    // these again on the processor, not a million.
    static constexpr std::size_t centreCapacity = 4096;
    static constexpr float centreReach = 5.0f;

    // Attaches itself to the root node.
    explicit CatalogueDots(Ogre::SceneManager* sceneManager);
    ~CatalogueDots() override;

    // Shows the dots of catalogue `slot` in place of those it showed, once
    // they are on the graphics card (a few frames); null shows none.
    // `bodies` are the catalogue's, for the spheres near the camera.
    void show(std::size_t slot, std::shared_ptr<const DotArrays> dots, std::shared_ptr<const SmallBodies> bodies);
    // The map from true distances to world units (the system's display scale).
    void setMap(const RadialMap& map);
    // The time shown: TT days from J2000.
    void setTime(double dynamicalDays) { days = dynamicalDays; }
    // At true scale the dots stand at their real places, km from the camera
    // at `cameraKm` (from the Sun, in the world's axes), behind every body:
    // the picture is drawn with the sky, in the farthest depth range. The
    // spheres near the camera are drawn in every range, at their real size.
    void setTrueScale(bool on, const Vector3d& cameraKm = {});
    bool atTrueScale() const { return trueScale; }

    // Dots of every catalogue handed over, shown or on their way.
    std::size_t dotCount() const;
    // Dots the graphics card has, of every catalogue.
    std::size_t dotsOnCard() const;
    // Spheres drawn in the last frame.
    std::size_t sphereCount() const;
    // Why nothing can be drawn on this render system; empty when it can (or
    // before the first frame has tried).
    const std::string& unavailable() const { return missing; }

    // The bodies the last frame drew within centreReach pixels of the
    // view's centre, and those it drew as spheres: the catalogue (its slot
    // and bodies), the body's index there and the depth the program gave
    // its dot (0 for a sphere), nearest first. Reads the list back from the
    // graphics card: for a pick, not for every frame. Empty without a
    // render system that draws the dots.
    struct Candidate
    {
        std::size_t slot;
        std::size_t index;
        const SmallBodies* bodies;
        std::uint32_t depth;   // 24 bits of the view's depth range
    };
    std::vector<Candidate> nearCentre() const;

    // Where a catalogue body stands in the world at the time shown (at
    // true scale: km from the camera), and its radius in world units: from
    // its H, or at true scale its diameter where the catalogue gives one.
    Ogre::Vector3 placeOf(const SmallBodies& bodies, std::size_t index) const;
    double radiusOf(const SmallBodies& bodies, std::size_t index) const;
    // At true scale, the spheres the last frame listed, added to `spheres`:
    // centres km from the Sun, radii km.
    void addSpheresKm(std::vector<std::pair<Vector3d, double>>& spheres) const;

    const Ogre::String& getMovableType() const override;
    const Ogre::AxisAlignedBox& getBoundingBox() const override;
    Ogre::Real getBoundingRadius() const override { return 0.0f; }
    void _notifyCurrentCamera(Ogre::Camera* camera) override;
    void _updateRenderQueue(Ogre::RenderQueue* queue) override;
    void visitRenderables(Ogre::Renderable::Visitor* visitor, bool debugRenderables) override;

    class Picture;
    struct Device;

    // The graphics card's work of a frame, before the picture is laid over
    // it: runs as the picture is drawn.
    void drawDots(Ogre::RenderSystem* renderSystem);

private:
    // A catalogue's dots as the program draws them.
    struct Shown
    {
        std::vector<std::uint32_t> catalogueIndex;   // of each dot
        std::vector<DotArrays::Band> bands;
        double referenceDays = 0.0;
        std::size_t count = 0;
        float largestRadius = 0.0f;   // world units, of the brightest asteroid
        std::shared_ptr<const SmallBodies> bodies;
    };
    // What the graphics card draws for a catalogue, and what comes to
    // replace it: its arrays go over a few frames (uploadBytesPerFrame), the
    // old dots drawn meanwhile, so that no frame waits for them all.
    struct Slot
    {
        Shown drawn;
        Shown coming;
        std::shared_ptr<const DotArrays> arrays;   // coming's, until they are all on the card
        bool replacing = false;
        std::vector<std::uint32_t> near;           // dots the last frame listed as near
    };
    static constexpr std::size_t uploadBytesPerFrame = 16u << 20;

    Ogre::SceneManager* sceneManager;
    std::vector<Slot> slots;
    RadialMap map;
    unsigned long mapVersion = 0;
    double days = 0.0;
    bool trueScale = false;
    Vector3d trueScaleCamera;
    Ogre::Camera* camera = nullptr;
    std::unique_ptr<Picture> picture;
    std::unique_ptr<SphereBatch> makeSpheres(const char* meshName);
    Ogre::LightList sunLight;     // the spheres' light, which they refer to
    std::unique_ptr<SphereBatch> coarseSpheres, fineSpheres;
    float pixelsPerUnit = 1.0f;   // at unit distance, in the last frame drawn
    std::unique_ptr<Device> device;
    std::string missing;
};

// Kilometres a world unit for the size of a catalogue body: the default
// system's Earth is Size 120 for its 6371 km.
constexpr double kilometresPerWorldUnit = 50.0;

// The radius in world units of a body of absolute magnitude H: its
// diameter D = 1329 km / sqrt(p) 10^(-H/5) at the albedo p = 0.25 of the
// middle column of the MPC's "Conversion of Absolute Magnitude to Diameter"
// (most main-belt bodies lie between 0.05 and 0.25), at
// kilometresPerWorldUnit. The compute program works the same.
double bodyRadius(float magnitude);
// A catalogue body's place at TT `days`, km from the Sun in the world's axes.
Vector3d trueScalePlace(const SmallBodies& bodies, std::size_t index, double days);

// The program text of the map, for the compute program: a GLSL function
// `float mappedDistance(float r)` from AU to world units.
std::string mappedDistanceSource(const RadialMap& map);

#endif
