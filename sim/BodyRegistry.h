#ifndef ORVTEST_SIM_BODYREGISTRY_H
#define ORVTEST_SIM_BODYREGISTRY_H

#include "sim/Body.h"

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

// The ordered collection that owns every body. Its order is registration
// order, which the system-file reader makes ascending by section name.
class BodyRegistry
{
public:
    using Storage = std::vector<std::unique_ptr<Body>>;

    // Appends the body, takes ownership of it and gives it the turns of the
    // current step multiplier.
    void add(Body* body);
    std::size_t size() const { return bodies.size(); }
    bool empty() const { return bodies.empty(); }
    // Whether any body follows the sky's clock: a dated system.
    bool anyFollowsClock() const;
    // Zero-based; index must be below size().
    Body& at(std::size_t index) const { return *bodies.at(index); }
    // The index of the body of that section, or -1.
    int indexOf(const std::string& sectionName) const;
    // Destroys every body, first to last, and leaves the registry empty.
    void clear();
    // Exchanges the bodies (not the step multiplier) with another registry,
    // then gives the bodies now held the turns of this registry's multiplier.
    void swapBodies(BodyRegistry& other);

    // How many motion updates one motion step applies: 1 is the frame-locked
    // step, 8 eight times as far, -0.25 a quarter of it backwards. The turns
    // are made here, once per change, not every frame.
    void setStepMultiplier(double multiplier);
    double stepMultiplier() const { return multiplier; }

    Storage::const_iterator begin() const { return bodies.begin(); }
    Storage::const_iterator end() const { return bodies.end(); }

private:
    void applyMultiplier(Body& body) const;

    Storage bodies;
    double multiplier = 1.0;
};

// The process-wide registry: filled by loadSystemFile, cleared at exit.
extern BodyRegistry bodyRegistry;

#endif
