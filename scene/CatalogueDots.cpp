#include "scene/CatalogueDots.h"

#include "catalogue/SmallBodies.h"
#include "config/Result.h"
#include "sim/DisplayScale.h"
#include "scene/SphereBatch.h"
#include "scene/SphereMesh.h"
#include "scene/TrueScaleDepth.h"
#include "sim/SceneNames.h"
#include "sim/SkyToWorld.h"
#include "sky/Theories.h"

#include <OgreCamera.h>
#include <OgreHardwareBufferManager.h>
#include <OgreLight.h>
#include <OgreLogManager.h>
#include <OgreMaterialManager.h>
#include <OgreMesh.h>
#include <OgreMeshManager.h>
#include <OgreRenderQueue.h>
#include <OgreRenderSystem.h>
#include <OgreRenderTarget.h>
#include <OgreResourceGroupManager.h>
#include <OgreRoot.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>
#include <OgreSubMesh.h>
#include <OgreViewport.h>

#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <GL/glext.h>
#include <GL/glx.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>

namespace
{
const char* const pictureMaterial = "OrvTest/CatalogueDots";
const char* const sphereMaterial = "OrvTest/FarSphere";
// A sphere a few pixels across needs few triangles, and a software renderer
// sets up each of them on its own: hundreds of 32 x 64 spheres cost a frame
// 40 ms. The fine mesh is kept for those large on the screen.
const char* const coarseSphereMesh = "CatalogueDots/Sphere_8x16.Mesh";
const char* const fineSphereMesh = "SphereMesh_32x64.Mesh";
// Radius in pixels from which a sphere takes the fine mesh.
constexpr double fineSphereFrom = 12.0;
const char* const computeSource = "CatalogueDots.comp";
constexpr GLuint emptyPixel = 0xFFFFFFFFu;
// The compute program's local_size_x, and the groups one dispatch may ask for.
constexpr std::size_t groupSize = 64;
constexpr std::size_t groupsAtOnce = 65535;

void logLine(const std::string& text)
{
    if (Ogre::LogManager* log = Ogre::LogManager::getSingletonPtr())
        log->logMessage("OrvTest: " + text);
}

std::string number(double value)
{
    char text[40];
    std::snprintf(text, sizeof text, "%.9e", value);
    return text;
}
}

double bodyRadius(float magnitude)
{
    return 1329.0 / std::sqrt(0.25) / 2.0 / kilometresPerWorldUnit * std::pow(10.0, -double(magnitude) / 5.0);
}

Vector3d trueScalePlace(const SmallBodies& bodies, std::size_t index, double days)
{
    return worldAxesOf(bodies.positionAt(index, days) * kilometresPerAU);
}

std::string mappedDistanceSource(const RadialMap& map)
{
    // The pieces as straight code: constants the compiler folds, where an
    // array indexed in a loop would be read lane by lane.
    const std::vector<RadialMap::Piece>& pieces = map.pieces();
    const auto polynomial = [](const RadialMap::Piece& p) {
        return "((" + number(p.c3) + " * u + " + number(p.c2) + ") * u + " + number(p.c1) + ") * u + " +
               number(p.c0);
    };
    std::string text = "float mappedDistance(float r)\n{\n    float x = log(r);\n    float u = x - " +
                       number(pieces.front().origin) + ";\n    float y = " + polynomial(pieces.front()) + ";\n";
    for (std::size_t i = 1; i < pieces.size(); ++i)
        text += "    u = x - " + number(pieces[i].origin) + ";\n    y = x >= " + number(pieces[i].begin) + " ? " +
                polynomial(pieces[i]) + " : y;\n";
    return text + "    return exp(y);\n}\n";
}

// ---------------------------------------------------------------- the graphics card's part

// The compute programs and buffers, made in the render window's context the
// first time the dots are drawn.
struct CatalogueDots::Device
{
    struct Program
    {
        GLuint name = 0;
        GLint days = -1, first = -1, count = -1, viewProjection = -1, view = -1, nearCapacity = -1,
              centreCapacity = -1, centreReach = -1, kmPerAU = -1, largestRadius = -1;
    };
    struct Buffers
    {
        GLuint axes = 0, motion = 0, near = 0, centre = 0;
        GLuint nextAxes = 0, nextMotion = 0;   // the arrays coming, filled a share a frame
        std::size_t uploaded = 0;              // bytes of them so far
    };

    // The compute program's text with a map written in, and the programs
    // made of it: by the Halley steps of their ellipses, 0 for the open orbits.
    struct ProgramSet
    {
        unsigned long mapVersion = ~0ul;
        std::string source;
        std::map<int, Program> programs;

