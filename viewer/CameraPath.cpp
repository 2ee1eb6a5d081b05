#include "viewer/CameraPath.h"

#include <algorithm>
#include <cmath>

namespace
{
// Steps of a segment's parameter at which its length is measured.
constexpr std::size_t samples = 256;

struct Point
{
    double x, y, z;
};

Point pointOf(const Ogre::Vector3& v)
{
    return {v.x, v.y, v.z};
}

Point blend(const Point& a, double wa, const Point& b, double wb)
{
    return {a.x * wa + b.x * wb, a.y * wa + b.y * wb, a.z * wa + b.z * wb};
}

double distance(const Point& a, const Point& b)
{
    return std::sqrt((a.x - b.x) * (a.x - b.x) + (a.y - b.y) * (a.y - b.y) + (a.z - b.z) * (a.z - b.z));
}
}

CameraPath::CameraPath(const std::vector<CameraPose>& poses) : stops(poses)
{
    const std::size_t segments = stops.size() > 1 ? stops.size() - 1 : 0;
    std::vector<double> lengths;
    for (std::size_t s = 0; s < segments; ++s)
    {
        std::vector<double>& table = flown.emplace_back(samples + 1, 0.0);
        Point last = pointOf(curvePoint(s, 0.0));
        for (std::size_t i = 1; i <= samples; ++i)
        {
            const Point next = pointOf(curvePoint(s, double(i) / samples));
            table[i] = table[i - 1] + distance(last, next);
            last = next;
        }
        lengths.push_back(table.back());
    }
    double total = 0.0;
    for (double length : lengths)
        total += length;
    // Even speed, but for the turns in place that the floor keeps from being cuts.
    const double floor = segments ? (total > 0.0 ? total : 1.0) / (4.0 * double(segments)) : 0.0;
    double weights = 0.0;
    for (double& length : lengths)
        weights += (length = std::max(length, floor));
    startsAt.push_back(0.0);
    for (double length : lengths)
        startsAt.push_back(startsAt.back() + length / weights);
    startsAt.back() = 1.0;
}

Ogre::Vector3 CameraPath::curvePoint(std::size_t segment, double t) const
{
    // The stops around the segment, made up beyond the ends by going straight on.
    const Point p1 = pointOf(stops[segment].position);
    const Point p2 = pointOf(stops[segment + 1].position);
    const Point p0 = segment > 0 ? pointOf(stops[segment - 1].position) : blend(p1, 2.0, p2, -1.0);
    const Point p3 = segment + 2 < stops.size() ? pointOf(stops[segment + 2].position) : blend(p2, 2.0, p1, -1.0);
    const double middle = std::sqrt(distance(p1, p2));
    if (middle == 0.0)
        return stops[segment].position;
    // Centripetal knots: the square roots of the distances, none of them nothing.
    const double t0 = 0.0;
    const double t1 = t0 + std::max(std::sqrt(distance(p0, p1)), 1e-3 * middle);
    const double t2 = t1 + middle;
    const double t3 = t2 + std::max(std::sqrt(distance(p2, p3)), 1e-3 * middle);
    const double u = t1 + t * (t2 - t1);
    // Barry and Goldman's pyramid.
    const Point a1 = blend(p0, (t1 - u) / (t1 - t0), p1, (u - t0) / (t1 - t0));
    const Point a2 = blend(p1, (t2 - u) / (t2 - t1), p2, (u - t1) / (t2 - t1));
    const Point a3 = blend(p2, (t3 - u) / (t3 - t2), p3, (u - t2) / (t3 - t2));
    const Point b1 = blend(a1, (t2 - u) / (t2 - t0), a2, (u - t0) / (t2 - t0));
    const Point b2 = blend(a2, (t3 - u) / (t3 - t1), a3, (u - t1) / (t3 - t1));
    const Point c = blend(b1, (t2 - u) / (t2 - t1), b2, (u - t1) / (t2 - t1));
    return Ogre::Vector3(Ogre::Real(c.x), Ogre::Real(c.y), Ogre::Real(c.z));
}

CameraPath::Place CameraPath::at(double progress) const
{
    Place place;
    if (flown.empty() || !(progress > 0.0))
    {
        place.pose = stops.front();
        return place;
    }
    if (progress >= 1.0)
    {
        place.segment = flown.size() - 1;
        place.along = 1.0;
        place.pose = stops.back();
        return place;
    }
    const std::size_t s = std::size_t(std::upper_bound(startsAt.begin(), startsAt.end(), progress) - startsAt.begin()) - 1;
    place.segment = std::min(s, flown.size() - 1);
    place.along = (progress - startsAt[place.segment]) / (startsAt[place.segment + 1] - startsAt[place.segment]);
    place.pose = at(place.segment, place.along);
    return place;
}

CameraPose CameraPath::at(std::size_t segment, double along) const
{
    if (flown.empty())
        return stops.front();
    segment = std::min(segment, flown.size() - 1);
    along = std::clamp(along, 0.0, 1.0);
    // The parameter at which that share of the segment's length is flown.
    const std::vector<double>& table = flown[segment];
    const double wanted = along * table.back();
    const std::size_t i = std::size_t(std::lower_bound(table.begin() + 1, table.end() - 1, wanted) - table.begin());
    const double between = table[i] > table[i - 1] ? (wanted - table[i - 1]) / (table[i] - table[i - 1]) : 0.0;
    CameraPose pose;
    // The ends exactly: a stop is where its view is, not a sample's rounding of it.
    pose.position = along == 0.0   ? stops[segment].position
                    : along == 1.0 ? stops[segment + 1].position
                                   : curvePoint(segment, (double(i - 1) + between) / samples);
    pose.orientation = Ogre::Quaternion::Slerp(Ogre::Real(along), stops[segment].orientation,
                                               stops[segment + 1].orientation, true);
    pose.orientation.normalise();
    return pose;
}

void CameraMove::start(const CameraPose& pose, float duration)
{
    from = pose;
    seconds = duration;
    elapsed = 0.0f;
    moving = true;
}

CameraPose CameraMove::advance(float dt, const CameraPose& to)
{
    elapsed += dt;
    if (!moving || elapsed >= seconds)
    {
        moving = false;
        return to;
    }
    const float x = elapsed / seconds;
    const float eased = x * x * (3.0f - 2.0f * x);
    CameraPose pose;
    pose.position = from.position + (to.position - from.position) * eased;
    pose.orientation = Ogre::Quaternion::Slerp(eased, from.orientation, to.orientation, true);
    pose.orientation.normalise();
    return pose;
}
