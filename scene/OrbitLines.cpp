#include "scene/OrbitLines.h"

#include "scene/BodyRig.h"
#include "sim/SceneNames.h"
#include "sim/BodyRegistry.h"
#include "sim/BodySteps.h"
#include "sim/SkyToWorld.h"
#include "sim/WorldLimits.h"

#include <OgreCamera.h>
#include <OgreHardwareBufferManager.h>
#include <OgreHardwarePixelBuffer.h>
#include <OgreManualObject.h>
#include <OgreMaterialManager.h>
#include <OgreMath.h>
#include <OgreRenderQueue.h>
#include <OgreRenderSystem.h>
#include <OgreRoot.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>
#include <OgreTechnique.h>
#include <OgreTextureManager.h>
#include <OgreViewport.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <map>

namespace
{
const char* const lineMaterial = "OrvTest/OrbitLine";
}

Ogre::Vector3 OrbitCircle::at(float radians) const
{
    return centre + radius * (std::cos(radians) * start + std::sin(radians) * side);
}

bool orbitCircleOf(const BodyDefinition& body, OrbitCircle& circle)
{
    // Made unit in double: the squared length of a long axis leaves the float range.
    const Ogre::Vector3& given = body.OrbitAxis;
    const double length = std::sqrt(double(given.x) * given.x + double(given.y) * given.y + double(given.z) * given.z);
    const Ogre::Vector3 axis(float(given.x / length), float(given.y / length), float(given.z / length));
    const Ogre::Vector3 point(0.0f, 0.0f, withinWorld(body.OrbitRadius));
    if (!(length > 0.0) || !isFinite(axis) || !isFinite(point))
        return false;
    circle.axis = axis;
    circle.centre = axis * axis.dotProduct(point);
    const Ogre::Vector3 out = point - circle.centre;
    circle.radius = out.length();
    if (!(circle.radius > 0.0f) || !std::isfinite(circle.radius))
        return false;
    circle.start = out / circle.radius;
    circle.side = axis.crossProduct(circle.start);
    return true;
}

std::vector<Ogre::Vector3> ellipsePoints(const KeplerOrbit& orbit, float semiMajorAxis, int count)
{
    const double e = orbit.elements.eccentricity;
    const double b = std::sqrt(1.0 - e * e);
    std::vector<Ogre::Vector3> points;
    points.reserve(std::size_t(count));
    for (int n = 0; n < count; ++n)
    {
        const double eccentricAnomaly = 2.0 * M_PI * n / count;
        points.emplace_back(float(semiMajorAxis * (std::cos(eccentricAnomaly) - e)),
                            float(semiMajorAxis * b * std::sin(eccentricAnomaly)), 0.0f);
    }
    return points;
}

std::vector<Ogre::Vector3> conicPoints(double perihelionDistance, double eccentricity, double reach, int count)
{
    const double q = perihelionDistance, e = eccentricity;
    std::vector<Ogre::Vector3> points;
    if (e < 1.0)
    {
        const double a = q / (1.0 - e), b = a * std::sqrt((1.0 - e) * (1.0 + e));
        points.reserve(std::size_t(count));
        for (int n = 0; n < count; ++n)
        {
            const double eccentricAnomaly = 2.0 * M_PI * n / count;
            points.emplace_back(float(a * (std::cos(eccentricAnomaly) - e)), float(b * std::sin(eccentricAnomaly)),
                                0.0f);
        }
        return points;
    }
    // r = p / (1 + e cos ν): the true anomaly at which the arc reaches that far.
    const double p = q * (1.0 + e);
    const double farthest = std::acos(std::clamp((p / std::max(reach, 4.0 * q) - 1.0) / e, -1.0, 1.0));
    points.reserve(std::size_t(count) + 1);
    for (int n = 0; n <= count; ++n)
    {
        const double v = farthest * (2.0 * n / count - 1.0);
        const double r = p / (1.0 + e * std::cos(v));
        points.emplace_back(float(r * std::cos(v)), float(r * std::sin(v)), 0.0f);
    }
    return points;
}

void LinePicture::add(const std::vector<Ogre::Vector3>& run, bool closed)
{
    if (run.size() < 2)
        return;
    Ogre::AxisAlignedBox runBox;
    for (const Ogre::Vector3& point : run)
        runBox.merge(point);
    Run added{points.size(), run.size(), closed, runBox.getCenter(), 0.0f};
    for (const Ogre::Vector3& point : run)
        added.radius = std::max(added.radius, point.distance(added.centre));
    points.insert(points.end(), run.begin(), run.end());
    runs.push_back(added);
    box.merge(runBox);
}