        const Program* program(int steps) const
        {
            const auto found = programs.find(steps);
            return found == programs.end() ? nullptr : &found->second;
        }
        void drop()
        {
            for (const auto& [steps, program] : programs)
                glDeleteProgram(program.name);
            programs.clear();
        }
    };

    // What the picture in `pixels` and the lists were last drawn for. With
    // the clock stopped and the camera still, nothing of it changes: the
    // frame keeps them rather than solving a million orbits again.
    struct Drawn
    {
        const void* target = nullptr;
        GLsizei width = 0, height = 0;
        bool flipped = false, trueScale = false;
        std::array<float, 16> matrix{};
        double days = NAN;
        unsigned long mapVersion = ~0ul;
        std::size_t programs = 0;
        std::vector<std::pair<const void*, std::size_t>> slots;   // each one's bodies and dots

        bool operator==(const Drawn& other) const
        {
            return target == other.target && width == other.width && height == other.height &&
                   flipped == other.flipped && trueScale == other.trueScale && matrix == other.matrix &&
                   days == other.days && mapVersion == other.mapVersion && programs == other.programs &&
                   slots == other.slots;
        }
    };
    Drawn drawnFor;
    bool nearWaiting = false;   // the last drawing's list of spheres, not yet taken

    bool tried = false;
    bool usable = false;
    ProgramSet current;    // drawing
    ProgramSet next;       // for a new map, made a program a frame
    std::vector<Buffers> buffers;
    GLuint pixels = 0;
    GLsizeiptr pixelBytes = 0;

    ~Device()
    {
        // Only with the context the names belong to.
        if (!usable || !glXGetCurrentContext())
            return;
        for (std::size_t slot = 0; slot < buffers.size(); ++slot)
            release(slot);
        glDeleteBuffers(1, &pixels);
        current.drop();
        next.drop();
    }

    // Whether this context can run the programs; `why` says what it lacks.
    static bool capable(std::string& why)
    {
        if (!glXGetCurrentContext())
        {
            why = "no OpenGL context";
            return false;
        }
        GLint major = 0, minor = 0;
        glGetIntegerv(GL_MAJOR_VERSION, &major);
        glGetIntegerv(GL_MINOR_VERSION, &minor);
        if (major * 10 + minor < 43)
        {
            const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
            why = std::string("OpenGL 4.3 is needed for compute programs; this renderer gives ") +
                  (version ? version : "an older one");
            return false;
        }
        return true;
    }

    // A set of programs for the map, none made yet; a Failure when the
    // program's text cannot be had.
    static Result<ProgramSet> setFor(const RadialMap& map, unsigned long version)
    {
        ProgramSet set;
        set.mapVersion = version;
        try
        {
            set.source = Ogre::ResourceGroupManager::getSingleton()
                             .openResource(computeSource, Ogre::RGN_AUTODETECT)
                             ->getAsString();
        }
        catch (const Ogre::Exception& error)
        {
            return Failure{error.getDescription()};
        }
        const std::size_t versionEnd = set.source.find('\n', set.source.find("#version"));
        const std::size_t mapAt =
            versionEnd == std::string::npos ? versionEnd : set.source.find("MAPPED_DISTANCE", versionEnd);
        if (mapAt == std::string::npos)
            return Failure{std::string(computeSource) + " has no #version line and MAPPED_DISTANCE after it"};
        // Constants in the text, not uniforms: a software renderer reads a
        // uniform afresh for every lane, and the map is read once a dot.
        set.source.replace(mapAt, std::strlen("MAPPED_DISTANCE"), mappedDistanceSource(map));
        return set;
    }

    // The set's program for ellipses of `steps` Halley steps (0: the open
    // orbits), made and run once, so that the renderer has turned it into
    // machine code: tens of milliseconds when its disk cache does not have
    // it, which the caller spreads over frames.
    static Result<> make(ProgramSet& set, int steps)
    {
        const std::size_t versionEnd = set.source.find('\n', set.source.find("#version"));
        const std::string define =
            steps > 0 ? "#define STEPS " + std::to_string(steps) + "\n" : "#define OPEN_ORBITS\n";
        Result<Program> built = build(set.source.substr(0, versionEnd + 1) + define + set.source.substr(versionEnd + 1));
        if (!built)
            return Failure{built.why()};
        glUseProgram(built->name);
        glUniform1ui(built->count, 0u);
        glDispatchCompute(1, 1, 1);
        set.programs[steps] = *built;
        return {};
    }

