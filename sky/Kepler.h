#ifndef ORVTEST_SKY_KEPLER_H
#define ORVTEST_SKY_KEPLER_H

// An eccentric anomaly E (radians) with its sine and cosine, as a solution of
// Kepler's equation leaves them for the next.
struct EccentricAnomaly
{
    double angle = 0.0;
    double sine = 0.0;
    double cosine = 1.0;
};

// Solves Kepler's equation E - e sin E = M for the eccentric anomaly of
// `meanAnomaly` (radians, any number of turns) on an ellipse of eccentricity
// e (0 to below 1), to within 1e-14, for any eccentricity. `solution` comes
// in as a guess (the last frame's: near, it takes one sine and cosine) and
// goes out solved, E brought within a turn of M.
void solveKepler(double meanAnomaly, double eccentricity, EccentricAnomaly& solution);

// An angle in radians brought into [-pi, pi].
double wrappedRadians(double angle);

#endif