void LinePicture::draw(const Ogre::Matrix4& clip, int width, int height)
{
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (width != columns || height != rows)
    {
        columns = width;
        rows = height;
        counts.assign(std::size_t(columns) * std::size_t(rows), 0);
    }
    else
        for (int y = reached.top; y < reached.bottom; ++y)
            std::fill(counts.begin() + std::ptrdiff_t(y) * columns + reached.left,
                      counts.begin() + std::ptrdiff_t(y) * columns + reached.right, std::uint8_t(0));
    fullCells.assign(std::size_t((columns + cellSize - 1) / cellSize) * std::size_t((rows + cellSize - 1) / cellSize), 0);
    fullBlocks.assign(std::size_t((columns + blockSize - 1) / blockSize) * std::size_t((rows + blockSize - 1) / blockSize),
                      0);
    reached = Rect{columns, rows, 0, 0};
    runsCounted = segmentsCounted = 0;

    // The planes round the view, in the lines' frame (each a row of the clip
    // matrix added to or taken from its last): inside, all are positive. An
    // infinite far plane has no normal and culls nothing.
    std::array<Ogre::Vector4, 6> planes;
    std::size_t planeCount = 0, depthPlanes = 0;
    for (int axis = 0; axis < 3; ++axis)
    {
        if (axis == 2)
            depthPlanes = planeCount;
        for (const float sign : {1.0f, -1.0f})
        {
            Ogre::Vector4 plane;
            for (int column = 0; column < 4; ++column)
                plane[column] = clip[3][column] + sign * clip[axis][column];
            const float length = Ogre::Vector3(plane.x, plane.y, plane.z).length();
            if (length > 0.0f)
                planes[planeCount++] = plane / length;
        }
    }
    // Pixels a unit spans at unit distance (clip w) from the camera.
    const float pixelsPerUnit = Ogre::Vector3(clip[1][0], clip[1][1], clip[1][2]).length() * 0.5f * float(rows);

    for (const Run& run : runs)
    {
        if (columns == 0 || rows == 0)
            break;
        const Ogre::Vector3& c = run.centre;
        bool outside = false, betweenDepths = true;
        for (std::size_t n = 0; n < planeCount && !outside; ++n)
        {
            const float above = planes[n].x * c.x + planes[n].y * c.y + planes[n].z * c.z + planes[n].w;
            outside = above < -run.radius;
            betweenDepths = betweenDepths && (n < depthPlanes || above > run.radius);
        }
        if (outside)
            continue;
        // A run small on the screen takes every stride-th point: a chord of
        // a regular n-gon strays r (1 - cos(pi / n)), about r pi^2 / 2 n^2,
        // from its circle of radius r.
        const std::size_t segments = run.closed ? run.count : run.count - 1;
        std::size_t stride = 1;
        const float distance = clip[3][0] * c.x + clip[3][1] * c.y + clip[3][2] * c.z + clip[3][3];
        if (distance > run.radius)
        {
            const float apparent = run.radius * pixelsPerUnit / distance;
            const float needed =
                std::max(float(fewestSegments), Ogre::Math::PI * std::sqrt(apparent / (2.0f * straying)));
            while (segments % (2 * stride) == 0 && float(segments / (2 * stride)) >= needed)
                stride *= 2;
        }
        ++runsCounted;
        segmentsCounted += segments / stride;
        if (betweenDepths)
        {
            // Every point lies between the clipping planes: straight to the
            // window, the window's edges cut in countPixels.
            const float halfColumns = 0.5f * float(columns), halfRows = 0.5f * float(rows);
            inWindow.clear();
            for (std::size_t n = 0; n < run.count; n += stride)
            {
                const Ogre::Vector3& p = points[run.first + n];
                const float x = clip[0][0] * p.x + clip[0][1] * p.y + clip[0][2] * p.z + clip[0][3];
                const float y = clip[1][0] * p.x + clip[1][1] * p.y + clip[1][2] * p.z + clip[1][3];
                const float w = clip[3][0] * p.x + clip[3][1] * p.y + clip[3][2] * p.z + clip[3][3];
                const float inverse = 1.0f / w;
                inWindow.emplace_back((x * inverse + 1.0f) * halfColumns, (1.0f - y * inverse) * halfRows);
            }
            for (std::size_t n = 0; n + 1 < inWindow.size(); ++n)
                countPixels(inWindow[n].x, inWindow[n].y, inWindow[n + 1].x, inWindow[n + 1].y);
            if (run.closed)
                countPixels(inWindow.back().x, inWindow.back().y, inWindow.front().x, inWindow.front().y);
            continue;
        }
        projected.clear();
        for (std::size_t n = 0; n < run.count; n += stride)
        {
            const Ogre::Vector3& p = points[run.first + n];
            Projected q;
            q.x = clip[0][0] * p.x + clip[0][1] * p.y + clip[0][2] * p.z + clip[0][3];
            q.y = clip[1][0] * p.x + clip[1][1] * p.y + clip[1][2] * p.z + clip[1][3];
            q.z = clip[2][0] * p.x + clip[2][1] * p.y + clip[2][2] * p.z + clip[2][3];
            q.w = clip[3][0] * p.x + clip[3][1] * p.y + clip[3][2] * p.z + clip[3][3];
            q.inside = q.w > 0.0f && q.z >= -q.w && q.z <= q.w;
            if (q.inside)
            {
                q.column = (q.x / q.w + 1.0f) * 0.5f * float(columns);
                q.row = (1.0f - q.y / q.w) * 0.5f * float(rows);
            }
            projected.push_back(q);
        }
        for (std::size_t n = 0; n + 1 < projected.size(); ++n)
            drawSegment(projected[n], projected[n + 1]);
        if (run.closed)
            drawSegment(projected.back(), projected.front());
    }
    if (reached.empty())
        reached = Rect{};
}

