#include "sky/Theories.h"

// Placeholder until libnova's theories land.
const std::vector<Theory>& theories()
{
    static const std::vector<Theory> none;
    return none;
}

const Theory* findTheory(const std::string&)
{
    return nullptr;
}

Vector3d theoryPlace(const Theory&, double)
{
    return {};
}

bool theoryHolds(const Theory& theory, double dynamicalDays)
{
    const double year = 2000.0 + dynamicalDays / 365.25;
    return year >= theory.firstYear && year <= theory.lastYear;
}
