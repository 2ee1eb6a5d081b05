#include "viewer/NameLabels.h"

#include "config/Utf8.h"
#include "sim/BodyRegistry.h"
#include "sim/BodySteps.h"
#include "sim/SceneNames.h"
#include "sim/TrueScale.h"
#include "sim/WorldLimits.h"
#include "viewer/OverlayOrder.h"
#include "viewer/StatusText.h"

#include <OgreCamera.h>
#include <OgreFont.h>
#include <OgreOverlay.h>
#include <OgreOverlayContainer.h>
#include <OgreOverlayManager.h>
#include <OgreParticleSystem.h>
#include <OgreSceneManager.h>
#include <OgreTextAreaOverlayElement.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace
{
constexpr float charHeight = 15.0f;   // pixels at 96 dpi
constexpr float spaceWidth = 5.0f;
// A disc smaller than this still keeps its name this far out, pixels at 96 dpi.
constexpr float smallestDisc = 2.0f;

// The places beside a disc a name is tried in, in this order.
enum Beside : std::uint8_t
{
    Right,
    Left,
    Above,
    Below,
    IntoWindow,   // the right place, pushed inside the window
    besideCount
};
}

float labelTextHeight(float scale)
{
    // The engine keeps a text area's height in pixels as a whole number.
    return std::floor(charHeight * scale);
}

void LabelLayout::CellGrid::reset(float width, float height)
{
    columns = std::max(1, int(std::ceil(width / cellSize)));
    rows = std::max(1, int(std::ceil(height / cellSize)));
    heads.assign(std::size_t(columns) * std::size_t(rows), -1);
    entries.clear();
}

bool LabelLayout::CellGrid::cellRange(const Rect& area, int& firstColumn, int& lastColumn, int& firstRow,
                                      int& lastRow) const
{
    // Written so that NaN touches nothing.
    if (!(area.right >= 0.0f && area.bottom >= 0.0f && area.left < float(columns) * cellSize &&
          area.top < float(rows) * cellSize))
        return false;
    firstColumn = int(std::max(0.0f, area.left) / cellSize);
    lastColumn = int(std::min(area.right / cellSize, float(columns - 1)));
    firstRow = int(std::max(0.0f, area.top) / cellSize);
    lastRow = int(std::min(area.bottom / cellSize, float(rows - 1)));
    return firstColumn <= lastColumn && firstRow <= lastRow;
}

void LabelLayout::CellGrid::add(int item, const Rect& area)
{
    int firstColumn, lastColumn, firstRow, lastRow;
    if (!cellRange(area, firstColumn, lastColumn, firstRow, lastRow))
        return;
    for (int row = firstRow; row <= lastRow; ++row)
        for (int column = firstColumn; column <= lastColumn; ++column)
        {
            int& head = heads[std::size_t(row * columns + column)];
            entries.push_back(Entry{item, head});
            head = int(entries.size() - 1);
        }
}

template <typename Visit>
bool LabelLayout::CellGrid::any(const Rect& area, Visit&& visit) const
{
    int firstColumn, lastColumn, firstRow, lastRow;
    if (!cellRange(area, firstColumn, lastColumn, firstRow, lastRow))
        return false;
    for (int row = firstRow; row <= lastRow; ++row)
        for (int column = firstColumn; column <= lastColumn; ++column)
            for (int at = heads[std::size_t(row * columns + column)]; at >= 0; at = entries[std::size_t(at)].next)
                if (visit(entries[std::size_t(at)].item))
                    return true;
    return false;
}

namespace
{
bool discCrosses(float x, float y, float radius, float left, float top, float right, float bottom)
{
    const float dx = x - std::clamp(x, left, right);
    const float dy = y - std::clamp(y, top, bottom);
    return dx * dx + dy * dy < radius * radius;
}
}

bool LabelLayout::hidden(std::size_t index) const
{
    const Disc& disc = discs[index];
    const Rect centre{disc.x, disc.y, disc.x, disc.y};
    return discCells.any(centre, [&](int other) {
        const Disc& front = discs[std::size_t(other)];
        const float dx = front.x - disc.x;
        const float dy = front.y - disc.y;
        return std::size_t(other) != index && front.distance < disc.distance && front.size >= disc.size &&
               dx * dx + dy * dy < front.radius * front.radius;
    });
}