void LinePicture::drawSegment(const Projected& a, const Projected& b)
{
    if (a.inside && b.inside)
    {
        countPixels(a.column, a.row, b.column, b.row);
        return;
    }
    // The part between the near and far clipping planes, where z + w and
    // w - z are both positive.
    float from = 0.0f, to = 1.0f;
    for (const float sign : {1.0f, -1.0f})
    {
        const float da = a.w + sign * a.z, db = b.w + sign * b.z;
        if (da < 0.0f && db < 0.0f)
            return;
        if (da < 0.0f)
            from = std::max(from, da / (da - db));
        else if (db < 0.0f)
            to = std::min(to, da / (da - db));
    }
    if (!(from < to))
        return;
    const auto window = [&](float t, float& column, float& row) {
        const float x = a.x + t * (b.x - a.x), y = a.y + t * (b.y - a.y), w = a.w + t * (b.w - a.w);
        column = (x / w + 1.0f) * 0.5f * float(columns);
        row = (1.0f - y / w) * 0.5f * float(rows);
    };
    float x0, y0, x1, y1;
    window(from, x0, y0);
    window(to, x1, y1);
    if (std::isfinite(x0) && std::isfinite(y0) && std::isfinite(x1) && std::isfinite(y1))
        countPixels(x0, y0, x1, y1);
}

void LinePicture::countPixels(float x0, float y0, float x1, float y1)
{
    // Most segments lie inside the window; the rest are cut to it first
    // (Liang and Barsky), so that the steps below stay in range.
    const float right = float(columns), bottom = float(rows);
    if (!(x0 >= 0.0f && x0 <= right && x1 >= 0.0f && x1 <= right && y0 >= 0.0f && y0 <= bottom && y1 >= 0.0f &&
          y1 <= bottom))
    {
        const float dx = x1 - x0, dy = y1 - y0;
        float from = 0.0f, to = 1.0f;
        const auto within = [&](float p, float q) {   // p t <= q
            if (p == 0.0f)
                return q >= 0.0f;
            const float t = q / p;
            if (p < 0.0f)
                from = std::max(from, t);
            else
                to = std::min(to, t);
            return from <= to;
        };
        if (!within(-dx, x0) || !within(dx, right - x0) || !within(-dy, y0) || !within(dy, bottom - y0))
            return;
        x1 = std::clamp(x0 + to * dx, 0.0f, right);
        y1 = std::clamp(y0 + to * dy, 0.0f, bottom);
        x0 = std::clamp(x0 + from * dx, 0.0f, right);
        y0 = std::clamp(y0 + from * dy, 0.0f, bottom);
    }
    // A segment within the full blocks about one corner (it touches only
    // pixels between its ends) changes nothing: most of a dense belt's.
    const unsigned first = unsigned(std::min(x0, x1)) / blockSize, last = unsigned(std::max(x0, x1)) / blockSize;
    const unsigned top = unsigned(std::min(y0, y1)) / blockSize, low = unsigned(std::max(y0, y1)) / blockSize;
    const unsigned blockColumns = unsigned(columns + blockSize - 1) / blockSize;
    const unsigned blockRows = unsigned(rows + blockSize - 1) / blockSize;
    const auto full = [&](unsigned column, unsigned row) {
        return column < blockColumns && row < blockRows &&
               fullBlocks[std::size_t(row) * blockColumns + column] == cellsInBlock;
    };
    if (last - first <= 1 && low - top <= 1 && full(first, top) && full(last, top) && full(first, low) &&
        full(last, low))
        return;
    if (std::abs(x1 - x0) >= std::abs(y1 - y0))
        countAlong<true>(x0, y0, x1, y1);
    else
        countAlong<false>(y0, x0, y1, x1);
}