    static Result<Program> build(const std::string& text)
    {
        const GLuint shader = glCreateShader(GL_COMPUTE_SHADER);
        const char* chars = text.c_str();
        glShaderSource(shader, 1, &chars, nullptr);
        glCompileShader(shader);
        GLint ok = GL_FALSE;
        glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
        Program program;
        program.name = glCreateProgram();
        glAttachShader(program.name, shader);
        if (ok)
            glLinkProgram(program.name);
        GLint linked = GL_FALSE;
        glGetProgramiv(program.name, GL_LINK_STATUS, &linked);
        if (!ok || !linked)
        {
            char log[2048] = "";
            if (!ok)
                glGetShaderInfoLog(shader, sizeof log, nullptr, log);
            else
                glGetProgramInfoLog(program.name, sizeof log, nullptr, log);
            glDeleteShader(shader);
            glDeleteProgram(program.name);
            return Failure{std::string(computeSource) + " does not build: " + log};
        }
        glDeleteShader(shader);
        const auto at = [&](const char* name) { return glGetUniformLocation(program.name, name); };
        program.days = at("days");
        program.first = at("first");
        program.count = at("count");
        program.viewProjection = at("viewProjection");
        program.view = at("view");
        program.nearCapacity = at("nearCapacity");
        program.centreCapacity = at("centreCapacity");
        program.centreReach = at("centreReach");
        program.kmPerAU = at("kmPerAU");
        program.largestRadius = at("largestRadius");
        return program;
    }

    // Puts up to `budget` bytes more of the slot's coming arrays on the
    // card, taking them from the budget; true once all of them are there.
    bool upload(std::size_t slot, const DotArrays& dots, std::size_t& budget)
    {
        if (buffers.size() <= slot)
            buffers.resize(slot + 1);
        Buffers& b = buffers[slot];
        const std::size_t axesBytes = dots.axes.size() * sizeof(float);
        const std::size_t motionBytes = dots.motion.size() * sizeof(float);
        if (!b.nextAxes)
        {
            GLuint names[2];
            glGenBuffers(2, names);
            b.nextAxes = names[0];
            b.nextMotion = names[1];
            b.uploaded = 0;
            glBindBuffer(GL_SHADER_STORAGE_BUFFER, b.nextAxes);
            glBufferData(GL_SHADER_STORAGE_BUFFER, GLsizeiptr(axesBytes), nullptr, GL_STATIC_DRAW);
            glBindBuffer(GL_SHADER_STORAGE_BUFFER, b.nextMotion);
            glBufferData(GL_SHADER_STORAGE_BUFFER, GLsizeiptr(motionBytes), nullptr, GL_STATIC_DRAW);
        }
        while (budget > 0 && b.uploaded < axesBytes + motionBytes)
        {
            const bool axes = b.uploaded < axesBytes;
            const std::size_t from = axes ? b.uploaded : b.uploaded - axesBytes;
            const std::size_t size = std::min(budget, (axes ? axesBytes : motionBytes) - from);
            glBindBuffer(GL_SHADER_STORAGE_BUFFER, axes ? b.nextAxes : b.nextMotion);
            glBufferSubData(GL_SHADER_STORAGE_BUFFER, GLintptr(from), GLsizeiptr(size),
                            reinterpret_cast<const char*>(axes ? dots.axes.data() : dots.motion.data()) + from);
            b.uploaded += size;
            budget -= size;
        }
        glBindBuffer(GL_SHADER_STORAGE_BUFFER, 0);
        return b.uploaded == axesBytes + motionBytes;
    }

    // The arrays uploaded take the place of those drawn, which go.
    void swapIn(std::size_t slot)
    {
        Buffers& b = buffers[slot];
        const GLuint old[] = {b.axes, b.motion};
        glDeleteBuffers(2, old);
        b.axes = b.nextAxes;
        b.motion = b.nextMotion;
        b.nextAxes = b.nextMotion = 0;
        if (!b.near)
            glGenBuffers(1, &b.near);
        const std::vector<GLuint> emptyList(nearCapacity + 1, 0u);
        glBindBuffer(GL_SHADER_STORAGE_BUFFER, b.near);
        glBufferData(GL_SHADER_STORAGE_BUFFER, GLsizeiptr(emptyList.size() * sizeof(GLuint)), emptyList.data(),
                     GL_DYNAMIC_COPY);
        if (!b.centre)
            glGenBuffers(1, &b.centre);
        glBindBuffer(GL_SHADER_STORAGE_BUFFER, b.centre);
        glBufferData(GL_SHADER_STORAGE_BUFFER, GLsizeiptr((2 * centreCapacity + 1) * sizeof(GLuint)), nullptr,
                     GL_DYNAMIC_COPY);
        const GLuint zero = 0;
        glBufferSubData(GL_SHADER_STORAGE_BUFFER, 0, sizeof zero, &zero);
        glBindBuffer(GL_SHADER_STORAGE_BUFFER, 0);
    }

