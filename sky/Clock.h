#ifndef ORVTEST_SKY_CLOCK_H
#define ORVTEST_SKY_CLOCK_H

#include <string>
#include <vector>

// How fast and which way time runs: a signed rate, the same for the
// frame-locked bodies (motion updates an update) and for the clock (sky
// seconds a second). Any rate is kept as given; the time keys step it along
// a ladder of sizes, keeping its direction.
class TimeFlow
{
public:
    explicit TimeFlow(double rate = 1.0) : signedRate(rate) {}

    double rate() const { return signedRate; }
    void setRate(double rate) { signedRate = rate; }
    bool reversed() const { return signedRate < 0.0; }
    void reverse() { signedRate = -signedRate; }
    // To the next size of the ladder above (below) this one, keeping the
    // direction; the largest (smallest) where there is none.
    void faster(const std::vector<double>& ladder);
    void slower(const std::vector<double>& ladder);

    bool operator==(const TimeFlow& other) const { return signedRate == other.signedRate; }

private:
    double signedRate;
};

// The sizes the time keys step a frame-locked rate through: 1/64 to 1024 in
// powers of two.
const std::vector<double>& frameRateLadder();
// The speeds they step the clock through, sky seconds a second: real time to
// a year a second.
const std::vector<double>& clockSpeedLadder();

// Sky seconds a second the clock starts at unless told otherwise: a day a
// second, so that the Earth turns once a second and the Moon goes round in
// half a minute.
constexpr double defaultClockSpeed = 86400.0;
constexpr double secondsPerDay = 86400.0;

// The run's one clock, which dated bodies follow: UTC, in days from
// 2000-01-01T12:00:00 UTC, going at its flow's rate in sky seconds for each
// second of real time.
class Clock
{
public:
    explicit Clock(double utcDays = 0.0, double speed = defaultClockSpeed) : now(utcDays), flow(speed) {}

    // Moves on by `realSeconds` at the clock's speed; it stops at the ends
    // of the dates it can write.
    void advance(double realSeconds) { setDays(now + flow.rate() * realSeconds / secondsPerDay); }
    // UTC, as the clock shows it.
    double days() const { return now; }
    // Dynamical time (TT) from J2000, as orbits and spins run on it.
    double dynamicalDays() const;
    void setDays(double utcDays);
    double speed() const { return flow.rate(); }
    void setSpeed(double speed) { flow.setRate(speed); }

    // The ends of the dates read and written: -32767-01-01T00:00 and the
    // last millisecond of 32767-12-31.
    static constexpr double earliestDays = -12698385.5;
    static constexpr double latestDays = 11237780.5 - 0.001 / 86400.0;

private:
    double now;
    TimeFlow flow;
};

// "6 h/s", "-1 d/s", "1 yr/s": a clock speed as a person reads it.
std::string speedText(double speed);
// "8", "-1/4", "0.3": a frame-locked rate as a person reads it.
std::string rateText(double rate);

#endif