bool LabelLayout::fits(const Rect& text, std::size_t index, bool acrossDiscsBehind, const LabelView& view) const
{
    if (!(text.left >= 0.0f && text.top >= 0.0f && text.right <= view.width && text.bottom <= view.height))
        return false;
    const float stripHalfWidth = statusStripWidth * view.scale / 2.0f;
    if (text.top < statusStripBottom * view.scale && text.right > view.width / 2.0f - stripHalfWidth &&
        text.left < view.width / 2.0f + stripHalfWidth)
        return false;
    const Disc& own = discs[index];
    const bool acrossDisc = discCells.any(text, [&](int other) {
        const Disc& disc = discs[std::size_t(other)];
        if (std::size_t(other) == index || (acrossDiscsBehind && disc.distance > own.distance))
            return false;
        return discCrosses(disc.x, disc.y, disc.radius, text.left, text.top, text.right, text.bottom);
    });
    if (acrossDisc)
        return false;
    const Rect near{text.left - spacing, text.top - spacing, text.right + spacing, text.bottom + spacing};
    return !nameCells.any(near, [&](int other) {
        const LabelPlace& name = placed[std::size_t(other)];
        return near.left < name.left + name.width && name.left < near.right && near.top < name.top + name.height &&
               name.top < near.bottom;
    });
}