template <bool across>
void LinePicture::countAlong(float a, float aSide, float b, float bSide)
{
    // From the first pixel centre at or past the start to the last before
    // the end, along the longer way; a and b lie in the window.
    if (a > b)
    {
        std::swap(a, b);
        std::swap(aSide, bSide);
    }
    const auto ceiling = [](float v) {   // v > -1: truncation is the ceiling below 0
        const int n = int(v);
        return n + int(float(n) < v);
    };
    const int limit = across ? columns : rows, side = across ? rows : columns;
    const int first = std::max(ceiling(a - 0.5f), 0);
    const int last = std::min(ceiling(b - 0.5f), limit);
    if (first >= last)
        return;
    const float slope = (bSide - aSide) / (b - a);
    // The other coordinate at each centre, with 16 bits of fraction: the
    // shift floors it, a hair below 0 too.
    std::int32_t at = std::int32_t((aSide + (float(first) + 0.5f - a) * slope) * 65536.0f);
    const std::int32_t step = std::int32_t(slope * 65536.0f);
    const std::size_t along = across ? 1 : std::size_t(columns), sideways = across ? std::size_t(columns) : 1;
    const int cellColumns = (columns + cellSize - 1) / cellSize;
    const auto cellOf = [cellColumns](int n, int other) {   // both within the window
        const unsigned column = unsigned(across ? n : other), row = unsigned(across ? other : n);
        return std::size_t(row / cellSize) * std::size_t(cellColumns) + column / cellSize;
    };
    const auto full = [&](int n, int other) {
        return unsigned(other) < unsigned(side) && fullCells[cellOf(n, other)] == cellSize * cellSize;
    };
    std::uint8_t* const start = counts.data();
    for (int n = first; n < last;)
    {
        // A stretch within one column (row) of cells: skipped whole where
        // both cells it can touch (the slope is at most 1) are full.
        const int end = std::min(int((unsigned(n) / cellSize + 1) * cellSize), last);
        const std::int32_t endAt = at + (end - 1 - n) * step;
        if (full(n, at >> 16) && full(n, endAt >> 16))
        {
            at = endAt + step;
            n = end;
            continue;
        }
        for (; n < end; ++n, at += step)
        {
            const int other = at >> 16;
            if (unsigned(other) >= unsigned(side))
                continue;
            std::uint8_t& pixel = start[std::size_t(n) * along + std::size_t(other) * sideways];
            if (pixel < most && ++pixel == most && ++fullCells[cellOf(n, other)] == cellSize * cellSize)
            {
                const unsigned column = unsigned(across ? n : other), row = unsigned(across ? other : n);
                ++fullBlocks[std::size_t(row / blockSize) * std::size_t((columns + blockSize - 1) / blockSize) +
                             column / blockSize];
            }
        }
    }
    const int low = std::clamp(int(std::min(aSide, bSide)), 0, side - 1);
    const int high = std::clamp(int(std::max(aSide, bSide)), 0, side - 1);
    if (across)
        reached = Rect{std::min(reached.left, first), std::min(reached.top, low), std::max(reached.right, last),
                       std::max(reached.bottom, high + 1)};
    else
        reached = Rect{std::min(reached.left, low), std::min(reached.top, first), std::max(reached.right, high + 1),
                       std::max(reached.bottom, last)};
}

namespace
{
// Lines through each run of points, closed round each loop and open along
// each arc, as one manual object.
Ogre::ManualObject* makeLines(Ogre::SceneManager* sceneManager, const std::string& name,
                              const std::vector<std::vector<Ogre::Vector3>>& loops,
                              const std::vector<std::vector<Ogre::Vector3>>& arcs = {})
{
    std::size_t vertices = 0;
    for (const auto* runs : {&loops, &arcs})
        for (const auto& run : *runs)
            vertices += run.size();
    Ogre::ManualObject* lines = sceneManager->createManualObject(name);
    lines->setCastShadows(false);
    lines->estimateVertexCount(vertices);
    lines->estimateIndexCount(vertices * 2);
    lines->begin(lineMaterial, Ogre::RenderOperation::OT_LINE_LIST);
    Ogre::uint32 first = 0;
    for (const auto* runs : {&loops, &arcs})
    {
        const bool closed = runs == &loops;
        for (const auto& run : *runs)
        {
            const auto count = Ogre::uint32(run.size());
            for (Ogre::uint32 n = 0; n < count; ++n)
                lines->position(run[n]);
            for (Ogre::uint32 n = 0; n + (closed ? 0 : 1) < count; ++n)
            {
                lines->index(first + n);
                lines->index(first + (n + 1) % count);
            }
            first += count;
        }
    }
    lines->end();
    return lines;
}

// The colour each line adds, as the line material gives it (white, as the
// engine draws a line without one, if it gives none).
Ogre::ColourValue lineColour()
{
    const Ogre::MaterialPtr material = Ogre::MaterialManager::getSingleton().getByName(lineMaterial);
    if (material && material->getNumTechniques() > 0 && material->getTechnique(0)->getNumPasses() > 0)
    {
        const Ogre::Pass* pass = material->getTechnique(0)->getPass(0);
        if (pass->getNumTextureUnitStates() > 0)
            return pass->getTextureUnitState(0)->getColourBlendMode().colourArg1;
    }
    return Ogre::ColourValue::White;
}

std::string deviceName()
{
    Ogre::Root* root = Ogre::Root::getSingletonPtr();
    const Ogre::RenderSystem* renderSystem = root ? root->getRenderSystem() : nullptr;
    const Ogre::RenderSystemCapabilities* capabilities = renderSystem ? renderSystem->getCapabilities() : nullptr;
    return capabilities ? capabilities->getDeviceName() : std::string();
}

// A LinePicture on a node: counted anew whenever the view of it changes,
// turned to colours in a texture of the window's size and laid over the
// picture in the first queue after the sky's, so that every body drawn
// after it covers it.
class PictureOfLines : public Ogre::MovableObject
{
public:
    static const Ogre::String typeName;

