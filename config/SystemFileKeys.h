#ifndef ORVTEST_CONFIG_SYSTEMFILEKEYS_H
#define ORVTEST_CONFIG_SYSTEMFILEKEYS_H

#include "config/ValueChecks.h"
#include "sim/BodyDefinition.h"

#include <optional>
#include <string>
#include <vector>

// One key of a body's section in the system file.
struct BodyKey
{
    const char* name;
    bool required;                   // a section must give it exactly once to make a body
    std::string defaultValue;        // optional keys: as the file would write it
    KeyField<BodyDefinition> field;  // where it is stored
    std::optional<ValueLimits> limits = std::nullopt;
};

// Every key of a body section: the required ones first, then the
// optional ones, in the order of docs/SYSTEM-FILE.md's tables. The reader,
// orvtest-check and that page follow this table.
const std::vector<BodyKey>& bodyKeys();

// The key of that name, or null.
const BodyKey* findBodyKey(const std::string& name);

// A definition with every optional key at its default and the required ones empty.
const BodyDefinition& defaultBodyDefinition();

// How many keys are required.
std::size_t requiredBodyKeyCount();

// The eccentricities of an orbit that follows the clock by OrbitDays: an ellipse's.
const ValueLimits& orbitEccentricityLimits();
// Those of an orbit by its perihelion: any conic's, 0 or more.
const ValueLimits& perihelionEccentricityLimits();
// The real perihelion distance of an orbit by its perihelion, AU: above 0.
const ValueLimits& perihelionAULimits();

#endif
