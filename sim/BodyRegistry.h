#ifndef ORVTEST_SIM_BODYREGISTRY_H
#define ORVTEST_SIM_BODYREGISTRY_H

#include "sim/Body.h"

#include <cstddef>
#include <memory>
#include <vector>

// The ordered collection that owns every body. Its order is registration
// order, which the system-file reader makes ascending by section name.
class BodyRegistry
{
public:
    using Storage = std::vector<std::unique_ptr<Body>>;

    // Appends the body and takes ownership of it.
    void add(Body* body);
    std::size_t size() const { return bodies.size(); }
    bool empty() const { return bodies.empty(); }
    // Zero-based; index must be below size().
    Body& at(std::size_t index) const { return *bodies.at(index); }
    // Destroys every body, first to last, and leaves the registry empty.
    void clear();

    Storage::const_iterator begin() const { return bodies.begin(); }
    Storage::const_iterator end() const { return bodies.end(); }

private:
    Storage bodies;
};

// The process-wide registry: filled by loadSystemFile, cleared at exit.
extern BodyRegistry bodyRegistry;

#endif