    explicit PictureOfLines(const Ogre::String& name) : Ogre::MovableObject(name), quad(*this)
    {
        setCastShadows(false);
        setRenderQueueGroup(Ogre::RENDER_QUEUE_1);
    }
    ~PictureOfLines() override
    {
        if (texture && Ogre::TextureManager::getSingletonPtr())
            Ogre::TextureManager::getSingleton().remove(texture);
        if (material && Ogre::MaterialManager::getSingletonPtr())
            Ogre::MaterialManager::getSingleton().remove(material);
    }

    void setLines(LinePicture picture, const Ogre::ColourValue& colour)
    {
        lines = std::move(picture);
        for (unsigned n = 0; n < colours.size(); ++n)
        {
            const auto channel = [n](float share) {
                return Ogre::uint32(std::lround(std::clamp(float(n) * share, 0.0f, 1.0f) * 255.0f));
            };
            colours[n] = 0xff000000u | channel(colour.r) << 16 | channel(colour.g) << 8 | channel(colour.b);
        }
        colours[0] = 0;
        // Past the first count with the last colour, more lines change nothing.
        lines.setMost(unsigned(std::find(colours.begin(), colours.end(), colours.back()) - colours.begin()));
        radius = std::max(lines.bounds().getMinimum().length(), lines.bounds().getMaximum().length());
        counted = false;
        if (!material)
        {
            // Added onto the sky as the line material adds each line; no
            // depth: the bodies drawn after it cover it.
            material = Ogre::MaterialManager::getSingleton().create(
                "OrbitLinePicture/" + getName(), Ogre::ResourceGroupManager::INTERNAL_RESOURCE_GROUP_NAME);
            Ogre::Pass* pass = material->getTechnique(0)->getPass(0);
            pass->setLightingEnabled(false);
            pass->setSceneBlending(Ogre::SBT_ADD);
            pass->setDepthCheckEnabled(false);
            pass->setDepthWriteEnabled(false);
            pass->setCullingMode(Ogre::CULL_NONE);
            pass->setFog(true);
            material->setReceiveShadows(false);
            pass->createTextureUnitState();
        }
    }

    const Ogre::String& getMovableType() const override { return typeName; }
    const Ogre::AxisAlignedBox& getBoundingBox() const override { return lines.bounds(); }
    Ogre::Real getBoundingRadius() const override { return radius; }
    void _notifyCurrentCamera(Ogre::Camera* camera) override
    {
        Ogre::MovableObject::_notifyCurrentCamera(camera);
        viewer = camera;
    }
    void _updateRenderQueue(Ogre::RenderQueue* queue) override
    {
        const Ogre::Viewport* viewport = viewer ? viewer->getViewport() : nullptr;
        if (!viewport || !mParentNode)
            return;
        const int width = viewport->getActualWidth(), height = viewport->getActualHeight();
        const Ogre::Matrix4 clip = viewer->getProjectionMatrix() * viewer->getViewMatrix() *
                                   Ogre::Matrix4(mParentNode->_getFullTransform());
        // A still view keeps its picture: the start view, a paused one.
        if (!counted || !(clip == countedClip) || width != lines.width() || height != lines.height())
        {
            lines.draw(clip, width, height);
            paint();
            countedClip = clip;
            counted = true;
        }
        if (!lines.drawn().empty() && material)
            queue->addRenderable(&quad, getRenderQueueGroup());
    }
    void visitRenderables(Ogre::Renderable::Visitor* visitor, bool) override { visitor->visit(&quad, 0, false); }

private:
    // The drawn part of the picture, a rectangle in the window.
    class Quad : public Ogre::Renderable
    {
    public:
        explicit Quad(const PictureOfLines& owner) : picture(owner)
        {
            mUseIdentityProjection = true;
            mUseIdentityView = true;
            vertexData.reset(new Ogre::VertexData());
            vertexData->vertexDeclaration->addElement(0, 0, Ogre::VET_FLOAT3, Ogre::VES_POSITION);
            vertexData->vertexDeclaration->addElement(0, 3 * sizeof(float), Ogre::VET_FLOAT2,
                                                      Ogre::VES_TEXTURE_COORDINATES, 0);
            vertexData->vertexCount = 4;
        }