    void release(std::size_t slot)
    {
        if (slot >= buffers.size())
            return;
        const Buffers& b = buffers[slot];
        const GLuint names[] = {b.axes, b.motion, b.near, b.centre, b.nextAxes, b.nextMotion};
        glDeleteBuffers(6, names);
        buffers[slot] = {};
    }

    // A cleared picture of `width` × `height` pixels.
    void clearPixels(GLsizei width, GLsizei height)
    {
        const GLsizeiptr bytes = GLsizeiptr(width) * height * GLsizeiptr(sizeof(GLuint));
        if (!pixels)
            glGenBuffers(1, &pixels);
        glBindBuffer(GL_SHADER_STORAGE_BUFFER, pixels);
        if (bytes != pixelBytes)
        {
            glBufferData(GL_SHADER_STORAGE_BUFFER, bytes, nullptr, GL_DYNAMIC_COPY);
            pixelBytes = bytes;
        }
        glClearBufferData(GL_SHADER_STORAGE_BUFFER, GL_R32UI, GL_RED_INTEGER, GL_UNSIGNED_INT, &emptyPixel);
        glBindBuffer(GL_SHADER_STORAGE_BUFFER, 0);
        glBindBufferBase(GL_SHADER_STORAGE_BUFFER, 2, pixels);
    }

    // The dots listed near by the last run of the slot's program, and the list emptied.
    std::vector<std::uint32_t> takeNear(std::size_t slot)
    {
        std::vector<GLuint> list(nearCapacity + 1, 0u);
        glBindBuffer(GL_SHADER_STORAGE_BUFFER, buffers[slot].near);
        glGetBufferSubData(GL_SHADER_STORAGE_BUFFER, 0, GLsizeiptr(list.size() * sizeof(GLuint)), list.data());
        const GLuint zero = 0;
        glBufferSubData(GL_SHADER_STORAGE_BUFFER, 0, sizeof zero, &zero);
        glBindBuffer(GL_SHADER_STORAGE_BUFFER, 0);
        const std::size_t listed = std::min<std::size_t>(list[0], nearCapacity);
        return std::vector<std::uint32_t>(list.begin() + 1, list.begin() + 1 + long(listed));
    }

    // The slot's list of dots by the centre emptied for the frame's run:
    // read only when a pick asks for it.
    void clearCentre(std::size_t slot)
    {
        const GLuint zero = 0;
        glBindBuffer(GL_SHADER_STORAGE_BUFFER, buffers[slot].centre);
        glBufferSubData(GL_SHADER_STORAGE_BUFFER, 0, sizeof zero, &zero);
        glBindBuffer(GL_SHADER_STORAGE_BUFFER, 0);
    }

    // The dots the last run listed by the view's centre, each with its depth.
    std::vector<std::uint32_t> centreList(std::size_t slot) const
    {
        GLuint count = 0;
        glBindBuffer(GL_SHADER_STORAGE_BUFFER, buffers[slot].centre);
        glGetBufferSubData(GL_SHADER_STORAGE_BUFFER, 0, sizeof count, &count);
        std::vector<std::uint32_t> list(2 * std::min<std::size_t>(count, centreCapacity));
        if (!list.empty())
            glGetBufferSubData(GL_SHADER_STORAGE_BUFFER, sizeof count, GLsizeiptr(list.size() * sizeof(GLuint)),
                               list.data());
        glBindBuffer(GL_SHADER_STORAGE_BUFFER, 0);
        return list;
    }
};

// ---------------------------------------------------------------- the picture laid over the view

// One triangle over the whole viewport in the picture's material; as it is
// drawn, the owner runs the compute programs that fill the picture.
class CatalogueDots::Picture : public Ogre::Renderable
{
public:
    explicit Picture(CatalogueDots& dots) : owner(dots)
    {
        material = Ogre::MaterialManager::getSingleton().getByName(pictureMaterial);
        vertexData.reset(new Ogre::VertexData());
        vertexData->vertexDeclaration->addElement(0, 0, Ogre::VET_FLOAT2, Ogre::VES_POSITION);
        const float corners[] = {-1.0f, -1.0f, 3.0f, -1.0f, -1.0f, 3.0f};
        Ogre::HardwareVertexBufferSharedPtr buffer = Ogre::HardwareBufferManager::getSingleton().createVertexBuffer(
            2 * sizeof(float), 3, Ogre::HardwareBuffer::HBU_STATIC_WRITE_ONLY);
        buffer->writeData(0, sizeof corners, corners, true);
        vertexData->vertexBufferBinding->setBinding(0, buffer);
        vertexData->vertexCount = 3;
        setUseIdentityProjection(true);
        setUseIdentityView(true);
        setPolygonModeOverrideable(false);
        setCustomParameter(behindParameter, Ogre::Vector4::ZERO);
    }
    // The fragment program's `behind`: 1 puts every dot behind the bodies.
    static constexpr std::size_t behindParameter = 1;

