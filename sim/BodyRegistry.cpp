#include "sim/BodyRegistry.h"

BodyRegistry bodyRegistry;

void BodyRegistry::add(Body* body)
{
    bodies.emplace_back(body);
}

void BodyRegistry::clear()
{
    for (auto& body : bodies)
        body.reset();
    bodies.clear();
}