        void place(const LinePicture::Rect& rect, int width, int height)
        {
            if (!buffer)
            {
                buffer = Ogre::HardwareBufferManager::getSingleton().createVertexBuffer(
                    5 * sizeof(float), 4, Ogre::HardwareBuffer::HBU_DYNAMIC_WRITE_ONLY_DISCARDABLE);
                vertexData->vertexBufferBinding->setBinding(0, buffer);
            }
            const float left = float(rect.left) / float(width), right = float(rect.right) / float(width);
            const float top = float(rect.top) / float(height), bottom = float(rect.bottom) / float(height);
            // Window y runs down, the view's up; a texture's rows run down.
            const float corners[] = {2 * left - 1,  1 - 2 * top,    0, left,  top,
                                     2 * left - 1,  1 - 2 * bottom, 0, left,  bottom,
                                     2 * right - 1, 1 - 2 * top,    0, right, top,
                                     2 * right - 1, 1 - 2 * bottom, 0, right, bottom};
            buffer->writeData(0, sizeof(corners), corners, true);
        }

        const Ogre::MaterialPtr& getMaterial() const override { return picture.material; }
        void getRenderOperation(Ogre::RenderOperation& op) override
        {
            op.operationType = Ogre::RenderOperation::OT_TRIANGLE_STRIP;
            op.vertexData = vertexData.get();
            op.useIndexes = false;
            op.indexData = nullptr;
            op.numberOfInstances = 1;
            op.srcRenderable = this;
        }
        void getWorldTransforms(Ogre::Matrix4* xform) const override { *xform = Ogre::Matrix4::IDENTITY; }
        Ogre::Real getSquaredViewDepth(const Ogre::Camera*) const override { return 0.0f; }
        const Ogre::LightList& getLights() const override
        {
            static const Ogre::LightList none;
            return none;
        }
        bool getCastsShadows() const override { return false; }

    private:
        const PictureOfLines& picture;
        std::unique_ptr<Ogre::VertexData> vertexData;
        Ogre::HardwareVertexBufferSharedPtr buffer;
    };

    // Writes the counts' colours into the texture, over the part drawn now
    // and the part drawn before (cleared), made anew at a new window size.
    void paint()
    {
        const int width = lines.width(), height = lines.height();
        if (width == 0 || height == 0)
            return;
        if (!texture || int(texture->getWidth()) != width || int(texture->getHeight()) != height)
            makeTexture(width, height);
        const LinePicture::Rect& now = lines.drawn();
        LinePicture::Rect both = now;
        if (both.empty())
            both = painted;
        else if (!painted.empty())
            both = LinePicture::Rect{std::min(now.left, painted.left), std::min(now.top, painted.top),
                                     std::max(now.right, painted.right), std::max(now.bottom, painted.bottom)};
        if (!both.empty())
        {
            Ogre::HardwarePixelBuffer& pixels = *texture->getBuffer();
            const Ogre::PixelBox& box = pixels.lock(
                Ogre::Box(Ogre::uint32(both.left), Ogre::uint32(both.top), Ogre::uint32(both.right),
                          Ogre::uint32(both.bottom)),
                Ogre::HardwareBuffer::HBL_WRITE_ONLY);
            auto* out = reinterpret_cast<Ogre::uint32*>(box.getTopLeftFrontPixelPtr());
            for (int y = both.top; y < both.bottom; ++y, out += box.rowPitch)
            {
                const std::uint8_t* count = lines.row(y);
                for (int x = both.left; x < both.right; ++x)
                    out[x - both.left] = colours[count[x]];
            }
            pixels.unlock();
        }
        painted = now;
        if (!now.empty())
            quad.place(now, width, height);
    }