void LabelLayout::placeLabels(const BodyRegistry& bodies, const Ogre::Camera& camera, const LabelView& view,
                              const std::vector<float>& nameWidths, std::size_t most)
{
    placed.clear();
    discs.clear();
    if (sides.size() != bodies.size())
        sides.assign(bodies.size(), LastSide{0.0f, 0.0f, 0, Right});
    ++placing;
    const Ogre::Affine3& viewMatrix = camera.getViewMatrix();
    const Ogre::Matrix4& projection = camera.getProjectionMatrix();
    const float nearClip = camera.getNearClipDistance();
    const Ogre::Vector3 eyePosition = camera.getDerivedPosition();
    const float pixelsPerUnit = view.height / (2.0f * std::tan(camera.getFOVy().valueRadians() / 2.0f));
    // The disc of a sphere of `radius` whose centre is at `eye` (camera space), if any of it is in the window.
    const auto project = [&](const Ogre::Vector3& eye, float radius, std::size_t body) {
        // The camera looks down its -Z axis: nothing at or behind it is seen.
        if (!(-eye.z > nearClip))
            return;
        const float distance = eye.length();
        // From inside a body its surface is all round: no disc.
        const float sine = radius / distance;
        if (!(sine < 1.0f))
            return;
        // Away from the middle of the view a disc is drawn stretched outwards:
        // the circle round its centre's image that reaches its outer edge.
        const float outwards = Ogre::Vector2(eye.x, eye.y).length() / -eye.z;   // tan of the angle off the axis
        const float across = sine / std::sqrt(1.0f - sine * sine);               // tan of the disc's angular radius
        const float turn = 1.0f - outwards * across;
        const float reach = turn > 0.0f ? (outwards + across) / turn - outwards : 2.0f * (view.width + view.height);
        const Ogre::Vector3 onScreen = projection * eye;
        Disc disc{(onScreen.x + 1.0f) * 0.5f * view.width,
                  (1.0f - onScreen.y) * 0.5f * view.height,
                  std::min(pixelsPerUnit * reach, 2.0f * (view.width + view.height)),
                  sine,
                  distance,
                  body,
                  false};
        if (!(disc.x + disc.radius >= 0.0f && disc.x - disc.radius <= view.width && disc.y + disc.radius >= 0.0f &&
              disc.y - disc.radius <= view.height))
            return;
        disc.inView = disc.x >= 0.0f && disc.x <= view.width && disc.y >= 0.0f && disc.y <= view.height;
        discs.push_back(disc);
    };

    // Every disc drawn.
    for (std::size_t i = 0; i < bodies.size(); ++i)
    {
        const Body& body = bodies.at(i);
        if (!body.nearShown && !body.farShown)
            continue;
        const Ogre::Vector3 centre = bodyCentre(body);
        if (!body.nearShown &&
            !(body.definition.Far && farSphereDrawn(body, (centre - eyePosition).squaredLength())))
            continue;
        project(viewMatrix * centre, withinWorld(body.drawnRadius), i);
    }

    // The candidates, in rank order.
    const std::size_t focus = view.focus >= 0 ? std::size_t(view.focus) : sunBody;
    const auto before = [focus](const Disc& a, const Disc& b) {
        if ((a.body == focus) != (b.body == focus))
            return a.body == focus;
        if (a.size != b.size)
            return a.size > b.size;
        if (a.distance != b.distance)
            return a.distance < b.distance;
        return a.body < b.body;
    };
    const std::size_t candidates = candidatesPerName * most;
    if (discs.size() > candidates)
    {
        std::nth_element(discs.begin(), discs.begin() + long(candidates), discs.end(), before);
        discs.resize(candidates);
    }
    std::sort(discs.begin(), discs.end(), before);
    if (view.sunRadius > 0.0f)
        project(viewMatrix * view.sunCentre, view.sunRadius, sunBody);

    discCells.reset(view.width, view.height);
    nameCells.reset(view.width, view.height);
    // Points of light neither hide a body nor stand in a name's way: in a
    // crowd they are most of the discs.
    for (std::size_t d = 0; d < discs.size(); ++d)
    {
        const Disc& disc = discs[d];
        if (disc.radius >= pointRadius)
            discCells.add(int(d), Rect{disc.x - disc.radius, disc.y - disc.radius, disc.x + disc.radius,
                                       disc.y + disc.radius});
    }

    // The names, each in the first place that fits.
    const float textHeight = labelTextHeight(view.scale);
    const float gap = discGap * view.scale;
    for (std::size_t d = 0; d < discs.size() && placed.size() < most; ++d)
    {
        const Disc& disc = discs[d];
        if (disc.body == sunBody || !disc.inView || disc.body >= nameWidths.size() || hidden(d))
            continue;
        const float textWidth = nameWidths[disc.body];
        const float reach = std::max(disc.radius, smallestDisc * view.scale) + gap;
        const auto textAt = [&](std::uint8_t side) {
            float left = disc.x + reach;
            float top = disc.y - textHeight / 2.0f;
            if (side == Left)
                left = disc.x - reach - textWidth;
            else if (side == Above || side == Below)
            {
                left = disc.x - textWidth / 2.0f;
                top = side == Above ? disc.y - reach - textHeight : disc.y + reach;
            }
            else if (side == IntoWindow)
            {
                left = std::clamp(left, 0.0f, std::max(0.0f, view.width - textWidth));
                top = std::clamp(top, 0.0f, std::max(0.0f, view.height - textHeight));
            }
            // Whole pixels: the glyphs drawn as the font made them.
            left = std::round(left);
            top = std::round(top);
            return Rect{left, top, left + textWidth, top + textHeight};
        };
        // The side of the last frame first, while the body has hardly moved, then the others in order.
        LastSide& kept = sides[disc.body];
        const bool steady = kept.placing + 1 == placing && std::abs(kept.x - disc.x) < textHeight &&
                            std::abs(kept.y - disc.y) < textHeight;
        const std::uint8_t first = steady ? kept.side : std::uint8_t(Right);
        // The body in focus keeps its name where nothing else would.
        const int passes = disc.body == focus ? 2 : 1;
        bool done = false;
        for (int pass = 0; pass < passes && !done; ++pass)
            for (std::uint8_t n = 0; n < besideCount && !done; ++n)
            {
                const std::uint8_t side = n == 0 ? first : n <= first ? std::uint8_t(n - 1) : n;
                const Rect text = textAt(side);
                if (!fits(text, d, pass == 1, view))
                    continue;
                nameCells.add(int(placed.size()), text);
                placed.push_back(LabelPlace{disc.body, disc.distance, text.left, text.top, textWidth, textHeight});
                kept = LastSide{disc.x, disc.y, placing, side};
                done = true;
            }
    }
}

NameLabels::NameLabels(Ogre::SceneManager* sceneManager)
{
    if (sceneManager && sceneManager->hasParticleSystem(sceneNames::sunParticle))
        sunRadius = sceneManager->getParticleSystem(sceneNames::sunParticle)->getDefaultWidth() / 2.0f;
    scene = sceneManager;
    Ogre::OverlayManager* overlays = Ogre::OverlayManager::getSingletonPtr();
    if (!overlays)
        return;
    overlay = overlays->create("OrvTest/Labels");
    // Under the statistics and the help.
    overlay->setZOrder(overlayOrder::labels);
    auto* panel = static_cast<Ogre::OverlayContainer*>(overlays->createOverlayElement("Panel", "OrvTest/LabelPanel"));
    panel->setMetricsMode(Ogre::GMM_PIXELS);
    panel->setDimensions(1.0f, 1.0f);
    for (std::size_t n = 0; n < most; ++n)
    {
        auto* text = static_cast<Ogre::TextAreaOverlayElement*>(
            overlays->createOverlayElement("TextArea", "OrvTest/Label" + std::to_string(n)));
        text->setMetricsMode(Ogre::GMM_PIXELS);
        text->setFontName("StatsFont");
        // Pale on the dark sky.
        text->setColourTop(Ogre::ColourValue(0.8f, 0.9f, 1.0f));
        text->setColourBottom(Ogre::ColourValue(0.6f, 0.75f, 0.95f));
        text->hide();
        panel->addChild(text);
        texts.push_back(text);
    }
    setScale(scale);
    shownBody.assign(most, nullptr);
    overlay->add2D(panel);
    overlay->hide();
}

