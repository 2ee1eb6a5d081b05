#ifndef ORVTEST_SKY_THEORYTRACK_H
#define ORVTEST_SKY_THEORYTRACK_H

#include "sky/Theories.h"

#include <cstdint>

// One body's theory for a clock that asks every frame: the theory's place
// sampled every theory.sampleDays (at whole multiples of it from J2000) and
// interpolated by a cubic through the four samples about the date: within
// 0.02" of the planets' theory and 0.2" of the Moon's (the test's bounds).
// The samples move with the date; a date that moves more than one spacing
// since the last call is evaluated directly instead, so a fast clock costs
// one evaluation a call and never four.
//
// Evaluations a call: none while the date stays between the same samples,
// one when it crosses to the next, one for a jump (and for the first call),
// and up to four for the first slow call after it, which fills the samples.
class TheoryTrack
{
public:
    // The theory must outlive the track (the listed ones live for the program).
    explicit TheoryTrack(const Theory& theory);

    // The theory's place at TT days from J2000, as theoryPlace gives it.
    Vector3d placeAt(double dynamicalDays);

    // How many times the theory has been evaluated so far.
    std::int64_t evaluations() const { return evaluationCount; }

    const Theory& theory;

private:
    Vector3d evaluate(double dynamicalDays);

    // Samples at (first + i) × sampleDays for i from 0 to 3, while filled.
    Vector3d samples[4];
    std::int64_t first = 0;
    bool filled = false;
    // The date of the last call: how far the clock moves a call.
    double lastDays = 0.0;
    bool asked = false;
    std::int64_t evaluationCount = 0;
};

#endif