    void makeTexture(int width, int height)
    {
        const std::string textureName = "OrbitLinePicture/" + getName();
        const std::string& group = Ogre::ResourceGroupManager::INTERNAL_RESOURCE_GROUP_NAME;
        if (texture)
            Ogre::TextureManager::getSingleton().remove(texture);
        texture = Ogre::TextureManager::getSingleton().createManual(
            textureName, group, Ogre::TEX_TYPE_2D, Ogre::uint(width), Ogre::uint(height), 0, Ogre::PF_A8R8G8B8,
            Ogre::TU_DYNAMIC_WRITE_ONLY);
        Ogre::HardwarePixelBuffer& pixels = *texture->getBuffer();
        const Ogre::PixelBox& box = pixels.lock(Ogre::Box(0, 0, Ogre::uint32(width), Ogre::uint32(height)),
                                                Ogre::HardwareBuffer::HBL_DISCARD);
        for (int y = 0; y < height; ++y)
            std::fill_n(reinterpret_cast<Ogre::uint32*>(box.getTopLeftFrontPixelPtr()) + std::size_t(y) * box.rowPitch,
                        width, Ogre::uint32(0));
        pixels.unlock();
        painted = LinePicture::Rect{};
        Ogre::TextureUnitState* unit = material->getTechnique(0)->getPass(0)->getTextureUnitState(0);
        unit->setTexture(texture);
        unit->setTextureFiltering(Ogre::TFO_NONE);
        unit->setTextureAddressingMode(Ogre::TextureUnitState::TAM_CLAMP);
        material->load();
    }

    LinePicture lines;
    std::array<Ogre::uint32, 256> colours{};
    Ogre::Real radius = 0.0f;
    Ogre::Camera* viewer = nullptr;
    Ogre::Matrix4 countedClip = Ogre::Matrix4::IDENTITY;
    bool counted = false;
    LinePicture::Rect painted;   // the texture's lit part
    Ogre::TexturePtr texture;
    Ogre::MaterialPtr material;
    Quad quad;
};

const Ogre::String PictureOfLines::typeName = "OrbitLinePicture";

class PictureFactory : public Ogre::MovableObjectFactory
{
public:
    const Ogre::String& getType() const override { return PictureOfLines::typeName; }

protected:
    Ogre::MovableObject* createInstanceImpl(const Ogre::String& name, const Ogre::NameValuePairList*) override
    {
        return new PictureOfLines(name);
    }
};

Ogre::MovableObject* makePicture(Ogre::SceneManager* sceneManager, const std::string& name,
                                 const std::vector<std::vector<Ogre::Vector3>>& loops,
                                 const std::vector<std::vector<Ogre::Vector3>>& arcs)
{
    Ogre::Root& root = Ogre::Root::getSingleton();
    if (!root.hasMovableObjectFactory(PictureOfLines::typeName))
    {
        // The engine keeps a pointer and never deletes it: it lives as long as the process.
        static PictureFactory* factory = new PictureFactory();
        root.addMovableObjectFactory(factory);
    }
    LinePicture lines;
    for (const auto& loop : loops)
        lines.add(loop, true);
    for (const auto& arc : arcs)
        lines.add(arc, false);
    auto* picture = static_cast<PictureOfLines*>(sceneManager->createMovableObject(name, PictureOfLines::typeName));
    picture->setLines(std::move(lines), lineColour());
    return picture;
}

// How far from the Sun the widest orbit about it reaches, world units: the
// span an open orbit's arc is drawn over.
double widestOrbitAboutTheSun(const BodyRegistry& bodies)
{
    double widest = 0.0;
    for (const auto& owned : bodies)
    {
        const Body& body = *owned;
        if (body.definition.Parent != sceneNames::sun)
            continue;
        const double radius = std::abs(double(withinWorld(body.definition.OrbitRadius)));
        if (body.keplerOrbit)
            widest = std::max(widest, radius * (1.0 + body.keplerOrbit->elements.eccentricity));
        else if (body.conicOrbit && body.conicOrbit->elements.eccentricity < 1.0)
        {
            const double e = body.conicOrbit->elements.eccentricity;
            widest = std::max(widest, double(withinWorld(body.definition.PerihelionDistance)) * (1.0 + e) / (1.0 - e));
        }
        else if (!body.conicOrbit)
            widest = std::max(widest, radius);
    }
    return std::min(widest, worldExtent);
}
}

OrbitLines::OrbitLines(Ogre::SceneManager* scene) : sceneManager(scene)
{
}

