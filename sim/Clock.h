#ifndef ORVTEST_SIM_CLOCK_H
#define ORVTEST_SIM_CLOCK_H

#include <string>

// The run's one clock, which dated bodies follow: UTC, in days from J2000
// (2000-01-01T12:00:00), going at `speed` seconds of sky time for each
// second of real time (negative: backwards).
class Clock
{
public:
    Clock(double days = 0.0, double speed = 1.0) : now(days), secondsPerSecond(speed) {}

    // Moves on by `realSeconds` at the clock's speed; it stops at the ends
    // of the dates it can write.
    void advance(double realSeconds) { setDays(now + secondsPerSecond * realSeconds / secondsPerDay); }
    double days() const { return now; }
    void setDays(double days) { now = days < earliestDays ? earliestDays : days > latestDays ? latestDays : days; }
    double speed() const { return secondsPerSecond; }
    void setSpeed(double speed) { secondsPerSecond = speed; }

    static constexpr double secondsPerDay = 86400.0;
    // Years -32767 and 32767, the ends of the dates read and written.
    static constexpr double earliestDays = -12698385.5;
    static constexpr double latestDays = 11237780.0;

private:
    double now;
    double secondsPerSecond;
};

// The speeds the time keys step through, sky seconds a second, from real
// time to a year a second.
constexpr double clockSpeeds[] = {1,         10,         60,          600,          3600,          6 * 3600,
                                  86400,     3 * 86400,  10 * 86400,  30 * 86400,   100 * 86400,   365.25 * 86400};

// The next speed of the ladder faster (slower) than `speed`, keeping its
// sign; the fastest (slowest) where there is none.
double fasterSpeed(double speed);
double slowerSpeed(double speed);

// "6 h/s", "-1 d/s", "1 yr/s": a speed as a person reads it.
std::string speedText(double speed);

#endif
