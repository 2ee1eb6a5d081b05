#include "catalogue/SmallBodies.h"

#include <algorithm>

void SmallBodies::reserve(std::size_t bodies, std::size_t nameBytes)
{
    for (auto* v : {&perihelionDays, &perihelionDistances, &eccentricities, &epochs})
        v->reserve(bodies);
    axes.reserve(bodies * 6);
    for (auto* v : {&inclinations, &nodes, &periapses, &magnitudes, &slopes, &diameters})
        v->reserve(bodies);
    numbers.reserve(bodies);
    kinds.reserve(bodies);
    classes.reserve(bodies);
    nameEnds.reserve(bodies);
    names.reserve(nameBytes);
}

void SmallBodies::add(const SmallBody& body)
{
    const ConicElements& o = body.orbit;
    perihelionDays.push_back(o.perihelionDays);
    perihelionDistances.push_back(o.perihelionDistance);
    eccentricities.push_back(o.eccentricity);
    epochs.push_back(body.epochDays);
    const OrbitAxes a = orbitAxes(o.inclination, o.ascendingNode, o.periapsis);
    for (double v : {a.towardsPerihelion.x, a.towardsPerihelion.y, a.towardsPerihelion.z, a.alongMotion.x,
                     a.alongMotion.y, a.alongMotion.z})
        axes.push_back(float(v));
    inclinations.push_back(float(o.inclination));
    nodes.push_back(float(o.ascendingNode));
    periapses.push_back(float(o.periapsis));
    magnitudes.push_back(body.magnitude);
    slopes.push_back(body.slope);
    diameters.push_back(body.diameter);
    numbers.push_back(body.number);
    kinds.push_back(body.kind);
    std::array<char, 4> code{};
    std::copy_n(body.orbitClass.begin(), std::min(body.orbitClass.size(), code.size()), code.begin());
    classes.push_back(code);
    names += body.name;
    nameEnds.push_back(std::uint32_t(names.size()));
}

void SmallBodies::shrinkToFit()
{
    for (auto* v : {&perihelionDays, &perihelionDistances, &eccentricities, &epochs})
        v->shrink_to_fit();
    for (auto* v : {&axes, &inclinations, &nodes, &periapses, &magnitudes, &slopes, &diameters})
        v->shrink_to_fit();
    numbers.shrink_to_fit();
    kinds.shrink_to_fit();
    classes.shrink_to_fit();
    nameEnds.shrink_to_fit();
    names.shrink_to_fit();
}

std::string_view SmallBodies::name(std::size_t index) const
{
    const std::uint32_t start = index == 0 ? 0 : nameEnds[index - 1];
    return std::string_view(names).substr(start, nameEnds[index] - start);
}

std::string_view SmallBodies::orbitClass(std::size_t index) const
{
    const std::array<char, 4>& code = classes[index];
    return std::string_view(code.data(), std::size_t(std::find(code.begin(), code.end(), '\0') - code.begin()));
}

ConicElements SmallBodies::elements(std::size_t index) const
{
    return {perihelionDistances[index], eccentricities[index], inclinations[index], nodes[index], periapses[index],
            perihelionDays[index]};
}

Vector3d SmallBodies::positionAt(std::size_t index, double days) const
{
    const PlaneState s = stateInPlane(perihelionDistances[index], eccentricities[index], days - perihelionDays[index]);
    const float* a = &axes[index * 6];
    return {a[0] * s.x + a[3] * s.y, a[1] * s.x + a[4] * s.y, a[2] * s.x + a[5] * s.y};
}

void SmallBodies::positionsAt(double days, std::size_t first, std::size_t count, Vector3d* places) const
{
    for (std::size_t i = 0; i < count; ++i)
        places[i] = positionAt(first + i, days);
}

std::size_t SmallBodies::bytesPerBody()
{
    return 4 * sizeof(double) + 6 * sizeof(float) + 6 * sizeof(float) + sizeof(std::uint32_t) + sizeof(BodyKind) +
           sizeof(std::array<char, 4>);
}

std::size_t SmallBodies::bytesHeld() const
{
    std::size_t bytes = 0;
    for (auto* v : {&perihelionDays, &perihelionDistances, &eccentricities, &epochs})
        bytes += v->capacity() * sizeof(double);
    for (auto* v : {&axes, &inclinations, &nodes, &periapses, &magnitudes, &slopes, &diameters})
        bytes += v->capacity() * sizeof(float);
    return bytes + numbers.capacity() * sizeof(std::uint32_t) + kinds.capacity() * sizeof(BodyKind) +
           classes.capacity() * sizeof(classes[0]) + nameBytes();
}
