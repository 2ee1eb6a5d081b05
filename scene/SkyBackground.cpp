#include "scene/SkyBackground.h"

#include "scene/StarLight.h"
#include "sim/SkyToWorld.h"
#include "sky/Frames.h"

#include <OgreHardwareBufferManager.h>
#include <OgreMaterialManager.h>
#include <OgreRenderQueue.h>
#include <OgreRoot.h>

#include <cmath>
#include <cstdint>
#include <cstring>

const Ogre::String SkyBackground::typeName = "SkyBackground";

namespace
{
const char* const starMaterial = "OrvTest/SkyStars";
const char* const plainMaterial = "OrvTest/SkyPlain";
const char* const bandMaterial = "OrvTest/SkyBand";

// Dim blue-grey: the figures guide the eye, they do not outshine a star.
const Ogre::Vector4 figureColour(0.16f, 0.21f, 0.30f, 1.0f);
// The band's brightest cells, before Brightness: faint beside a star.
constexpr float milkyWayPeak = 0.14f;

Ogre::Vector3 worldDirection(const Vector3d& equatorial)
{
    return worldFromEcliptic(eclipticFromEquatorial(equatorial));
}

class SkyDrawFactory : public Ogre::MovableObjectFactory
{
public:
    const Ogre::String& getType() const override { return SkyBackground::typeName; }

protected:
    Ogre::MovableObject* createInstanceImpl(const Ogre::String& name, const Ogre::NameValuePairList*) override
    {
        return new SkyBackground(name);
    }
};
}

// One static draw of the sky: a vertex buffer of directions and their
// attributes (4-float groups), and indices where the draw needs them.
class SkyBackground::Draw : public Ogre::Renderable
{
public:
    Draw(Ogre::RenderOperation::OperationType type, const char* materialName, int groups)
        : operation(type), material(Ogre::MaterialManager::getSingleton().getByName(materialName)),
          attributeGroups(groups)
    {
        vertexData.reset(new Ogre::VertexData());
        vertexData->vertexDeclaration->addElement(0, 0, Ogre::VET_FLOAT3, Ogre::VES_POSITION);
        for (int g = 0; g < groups; ++g)
            vertexData->vertexDeclaration->addElement(0, (3 + 4 * g) * sizeof(float), Ogre::VET_FLOAT4,
                                                      Ogre::VES_TEXTURE_COORDINATES, std::uint16_t(g));
    }

    std::size_t floatsPerVertex() const { return std::size_t(3 + 4 * attributeGroups); }

    // Writes the vertices (floatsPerVertex() each) and indices once.
    void fill(const std::vector<float>& vertices, const std::vector<std::uint16_t>& indices = {})
    {
        const std::size_t count = vertices.size() / floatsPerVertex();
        vertexData->vertexCount = count;
        vertexData->vertexBufferBinding->unsetAllBindings();
        indexData.reset();
        if (count == 0)
            return;
        Ogre::HardwareVertexBufferSharedPtr buffer = Ogre::HardwareBufferManager::getSingleton().createVertexBuffer(
            floatsPerVertex() * sizeof(float), count, Ogre::HardwareBuffer::HBU_STATIC_WRITE_ONLY);
        buffer->writeData(0, vertices.size() * sizeof(float), vertices.data(), true);
        vertexData->vertexBufferBinding->setBinding(0, buffer);
        if (indices.empty())
            return;
        indexData.reset(new Ogre::IndexData());
        indexData->indexCount = indices.size();
        indexData->indexBuffer = Ogre::HardwareBufferManager::getSingleton().createIndexBuffer(
            Ogre::HardwareIndexBuffer::IT_16BIT, indices.size(), Ogre::HardwareBuffer::HBU_STATIC_WRITE_ONLY);
        indexData->indexBuffer->writeData(0, indices.size() * sizeof(std::uint16_t), indices.data(), true);
    }

    std::size_t vertexCount() const { return vertexData->vertexCount; }
    bool drawable() const { return vertexData->vertexCount > 0 && material; }

    // The floats of every vertex, read back from the buffer.
    std::vector<float> read() const
    {
        std::vector<float> floats(vertexCount() * floatsPerVertex());
        if (!floats.empty())
            vertexData->vertexBufferBinding->getBuffer(0)->readData(0, floats.size() * sizeof(float), floats.data());
        return floats;
    }

