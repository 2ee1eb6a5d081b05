#include "sky/TheoryTrack.h"

#include <cmath>

TheoryTrack::TheoryTrack(const Theory& followed) : theory(followed)
{
}

Vector3d TheoryTrack::evaluate(double dynamicalDays)
{
    ++evaluationCount;
    return theoryPlace(theory, dynamicalDays);
}

Vector3d TheoryTrack::placeAt(double dynamicalDays)
{
    const double spacing = theory.sampleDays;
    const double position = dynamicalDays / spacing;
    const bool slow = asked && std::abs(dynamicalDays - lastDays) <= spacing;
    lastDays = dynamicalDays;
    asked = true;
    // Samples left behind by a fast clock would cost more than the place
    // itself; a sample count past the integers is no date of any theory.
    if (!slow || !(std::abs(position) < 1e15))
        return evaluate(dynamicalDays);

    const double below = std::floor(position);
    const std::int64_t wanted = static_cast<std::int64_t>(below) - 1;
    if (!filled || wanted != first)
    {
        Vector3d moved[4];
        for (std::int64_t i = 0; i < 4; ++i)
        {
            const std::int64_t kept = wanted + i - first;
            moved[i] = filled && kept >= 0 && kept < 4 ? samples[kept] : evaluate(double(wanted + i) * spacing);
        }
        for (int i = 0; i < 4; ++i)
            samples[i] = moved[i];
        first = wanted;
        filled = true;
    }

    // Lagrange's cubic through the samples at -1, 0, 1 and 2 spacings from
    // the one below the date, at u in [0, 1).
    const double u = position - below;
    const double w0 = -u * (u - 1.0) * (u - 2.0) / 6.0;
    const double w1 = (u + 1.0) * (u - 1.0) * (u - 2.0) / 2.0;
    const double w2 = -(u + 1.0) * u * (u - 2.0) / 2.0;
    const double w3 = (u + 1.0) * u * (u - 1.0) / 6.0;
    return samples[0] * w0 + samples[1] * w1 + samples[2] * w2 + samples[3] * w3;
}