void OrbitLines::create(const BodyRegistry& bodies, double days)
{
    destroy();
    created = true;

    // Satellites by parent, in registry order.
    std::map<std::string, std::vector<std::vector<Ogre::Vector3>>> loopsOf, arcsOf;
    const double widest = widestOrbitAboutTheSun(bodies);
    for (const auto& owned : bodies)
    {
        const Body& body = *owned;
        if (body.conicOrbit)
        {
            // About the Sun in the J2000 ecliptic, fixed: in the Sun's batch.
            const ConicElements& elements = body.conicOrbit->elements;
            const OrbitAxes axes = orbitAxes(elements.inclination, elements.ascendingNode, elements.periapsis);
            std::vector<Ogre::Vector3> run = conicPoints(withinWorld(body.definition.PerihelionDistance),
                                                         elements.eccentricity, widest, ellipseSegments);
            for (Ogre::Vector3& point : run)
                point = worldFromEcliptic(axes.towardsPerihelion * double(point.x) + axes.alongMotion * double(point.y));
            (elements.eccentricity < 1.0 ? loopsOf : arcsOf)[body.definition.Parent].push_back(std::move(run));
            continue;
        }
        if (!body.keplerOrbit)
        {
            OrbitCircle circle;
            if (!orbitCircleOf(body.definition, circle))
                continue;
            std::vector<Ogre::Vector3> loop;
            for (int n = 0; n < segments; ++n)
                loop.push_back(circle.at(float(n) * Ogre::Math::TWO_PI / segments));
            loopsOf[body.definition.Parent].push_back(std::move(loop));
            continue;
        }
        const float semiMajorAxis = withinWorld(body.definition.OrbitRadius);
        if (!(semiMajorAxis != 0.0f))
            continue;
        // A near circle is drawn as the circles are; a comet's tight bend at
        // perihelion needs more pieces.
        const double e = body.keplerOrbit->elements.eccentricity;
        const int pieces = e < 0.3 ? segments : e < 0.8 ? 2 * segments : ellipseSegments;
        std::vector<Ogre::Vector3> loop = ellipsePoints(*body.keplerOrbit, semiMajorAxis, pieces);
        if (keepsWorldAxes(body) && !body.keplerOrbit->precesses())
        {
            const Ogre::Quaternion plane = worldFromEcliptic(body.keplerOrbit->planeAt(days));
            for (Ogre::Vector3& point : loop)
                point = plane * point;
            loopsOf[body.definition.Parent].push_back(std::move(loop));
            continue;
        }
        // Beside the orbit node, which moves with the body, under its parent.
        Ogre::ManualObject* lines = makeLines(sceneManager, "OrbitLine/" + body.sectionName, {loop});
        Ogre::SceneNode* node = body.orbitNode->getParentSceneNode()->createChildSceneNode();
        const TurningLine line{&body, node};
        node->setOrientation(turnOf(line, days));
        node->attachObject(lines);
        lines->setVisible(visible);
        batches.push_back(lines);
        ownNodes.push_back(node);
        turning.push_back(line);
    }

    for (const auto& parent : arcsOf)
        loopsOf[parent.first];
    const std::string device = deviceName();
    for (const auto& parent : loopsOf)
    {
        const std::string nodeName = sceneNames::positionNode(parent.first);
        if (!sceneManager->hasSceneNode(nodeName))
            continue;
        const auto found = arcsOf.find(parent.first);
        const std::vector<std::vector<Ogre::Vector3>> none;
        const auto& arcs = found == arcsOf.end() ? none : found->second;
        const std::string name = "OrbitLines/" + parent.first;
        Ogre::MovableObject* lines = drawnAsPicture(parent.second.size() + arcs.size(), device)
                                         ? makePicture(sceneManager, name, parent.second, arcs)
                                         : makeLines(sceneManager, name, parent.second, arcs);
        lines->setVisible(visible);
        sceneManager->getSceneNode(nodeName)->attachObject(lines);
        batches.push_back(lines);
    }
}

Ogre::Quaternion OrbitLines::turnOf(const TurningLine& line, double days)
{
    const Ogre::Quaternion plane = worldFromEcliptic(line.body->keplerOrbit->planeAt(days));
    return keepsWorldAxes(*line.body) ? plane : currentWorldOrientation(line.node->getParent()).Inverse() * plane;
}

void OrbitLines::follow(double days)
{
    for (const TurningLine& line : turning)
        line.node->setOrientation(turnOf(line, days));
}

bool OrbitLines::drawnAsPicture(std::size_t lines, const std::string& device)
{
    // Mesa's software drivers, as their GL_RENDERER names them.
    std::string name = device;
    std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    const bool software = name.find("llvmpipe") != std::string::npos || name.find("softpipe") != std::string::npos ||
                          name.find("swrast") != std::string::npos;
    return software && lines >= manyLines;
}

void OrbitLines::destroy()
{
    for (Ogre::MovableObject* lines : batches)
        sceneManager->destroyMovableObject(lines);
    for (Ogre::SceneNode* node : ownNodes)
        sceneManager->destroySceneNode(node);
    batches.clear();
    ownNodes.clear();
    turning.clear();
    created = false;
}

void OrbitLines::setVisible(bool shown)
{
    visible = shown;
    for (Ogre::MovableObject* lines : batches)
        lines->setVisible(shown);
}
