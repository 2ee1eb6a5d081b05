#ifndef ORVTEST_TESTS_MPCLINES_H
#define ORVTEST_TESTS_MPCLINES_H

// Lines of the MPC's one-line formats for the catalogue and checker tests.

#include <cstdio>
#include <string>

// A line of MPCORB.DAT for (7482) 1994 PC1, as a public repository quotes it
// in a comment beside its reader (the MPC's data; MPCORB of 2021 October,
// J2000 ecliptic and equinox, epoch 2022 January 21.0 TT).
inline const std::string line7482 =
    "07482   16.56  0.15 K221L 337.27014   47.47662  117.87792   33.47909  0.3296520  0.62915877   1.3488466  0 "
    "MPO656989   735  16 1974-2021 0.73 M-v 3Ek Pan        9803   (7482) 1994 PC1           20211014";

// A CometEls line written from the columns the MPC documents (its "Export
// Format for Comet Orbits"), independently of the reader's table.
inline std::string cometLine(const char* number, const char* packed, int year, int month, double day, double q,
                             double e, double peri, double node, double incl, const char* epoch, double h, double g,
                             const char* name)
{
    char text[256];
    std::snprintf(text, sizeof text, "%-5s%-7s  %4d %02d %7.4f %9.6f  %8.6f  %8.4f  %8.4f  %8.4f  %-8s  %4.1f %4.1f  %-56s%s",
                  number, packed, year, month, day, q, e, peri, node, incl, epoch, h, g, name, "MPC 12345");
    return text;
}

#endif