    const Ogre::MaterialPtr& getMaterial() const override { return material; }
    void getRenderOperation(Ogre::RenderOperation& op) override
    {
        op.operationType = operation;
        op.vertexData = vertexData.get();
        op.useIndexes = indexData != nullptr;
        op.indexData = indexData.get();
        op.numberOfInstances = 1;
        op.srcRenderable = this;
    }
    // Directions only: the programs drop any translation.
    void getWorldTransforms(Ogre::Matrix4* xform) const override { *xform = Ogre::Matrix4::IDENTITY; }
    Ogre::Real getSquaredViewDepth(const Ogre::Camera*) const override { return 0.0f; }
    const Ogre::LightList& getLights() const override
    {
        static const Ogre::LightList none;
        return none;
    }
    bool getCastsShadows() const override { return false; }

private:
    Ogre::RenderOperation::OperationType operation;
    Ogre::MaterialPtr material;
    int attributeGroups;
    std::unique_ptr<Ogre::VertexData> vertexData;
    std::unique_ptr<Ogre::IndexData> indexData;
};

void SkyBackground::registerFactory()
{
    Ogre::Root& root = Ogre::Root::getSingleton();
    if (root.hasMovableObjectFactory(typeName))
        return;
    // The engine keeps a pointer and never deletes it; scenes destroyed with
    // the engine still need it, so it lives as long as the process.
    static SkyDrawFactory* factory = new SkyDrawFactory();
    root.addMovableObjectFactory(factory);
}

SkyBackground::SkyBackground(const Ogre::String& name)
    : Ogre::MovableObject(name),
      stars(new Draw(Ogre::RenderOperation::OT_POINT_LIST, starMaterial, 2)),
      figures(new Draw(Ogre::RenderOperation::OT_LINE_LIST, plainMaterial, 1)),
      milkyWay(new Draw(Ogre::RenderOperation::OT_TRIANGLE_LIST, bandMaterial, 1))
{
    setCastShadows(false);
    setRenderQueueGroup(Ogre::RENDER_QUEUE_SKIES_EARLY);
}

SkyBackground::~SkyBackground() = default;

void SkyBackground::setStars(const std::vector<CatalogueStar>& catalogue, float magnitudeLimit, float brightness)
{
    std::vector<float> vertices;
    vertices.reserve(catalogue.size() * stars->floatsPerVertex());
    for (const CatalogueStar& star : catalogue)
    {
        const Ogre::Vector3 d = worldDirection(equatorialDirection(star.rightAscension, star.declination));
        const StarLook look = starLook(star.magnitude, magnitudeLimit, brightness);
        const Rgb colour = starColour(star.colourIndex);
        vertices.insert(vertices.end(), {d.x, d.y, d.z, colour.r * look.peak, colour.g * look.peak,
                                         colour.b * look.peak, 1.0f, look.size, look.core, look.glow, look.glowPeak});
    }
    stars->fill(vertices);
}

void SkyBackground::setFigures(const std::vector<FigureSegment>& segments)
{
    std::vector<float> vertices;
    for (const FigureSegment& segment : segments)
        for (int end = 0; end < 2; ++end)
        {
            const Ogre::Vector3 d =
                worldDirection(equatorialDirection(segment.rightAscension[end], segment.declination[end]));
            vertices.insert(vertices.end(), {d.x, d.y, d.z, figureColour.x, figureColour.y, figureColour.z, 1.0f});
        }
    figures->fill(vertices);
}

Ogre::Vector4 milkyWayColour(float level)
{
    // The isophotes come about a doubling apart; the eye takes the steps as
    // less than that, so the faint envelope still shows.
    const float light = milkyWayPeak * std::pow(level / float(MilkyWayGrid::brightest), 0.7f);
    return Ogre::Vector4(0.86f * light, 0.90f * light, light, 1.0f);
}