    bool ready() const { return bool(material); }

    const Ogre::MaterialPtr& getMaterial() const override { return material; }
    void getRenderOperation(Ogre::RenderOperation& op) override
    {
        op.operationType = Ogre::RenderOperation::OT_TRIANGLE_LIST;
        op.useIndexes = false;
        op.vertexData = vertexData.get();
        op.indexData = nullptr;
        op.numberOfInstances = 1;
        op.srcRenderable = this;
    }
    void getWorldTransforms(Ogre::Matrix4* xform) const override { *xform = Ogre::Matrix4::IDENTITY; }
    Ogre::Real getSquaredViewDepth(const Ogre::Camera*) const override { return 0.0f; }
    const Ogre::LightList& getLights() const override { return noLights; }
    bool getCastsShadows() const override { return false; }
    bool preRender(Ogre::SceneManager*, Ogre::RenderSystem* renderSystem) override
    {
        owner.drawDots(renderSystem);
        return owner.missing.empty();
    }

private:
    CatalogueDots& owner;
    Ogre::MaterialPtr material;
    std::unique_ptr<Ogre::VertexData> vertexData;
    Ogre::LightList noLights;
};

// ---------------------------------------------------------------- the spheres near the camera

// The bodies near the camera as the far spheres are drawn: one instanced draw
// of `meshName` in the far spheres' material, lit by the sun. None until the
// scene has the mesh, the material and the Sun's light.
std::unique_ptr<SphereBatch> CatalogueDots::makeSpheres(const char* meshName)
{
    const Ogre::MaterialPtr material = Ogre::MaterialManager::getSingleton().getByName(sphereMaterial);
    if (!material || !Ogre::MeshManager::getSingleton().resourceExists(meshName) ||
        !sceneManager->hasLight(sceneNames::sunLight))
        return nullptr;
    if (sunLight.empty())
        sunLight.push_back(sceneManager->getLight(sceneNames::sunLight));
    const auto sphere = sphereGeometry(meshName);
    auto spheres = std::make_unique<SphereBatch>(sphere.first, sphere.second, material, sunLight);
    spheres->setCustomParameter(0, Ogre::Vector4(0.0f, 0.0f, 0.0f, 0.0f));
    return spheres;
}

// ---------------------------------------------------------------- the dots

CatalogueDots::CatalogueDots(Ogre::SceneManager* scene)
    : Ogre::MovableObject("CatalogueDots"), sceneManager(scene), device(std::make_unique<Device>())
{
    picture = std::make_unique<Picture>(*this);
    if (!picture->ready())
        missing = std::string("the material ") + pictureMaterial + " is not there: the media folder is incomplete";
    if (!Ogre::MeshManager::getSingleton().resourceExists(coarseSphereMesh))
        createSphereMesh(coarseSphereMesh, 8, 16);
    coarseSpheres = makeSpheres(coarseSphereMesh);
    fineSpheres = makeSpheres(fineSphereMesh);
    setCastShadows(false);
    sceneManager->getRootSceneNode()->attachObject(this);
}

CatalogueDots::~CatalogueDots()
{
    if (getParentSceneNode())
        getParentSceneNode()->detachObject(this);
}

void CatalogueDots::show(std::size_t slot, std::shared_ptr<const DotArrays> dots,
                         std::shared_ptr<const SmallBodies> bodies)
{
    if (slots.size() <= slot)
        slots.resize(slot + 1);
    Slot& entry = slots[slot];
    entry.coming = Shown();
    entry.replacing = true;
    entry.arrays = std::move(dots);
    if (!entry.arrays)
        return;
    entry.coming.catalogueIndex = entry.arrays->catalogueIndex;
    entry.coming.bands = entry.arrays->bands;
    entry.coming.referenceDays = entry.arrays->referenceDays;
    entry.coming.count = entry.arrays->size();
    entry.coming.largestRadius = float(bodyRadius(entry.arrays->brightestMagnitude));
    entry.coming.bodies = std::move(bodies);
}

