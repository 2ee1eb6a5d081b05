// The MPC's one-line formats: MPCORB.DAT and CometEls.txt, line by line.

#include "MpcLines.h"
#include "catalogue/CatalogueFormats.h"
#include "catalogue/PackedCodes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>

namespace
{
TEST(MpcOrbitLineTest, ReadsEveryColumnOfAPublishedLine)
{
    ASSERT_TRUE(looksLikeMpcOrbitLine(line7482));
    const LineReading r = readMpcOrbitLine(line7482);
    ASSERT_TRUE(r.ok) << r.why;
    EXPECT_EQ("(7482) 1994 PC1", r.body.name);
    EXPECT_EQ(7482u, r.body.number);
    EXPECT_EQ(BodyKind::Asteroid, r.body.kind);
    EXPECT_FLOAT_EQ(16.56f, r.body.magnitude);
    EXPECT_FLOAT_EQ(0.15f, r.body.slope);
    // K221L is 2022 January 21.0 TT.
    EXPECT_DOUBLE_EQ(daysFromJ2000(2022, 1, 21.0), r.body.epochDays);
    const ConicElements& o = r.body.orbit;
    EXPECT_NEAR(1.3488466 * (1 - 0.3296520), o.perihelionDistance, 1e-12);
    EXPECT_DOUBLE_EQ(0.3296520, o.eccentricity);
    EXPECT_DOUBLE_EQ(33.47909, o.inclination);
    EXPECT_DOUBLE_EQ(117.87792, o.ascendingNode);
    EXPECT_DOUBLE_EQ(47.47662, o.periapsis);
    // The mean anomaly 337.27014° was reached since perihelion at the line's
    // own mean motion, 0.62915877° a day (k gives the same to 1e-8).
    EXPECT_NEAR(r.body.epochDays - 337.27014 / 0.62915877, o.perihelionDays, 1e-4);
}

// `text` written from `column` (from 1) on; `why` a phrase of the reason given, null: the line still reads.
struct Mutation { const char* name; int column; const char* text, *why; };

const Mutation mutations[] = {
    {"LetterInMeanAnomaly", 27, "33x.27014", "columns 27-35 (mean anomaly"},
    {"BlankEccentricity", 71, "         ", "columns 71-79 (orbital eccentricity"},
    {"HyperbolicE", 71, "1.3296520", "is no ellipse"},
    {"NegativeAxis", 93, " -1.3488466", "is no ellipse"},
    {"BadEpoch", 21, "K22DL", "columns 21-25 (epoch"},
    {"BadDesignation", 1, "       ", "columns 1-7"},
    {"InclinationOver180", 60, "181.47909", "inclination"},
    {"CommaDecimal", 38, " 47,47662", "columns 38-46"},
    {"BlankH", 9, "     ", nullptr},
    {"ProvisionalDesignation", 1, "K07Tf8A", nullptr},
};

TEST(MpcOrbitLineTest, NamesTheColumnThatDoesNotRead)
{
    for (const Mutation& m : mutations)
    {
        std::string line = line7482;
        line.replace(std::size_t(m.column - 1), std::string(m.text).size(), m.text);
        const LineReading r = readMpcOrbitLine(line);
        EXPECT_EQ(m.why == nullptr, r.ok) << m.name << ": " << r.why;
        EXPECT_NE(std::string::npos, r.why.find(m.why ? m.why : "")) << m.name << ": " << r.why;
    }
}

TEST(MpcOrbitLineTest, ALineWithoutItsReadableDesignationIsNamedByTheUnpackedOne)
{
    std::string numbered = line7482.substr(0, 160);
    EXPECT_EQ("(7482)", readMpcOrbitLine(numbered).body.name);
    numbered.replace(0, 7, "~000z  ");
    EXPECT_EQ("(620061)", readMpcOrbitLine(numbered).body.name);
    numbered.replace(0, 7, "J95X00A");
    EXPECT_EQ("1995 XA", readMpcOrbitLine(numbered).body.name);
    EXPECT_EQ(0u, readMpcOrbitLine(numbered).body.number);
    EXPECT_FALSE(readMpcOrbitLine(line7482.substr(0, 100)).ok);
}

// Elements the MPC publishes (kstars-data's cometels.json.gz, the MPC's
// CometEls of 2022 August; J2000 ecliptic and equinox).
struct CometRow { const char* name, *number, *packed; int year, month; double day, q, e, peri, node, incl;
                  const char* epoch; double h, g; const char* designation; };

const CometRow cometRows[] = {
    {"HaleBopp", "    C", "J95O010", 1997, 3, 29.6466, 0.890662, 0.994972, 130.4139, 282.7613, 89.2742, "20220824",
     -2.0, 4.0, "C/1995 O1 (Hale-Bopp)"},
    {"Halley", "0001P", "", 1986, 2, 22.695, 0.59863, 0.966503, 112.1408, 59.2191, 162.1946, "20220824", 4.0, 6.0,
     "1P/Halley"},
    {"Oumuamua", "0001I", "", 2017, 9, 9.4886, 0.25524, 1.199252, 241.6845, 24.5997, 122.6778, "20170904", 23.0, 2.0,
     "1I/`Oumuamua"},
    {"Borisov", "0002I", "", 2019, 12, 8.5549, 2.006548, 3.356636, 209.1251, 308.148, 44.0527, "20191223", 11.0, 4.0,
     "2I/Borisov"},
    {"Parabolic", "    C", "J95A010", 1995, 1, 1.5, 1.2, 1.0, 10.0, 20.0, 30.0, "", 12.0, 4.0, ""}};

TEST(MpcCometLineTest, ReadsEveryColumnAndAnyEccentricity)
{
    for (const CometRow& c : cometRows)
    {
        SCOPED_TRACE(c.name);
        const std::string line = cometLine(c.number, c.packed, c.year, c.month, c.day, c.q, c.e, c.peri, c.node,
                                           c.incl, c.epoch, c.h, c.g, c.designation);
        ASSERT_TRUE(looksLikeMpcCometLine(line)) << line;
        ASSERT_FALSE(looksLikeMpcOrbitLine(line));
        const LineReading r = readMpcCometLine(line);
        ASSERT_TRUE(r.ok) << r.why << "\n" << line;
        EXPECT_EQ(BodyKind::Comet, r.body.kind);
        EXPECT_EQ(*c.designation ? std::string(c.designation) : std::string("C/1995 A1"), r.body.name);
        EXPECT_NEAR(daysFromJ2000(c.year, c.month, c.day), r.body.orbit.perihelionDays, 1e-9);
        EXPECT_DOUBLE_EQ(c.q, r.body.orbit.perihelionDistance);
        EXPECT_DOUBLE_EQ(c.e, r.body.orbit.eccentricity);
        EXPECT_DOUBLE_EQ(c.peri, r.body.orbit.periapsis);
        EXPECT_DOUBLE_EQ(c.node, r.body.orbit.ascendingNode);
        EXPECT_DOUBLE_EQ(c.incl, r.body.orbit.inclination);
        EXPECT_FLOAT_EQ(float(c.h), r.body.magnitude);
        EXPECT_FLOAT_EQ(float(c.g), r.body.slope);
        // Without an epoch the elements are of the perihelion's date.
        int year = c.year, month = c.month;
        double day = c.day;
        std::sscanf(c.epoch, "%4d%2d%2lf", &year, &month, &day);
        EXPECT_NEAR(daysFromJ2000(year, month, day), r.body.epochDays, 1e-9);
    }
}

TEST(MpcCometLineTest, RefusesDatesAndElementsThatAreNone)
{
    const auto line = [](int month, double day, double q, double e) {
        return cometLine("0001P", "", 1986, month, day, q, e, 112.1408, 59.2191, 162.1946, "", 4.0, 6.0, "1P/Halley");
    };
    EXPECT_TRUE(readMpcCometLine(line(2, 28.9, 0.5, 0.9)).ok);
    EXPECT_NE(std::string::npos, readMpcCometLine(line(2, 29.5, 0.5, 0.9)).why.find("day of perihelion"));
    EXPECT_NE(std::string::npos, readMpcCometLine(line(13, 1.0, 0.5, 0.9)).why.find("day of perihelion"));
    EXPECT_NE(std::string::npos, readMpcCometLine(line(2, 1.0, 0.0, 0.9)).why.find("perihelion distance"));
    EXPECT_FALSE(readMpcCometLine(line(2, 1.0, 0.5, 0.9).substr(0, 70)).ok);
}
}