void SkyBackground::setMilkyWay(const MilkyWayGrid& grid, float brightness)
{
    // Drawn on cells of `step` grid cells a side, their light the mean of
    // theirs: the software renderer pays for every triangle it sets up, and
    // the band's light varies little within two degrees.
    constexpr int step = 2;
    constexpr int rows = MilkyWayGrid::rows / step, columns = MilkyWayGrid::columns / step;
    std::vector<float> level(std::size_t(rows * columns), 0.0f);
    for (int row = 0; row < MilkyWayGrid::rows; ++row)
        for (int column = 0; column < MilkyWayGrid::columns; ++column)
            level[std::size_t(row / step * columns + column / step)] += float(grid.level(row, column)) / (step * step);
    const auto at = [&](int row, int column) { return level[std::size_t(row * columns + column)]; };

    // Vertices at the cells' centres, only those of quads that have light.
    std::vector<int> vertexOf(level.size(), -1);
    std::vector<float> vertices;
    std::vector<std::uint16_t> indices;
    const auto vertex = [&](int row, int column) {
        int& index = vertexOf[std::size_t(row * columns + column)];
        if (index < 0)
        {
            index = int(vertices.size() / milkyWay->floatsPerVertex());
            const Ogre::Vector3 d =
                worldDirection(equatorialFromGalactic(step * (column + 0.5), step * (row + 0.5) - 90.0));
            const Ogre::Vector4 c = milkyWayColour(at(row, column)) * std::max(0.0f, brightness);
            vertices.insert(vertices.end(), {d.x, d.y, d.z, c.x, c.y, c.z, 1.0f});
        }
        return std::uint16_t(index);
    };
    for (int row = 0; row + 1 < rows; ++row)
        for (int column = 0; column < columns; ++column)
        {
            const int next = (column + 1) % columns;
            if (at(row, column) + at(row, next) + at(row + 1, column) + at(row + 1, next) == 0.0f)
                continue;
            const std::uint16_t a = vertex(row, column), b = vertex(row, next), c = vertex(row + 1, next),
                                d = vertex(row + 1, column);
            indices.insert(indices.end(), {a, b, c, a, c, d});
        }
    milkyWay->fill(vertices, indices);
}

std::size_t SkyBackground::starCount() const
{
    return stars->vertexCount();
}

std::size_t SkyBackground::segmentCount() const
{
    return figures->vertexCount() / 2;
}

std::size_t SkyBackground::milkyWayVertexCount() const
{
    return milkyWay->vertexCount();
}

SkyBackground::StarVertex SkyBackground::starVertex(std::size_t index) const
{
    const std::vector<float> all = stars->read();
    const float* v = all.data() + index * stars->floatsPerVertex();
    return {Ogre::Vector3(v[0], v[1], v[2]), Ogre::Vector4(v[3], v[4], v[5], v[6]),
            Ogre::Vector4(v[7], v[8], v[9], v[10])};
}

namespace
{
std::vector<SkyBackground::PlainVertex> plainVertices(const std::vector<float>& floats)
{
    std::vector<SkyBackground::PlainVertex> vertices;
    for (std::size_t at = 0; at + 7 <= floats.size(); at += 7)
        vertices.push_back({Ogre::Vector3(floats[at], floats[at + 1], floats[at + 2]),
                            Ogre::Vector4(floats[at + 3], floats[at + 4], floats[at + 5], floats[at + 6])});
    return vertices;
}
}

std::vector<SkyBackground::PlainVertex> SkyBackground::figureVertices() const
{
    return plainVertices(figures->read());
}

std::vector<SkyBackground::PlainVertex> SkyBackground::milkyWayVertices() const
{
    return plainVertices(milkyWay->read());
}

const Ogre::AxisAlignedBox& SkyBackground::getBoundingBox() const
{
    // All round the camera: never culled.
    static const Ogre::AxisAlignedBox everywhere(Ogre::AxisAlignedBox::EXTENT_INFINITE);
    return everywhere;
}

void SkyBackground::_updateRenderQueue(Ogre::RenderQueue* queue)
{
    queued = 0;
    const std::pair<Draw*, bool> draws[] = {
        {milkyWay.get(), milkyWayShown}, {figures.get(), figuresShown}, {stars.get(), true}};
    for (const auto& [draw, shown] : draws)
        if (shown && draw->drawable())
        {
            queue->addRenderable(draw, getRenderQueueGroup());
            ++queued;
        }
}

void SkyBackground::visitRenderables(Ogre::Renderable::Visitor* visitor, bool)
{
    for (Draw* draw : {milkyWay.get(), figures.get(), stars.get()})
        visitor->visit(draw, 0, false);
}