void CatalogueDots::setTrueScale(bool on, const Vector3d& cameraKm)
{
    trueScale = on;
    trueScaleCamera = cameraKm;
    if (picture)
        picture->setCustomParameter(Picture::behindParameter, Ogre::Vector4(on ? 1.0f : 0.0f, 0.0f, 0.0f, 0.0f));
}

void CatalogueDots::setMap(const RadialMap& newMap)
{
    if (newMap == map && mapVersion > 0)
        return;
    map = newMap;
    ++mapVersion;
}

std::size_t CatalogueDots::dotCount() const
{
    std::size_t count = 0;
    for (const Slot& slot : slots)
        count += slot.replacing ? slot.coming.count : slot.drawn.count;
    return count;
}

std::size_t CatalogueDots::dotsOnCard() const
{
    std::size_t count = 0;
    for (const Slot& slot : slots)
        count += slot.drawn.count;
    return count;
}

std::size_t CatalogueDots::sphereCount() const
{
    return (coarseSpheres ? coarseSpheres->drawn() : 0) + (fineSpheres ? fineSpheres->drawn() : 0);
}

std::vector<CatalogueDots::Candidate> CatalogueDots::nearCentre() const
{
    std::vector<Candidate> found;
    for (std::size_t index = 0; index < slots.size(); ++index)
    {
        const Slot& slot = slots[index];
        if (!slot.drawn.bodies)
            continue;
        // The spheres first: their depth is not known, and there are few.
        for (std::uint32_t dot : slot.near)
            if (dot < slot.drawn.catalogueIndex.size())
                found.push_back({index, slot.drawn.catalogueIndex[dot], slot.drawn.bodies.get(), 0u});
        if (!device->usable || index >= device->buffers.size() || !device->buffers[index].centre)
            continue;
        const std::vector<std::uint32_t> centre = device->centreList(index);
        for (std::size_t n = 0; n + 1 < centre.size(); n += 2)
            if (centre[n] < slot.drawn.catalogueIndex.size())
                found.push_back({index, slot.drawn.catalogueIndex[centre[n]], slot.drawn.bodies.get(), centre[n + 1]});
    }
    // Nearest first; the spheres before every dot.
    std::stable_sort(found.begin(), found.end(),
                     [](const Candidate& a, const Candidate& b) { return a.depth < b.depth; });
    return found;
}

Ogre::Vector3 CatalogueDots::placeOf(const SmallBodies& bodies, std::size_t index) const
{
    if (!trueScale)
        return displayPlace(bodies.positionAt(index, days), map);
    const Vector3d relative = trueScalePlace(bodies, index, days) - trueScaleCamera;
    return Ogre::Vector3(float(relative.x), float(relative.y), float(relative.z));
}

void CatalogueDots::addSpheresKm(std::vector<std::pair<Vector3d, double>>& spheres) const
{
    for (const Slot& slot : slots)
        if (slot.drawn.bodies)
            for (std::uint32_t dot : slot.near)
            {
                const std::size_t index = slot.drawn.catalogueIndex.at(dot);
                spheres.emplace_back(trueScalePlace(*slot.drawn.bodies, index, days), radiusOf(*slot.drawn.bodies, index));
            }
}

double CatalogueDots::radiusOf(const SmallBodies& bodies, std::size_t index) const
{
    if (trueScale && bodies.diameter(index) > 0.0f)
        return 0.5 * double(bodies.diameter(index));
    const float magnitude = bodies.magnitude(index);
    return bodyRadius(std::isnan(magnitude) ? unknownMagnitude : magnitude) * (trueScale ? kilometresPerWorldUnit : 1.0);
}

const Ogre::String& CatalogueDots::getMovableType() const
{
    static const Ogre::String type = "CatalogueDots";
    return type;
}

const Ogre::AxisAlignedBox& CatalogueDots::getBoundingBox() const
{
    // Spread through the whole system: never culled as one.
    static const Ogre::AxisAlignedBox everywhere(Ogre::AxisAlignedBox::EXTENT_INFINITE);
    return everywhere;
}

void CatalogueDots::_notifyCurrentCamera(Ogre::Camera* viewCamera)
{
    MovableObject::_notifyCurrentCamera(viewCamera);
    camera = viewCamera;
}

