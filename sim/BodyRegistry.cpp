#include "sim/BodyRegistry.h"

#include <algorithm>

BodyRegistry bodyRegistry;

void BodyRegistry::add(Body* body)
{
    bodies.emplace_back(body);
    applyMultiplier(*body);
}

int BodyRegistry::indexOf(const std::string& sectionName) const
{
    for (std::size_t i = 0; i < bodies.size(); ++i)
        if (bodies[i]->sectionName == sectionName)
            return int(i);
    return -1;
}

void BodyRegistry::clear()
{
    for (auto& body : bodies)
        body.reset();
    bodies.clear();
}

void BodyRegistry::swapBodies(BodyRegistry& other)
{
    bodies.swap(other.bodies);
    for (auto& body : bodies)
        applyMultiplier(*body);
    for (auto& body : other.bodies)
        other.applyMultiplier(*body);
}

void BodyRegistry::setStepMultiplier(double newMultiplier)
{
    if (newMultiplier == multiplier)
        return;
    multiplier = newMultiplier;
    for (auto& body : bodies)
        applyMultiplier(*body);
}

void BodyRegistry::applyMultiplier(Body& body) const
{
    body.orbitTurnNow = body.orbitTurn.scaledBy(multiplier);
    body.spinTurnNow = body.spinTurn.scaledBy(multiplier);
}

bool BodyRegistry::anyFollowsClock() const
{
    return std::any_of(bodies.begin(), bodies.end(), [](const auto& body) { return body->followsClock(); });
}
