// The sampled theories against the theories evaluated at every date, and
// what a running clock costs in evaluations.

#include "sky/Frames.h"
#include "sky/TheoryTrack.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <string>

namespace
{
constexpr double arcsecond = pi / (180.0 * 3600.0);   // radians
constexpr double framesPerSecond = 60.0;

// How far apart two places are, seen from the theory's centre, in
// arcseconds: direction and distance in one.
double arcsecondsApart(const Vector3d& a, const Vector3d& b) { return (a - b).length() / b.length() / arcsecond; }

bool isMoon(const Theory& theory) { return theory.family == std::string("ELP 2000-82B"); }

std::string nameOf(const ::testing::TestParamInfo<Theory>& info)
{
    std::string name = info.param.name;
    std::replace(name.begin(), name.end(), '-', '_');
    return name;
}

class TheoryTrackTest : public ::testing::TestWithParam<Theory>
{
protected:
    // A listed theory: the track keeps a reference to it.
    const Theory& theory() const { return *findTheory(GetParam().name); }
};

TEST_P(TheoryTrackTest, FollowsTheTheoryAtRandomDatesOfItsYears)
{
    // Each walk jumps to a random date of the theory's years and moves on by
    // less than a sample spacing a call, forwards and back, as a slow clock
    // and J do: filled, shifted and reused samples all get compared.
    const Theory& followed = theory();
    const double bound = isMoon(followed) ? 0.2 : 0.02;   // arcseconds
    const int walks = isMoon(followed) ? 40 : 150;
    std::mt19937_64 random(20260514);
    std::uniform_real_distribution<double> date((followed.firstYear - 2000.0) * 365.25,
                                                (followed.lastYear - 2000.0) * 365.25);
    std::uniform_real_distribution<double> step(-0.4 * followed.sampleDays, 0.99 * followed.sampleDays);
    TheoryTrack track(followed);
    double worst = 0.0;
    for (int walk = 0; walk < walks; ++walk)
    {
        double days = date(random);
        for (int call = 0; call < 6; ++call, days += step(random))
        {
            const double apart = arcsecondsApart(track.placeAt(days), theoryPlace(followed, days));
            worst = std::max(worst, apart);
            EXPECT_LT(apart, bound) << followed.name << " at " << days << " days";
        }
    }
    RecordProperty("worstArcseconds", std::to_string(worst));
}

TEST_P(TheoryTrackTest, ADaySecondCostsOneEvaluationForEachSampleCrossedAndAJumpOneThenOneFill)
{
    // A minute at 60 frames a second: the first frame evaluates directly,
    // the second fills four samples, and each sample the date passes after
    // that costs one; the Moon's 60 days are 240 samples, not 3600 frames.
    const Theory& followed = theory();
    TheoryTrack track(followed);
    const double start = 9630.3;   // 2026-05-14
    const double perFrame = 1.0 / framesPerSecond;
    const int frames = 60 * int(framesPerSecond);
    double days = start;
    for (int frame = 0; frame < frames; ++frame)
    {
        days = start + frame * perFrame;
        track.placeAt(days);
    }
    const double h = followed.sampleDays;
    const auto crossed = std::int64_t(std::floor(days / h) - std::floor((start + perFrame) / h));
    EXPECT_EQ(track.evaluations(), 1 + 4 + crossed) << followed.name;
    EXPECT_LE(track.evaluations(), std::int64_t(std::ceil(60.0 / h)) + 5) << followed.name;

    // A slow clock, T to a date ten years on, the slow clock again, and a
    // pause: what each call costs.
    TheoryTrack jumped(followed);
    const double slow = 0.3 * h;
    const double dates[] = {100.0, 100.0 + slow, 3752.5, 3752.5 + slow, 3752.5 + slow, 3752.5 + slow};
    const std::int64_t costs[] = {1, 4, 1, 4, 0, 0};
    for (int call = 0; call < 6; ++call)
    {
        const std::int64_t before = jumped.evaluations();
        const Vector3d place = jumped.placeAt(dates[call]);
        EXPECT_EQ(jumped.evaluations() - before, costs[call]) << followed.name << " call " << call;
        EXPECT_LT(arcsecondsApart(place, theoryPlace(followed, dates[call])), 0.2) << followed.name;
    }
}

TEST_P(TheoryTrackTest, AFastClockCostsAtMostOneEvaluationAFrame)
{
    // A year a second for two seconds: a day or more a frame. Where that is
    // more than a spacing every frame is one direct evaluation, exact; where
    // less, the samples keep up after one fill.
    const Theory& followed = theory();
    TheoryTrack track(followed);
    const double perFrame = 365.25 / framesPerSecond;
    const bool direct = perFrame > followed.sampleDays;
    for (int frame = 0; frame < 2 * int(framesPerSecond); ++frame)
    {
        const double days = -3000.0 + frame * perFrame;
        const std::int64_t before = track.evaluations();
        const Vector3d place = track.placeAt(days);
        const std::int64_t cost = track.evaluations() - before;
        if (direct)
        {
            EXPECT_EQ(cost, 1) << followed.name << " frame " << frame;
            EXPECT_EQ(place, theoryPlace(followed, days)) << followed.name << " frame " << frame;
        }
        else
            EXPECT_LE(cost, frame == 1 ? 4 : 1) << followed.name << " frame " << frame;
    }
}

INSTANTIATE_TEST_SUITE_P(EveryTheory, TheoryTrackTest, ::testing::ValuesIn(theories()), nameOf);
}