void NameLabels::setScale(float uiScale)
{
    scale = uiScale;
    namesMeasured = false;
    for (Ogre::TextAreaOverlayElement* text : texts)
    {
        text->setCharHeight(labelTextHeight(scale));
        text->setSpaceWidth(std::floor(spaceWidth * scale));
        text->setDimensions(200.0f * scale, labelTextHeight(scale));
    }
}

void NameLabels::forgetBodies()
{
    std::fill(shownBody.begin(), shownBody.end(), nullptr);
    namesMeasured = false;
    layout.forgetBodies();
}

void NameLabels::setVisible(bool shown)
{
    visible = shown;
    showOverlay(overlay, shown);
}

void NameLabels::measureNames(const BodyRegistry& bodies)
{
    namesMeasured = true;
    nameWidths.assign(bodies.size(), 0.0f);
    if (texts.empty())
        return;
    const Ogre::FontPtr& font = texts.front()->getFont();
    font->load();
    // As the engine lays a caption out: each glyph as wide as its aspect
    // ratio times the character height, a blank the space width.
    const float height = labelTextHeight(scale);
    const float blank = std::floor(spaceWidth * scale);
    for (std::size_t i = 0; i < bodies.size(); ++i)
    {
        const std::string& name = bodies.at(i).definition.Name;
        float width = 0.0f;
        for (std::size_t at = 0; at < name.size();)
        {
            const std::uint32_t codePoint = nextCodePoint(name, at);
            width += codePoint == ' ' ? blank : height * font->getGlyphAspectRatio(codePoint);
        }
        nameWidths[i] = width;
    }
}

void NameLabels::update(const BodyRegistry& bodies, const Ogre::Camera& camera, float width, float height, int focus)
{
    if (!visible || !overlay)
        return;
    if (!namesMeasured || nameWidths.size() != bodies.size())
        measureNames(bodies);
    LabelView view;
    view.width = width;
    view.height = height;
    view.scale = scale;
    view.focus = focus;
    view.sunRadius = sunRadius;
    // At true scale the Sun is a disc of its real radius, where the camera sees it.
    if (scene && scene->hasSceneNode(sceneNames::sunNode))
    {
        view.sunCentre = scene->getSceneNode(sceneNames::sunNode)->getPosition();
        if (scene->hasParticleSystem(sceneNames::sunParticle) &&
            !scene->getParticleSystem(sceneNames::sunParticle)->isVisible())
            view.sunRadius = float(sunRadiusKm);
    }
    layout.placeLabels(bodies, camera, view, nameWidths, most);
    const std::vector<LabelPlace>& places = layout.places();
    for (std::size_t n = 0; n < texts.size(); ++n)
    {
        Ogre::TextAreaOverlayElement* text = texts[n];
        if (n >= places.size())
        {
            text->hide();
            shownBody[n] = nullptr;
            continue;
        }
        const Body& body = bodies.at(places[n].body);
        if (shownBody[n] != &body)
        {
            text->setCaption(body.definition.Name);
            shownBody[n] = &body;
        }
        text->setPosition(places[n].left, places[n].top);
        text->show();
    }
}

std::string NameLabels::describe(const BodyRegistry& bodies) const
{
    std::string text;
    if (!visible)
        return text;
    for (const LabelPlace& place : layout.places())
    {
        if (place.body >= bodies.size())
            continue;
        char numbers[64];
        std::snprintf(numbers, sizeof numbers, " at %.0f,%.0f %.1fx%.0f", double(place.left), double(place.top),
                      double(place.width), double(place.height));
        text += (text.empty() ? "" : "; ") + bodies.at(place.body).definition.Name + numbers;
    }
    return text;
}