void CatalogueDots::_updateRenderQueue(Ogre::RenderQueue* queue)
{
    // The spheres the last frame listed, where they stand now, the coarse
    // mesh for those a few pixels across.
    std::vector<Ogre::Vector4> coarse, fine;
    for (const Slot& slot : slots)
        if (slot.drawn.bodies)
            for (std::uint32_t dot : slot.near)
            {
                const SmallBodies& bodies = *slot.drawn.bodies;
                const std::size_t index = slot.drawn.catalogueIndex.at(dot);
                const Ogre::Vector3 centre = placeOf(bodies, index);
                const double radius = radiusOf(bodies, index);
                const double distance = camera ? camera->getDerivedPosition().distance(centre) : 0.0;
                const bool large = radius * pixelsPerUnit >= fineSphereFrom * distance;
                (large ? fine : coarse).emplace_back(centre.x, centre.y, centre.z, float(radius));
            }
    // Made with the viewer, before the scene has its sphere meshes and the
    // Sun's light: made again once they are there.
    if (!coarse.empty() && !coarseSpheres)
        coarseSpheres = makeSpheres(coarseSphereMesh);
    if (!fine.empty() && !fineSpheres)
        fineSpheres = makeSpheres(fineSphereMesh);
    for (const auto& [drawn, spheres] : {std::pair{&coarse, coarseSpheres.get()}, std::pair{&fine, fineSpheres.get()}})
    {
        if (!spheres)
            continue;
        spheres->begin(drawn->size());
        for (const Ogre::Vector4& sphere : *drawn)
            spheres->add(Ogre::Vector3(sphere.x, sphere.y, sphere.z), sphere.w, Ogre::Quaternion::IDENTITY);
        spheres->end();
        if (spheres->drawn() > 0)
            queue->addRenderable(spheres, getRenderQueueGroup());
    }
    // At true scale the picture goes with the sky's range only (DepthPartitions).
    const Ogre::Viewport* viewport = sceneManager->getCurrentViewport();
    const bool withTheSky = !viewport || (viewport->getVisibilityMask() & DepthPartitions::backgroundFlag) != 0;
    if (missing.empty() && (!trueScale || withTheSky))
        queue->addRenderable(picture.get(), getRenderQueueGroup());
}

void CatalogueDots::visitRenderables(Ogre::Renderable::Visitor* visitor, bool)
{
    visitor->visit(picture.get(), 0, false);
    for (SphereBatch* spheres : {coarseSpheres.get(), fineSpheres.get()})
        if (spheres)
            visitor->visit(spheres, 0, false);
}

void CatalogueDots::drawDots(Ogre::RenderSystem* renderSystem)
{
    if (!device->tried)
    {
        device->tried = true;
        device->usable = Device::capable(missing);
        if (!device->usable)
        {
            logLine("catalogue dots cannot be drawn: " + missing);
            return;
        }
    }
    if (!device->usable || !camera)
        return;
    // The programs replace the one the engine has bound for the picture: put back after.
    GLint bound = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &bound);
    const auto giveUp = [&](const std::string& why) {
        missing = why;
        device->usable = false;
        logLine("catalogue dots cannot be drawn: " + why);
        glUseProgram(GLuint(bound));
    };
    // The programs a frame may need: those most catalogues need, and those
    // the bands shown and coming need.
    std::vector<int> needed{1, 2, 0, 3};
    for (const Slot& slot : slots)
        for (const Shown* shown : {&slot.drawn, &slot.coming})
            for (const DotArrays::Band& band : shown->bands)
                if (std::find(needed.begin(), needed.end(), band.steps) == needed.end())
                    needed.push_back(band.steps);
    // The first set is made at once, in the first frame, which draws every
    // material for the first time anyway. After that one program is made a
    // frame: for a new map (the system read again), the old map's draw
    // until all are made; a band whose program is not made yet waits for it.
    const bool first = device->current.mapVersion == ~0ul;
    if (device->current.mapVersion != mapVersion && device->next.mapVersion != mapVersion)
    {
        Result<Device::ProgramSet> set = Device::setFor(map, mapVersion);
        if (!set)
            return giveUp(set.why());
        device->next.drop();
        device->next = std::move(set.value());
    }
    Device::ProgramSet& building = device->current.mapVersion == mapVersion ? device->current : device->next;
    for (int steps : needed)
        if (!building.program(steps))
        {
            if (const Result<> made = Device::make(building, steps); !made)
                return giveUp(made.why());
            if (!first)
                break;
        }
    if (&building == &device->next &&
        std::all_of(needed.begin(), needed.end(), [&](int steps) { return building.program(steps); }))
    {
        device->current.drop();
        device->current = std::move(device->next);
        device->next = Device::ProgramSet();
    }

    const Ogre::Viewport* viewport = renderSystem->_getViewport();
    const GLsizei width = viewport ? viewport->getActualWidth() : 1;
    const GLsizei height = viewport ? viewport->getActualHeight() : 1;
    const bool flipped = viewport && viewport->getTarget()->requiresTextureFlipping();
    const Ogre::Matrix4 viewProjection = camera->getProjectionMatrixWithRSDepth() * camera->getViewMatrix();
    // Column-major, as GL reads it. At true scale the places are from the
    // Sun and the camera's is taken off here, in double precision: the
    // difference of two floats of 10^8 km would be off by tens of km more.
    std::array<float, 16> matrix;
    for (int column = 0; column < 4; ++column)
        for (int row = 0; row < 4; ++row)
            matrix[column * 4 + row] = float(viewProjection[row][column]);
    if (trueScale)
        for (int row = 0; row < 4; ++row)
            matrix[12 + row] = float(double(viewProjection[row][3]) - double(viewProjection[row][0]) * trueScaleCamera.x -
                                     double(viewProjection[row][1]) * trueScaleCamera.y -
                                     double(viewProjection[row][2]) * trueScaleCamera.z);
    pixelsPerUnit = float(height) / (2.0f * std::tan(camera->getFOVy().valueRadians() / 2.0f));

    Device::Drawn now{viewport ? viewport->getTarget() : nullptr,
                      width,
                      height,
                      flipped,
                      trueScale,
                      matrix,
                      days,
                      device->current.mapVersion,
                      device->current.programs.size(),
                      {}};
    bool arriving = false;
    for (const Slot& slot : slots)
    {
        now.slots.emplace_back(slot.drawn.bodies.get(), slot.drawn.count);
        arriving = arriving || slot.replacing;
    }
    if (!arriving && now == device->drawnFor)
    {
        // The spheres the last drawing listed, which a drawing would take first.
        for (std::size_t index = 0; index < slots.size() && device->nearWaiting; ++index)
            if (slots[index].drawn.count > 0)
                slots[index].near = device->takeNear(index);
        device->nearWaiting = false;
        glUseProgram(GLuint(bound));
        return;
    }
    device->nearWaiting = true;
    device->drawnFor = std::move(now);
    device->clearPixels(width, height);

    std::size_t budget = uploadBytesPerFrame;
    for (std::size_t index = 0; index < slots.size(); ++index)
    {
        Slot& slot = slots[index];
        if (slot.replacing && !slot.arrays)
        {
            device->release(index);
            slot = Slot();
        }
        else if (slot.replacing && device->upload(index, *slot.arrays, budget))
        {
            device->swapIn(index);
            slot.drawn = std::move(slot.coming);
            slot.coming = Shown();
            slot.arrays.reset();
            slot.replacing = false;
            slot.near.clear();
        }
        if (slot.drawn.count == 0)
            continue;
        const Device::Buffers& b = device->buffers[index];
        slot.near = device->takeNear(index);
        device->clearCentre(index);
        glBindBufferBase(GL_SHADER_STORAGE_BUFFER, 0, b.axes);
        glBindBufferBase(GL_SHADER_STORAGE_BUFFER, 1, b.motion);
        glBindBufferBase(GL_SHADER_STORAGE_BUFFER, 3, b.near);
        glBindBufferBase(GL_SHADER_STORAGE_BUFFER, 4, b.centre);
        const float since = float(days - slot.drawn.referenceDays);
        for (const DotArrays::Band& band : slot.drawn.bands)
        {
            const Device::Program* program = device->current.program(band.steps);
            if (!program)
                continue;
            glUseProgram(program->name);
            glUniform1f(program->days, since);
            glUniformMatrix4fv(program->viewProjection, 1, GL_FALSE, matrix.data());
            glUniform4f(program->view, float(width), float(height), flipped ? -1.0f : 1.0f, pixelsPerUnit);
            glUniform1ui(program->nearCapacity, GLuint(nearCapacity));
            glUniform1ui(program->centreCapacity, GLuint(centreCapacity));
            glUniform1f(program->centreReach, centreReach);
            glUniform1f(program->kmPerAU, trueScale ? float(kilometresPerAU) : 0.0f);
            glUniform1f(program->largestRadius, slot.drawn.largestRadius);
            // In runs of at most the 65,535 groups every implementation takes.
            for (std::size_t from = 0; from < band.count; from += groupsAtOnce * groupSize)
            {
                const std::size_t dots = std::min(band.count - from, groupsAtOnce * groupSize);
                glUniform1ui(program->first, GLuint(band.first + from));
                glUniform1ui(program->count, GLuint(dots));
                glDispatchCompute(GLuint((dots + groupSize - 1) / groupSize), 1, 1);
            }
        }
    }
    // The lists are read back with glGetBufferSubData: buffer updates wait for the programs too.
    glMemoryBarrier(GL_SHADER_STORAGE_BARRIER_BIT | GL_BUFFER_UPDATE_BARRIER_BIT);
    glUseProgram(GLuint(bound));
}
