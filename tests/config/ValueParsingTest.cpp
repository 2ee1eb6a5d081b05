// The readers' own number and word reading does what stream extraction does,
// which is what the files have always meant: checked against a real stream on
// tricky values and on many random ones.

#include "config/ValueParsing.h"

#include "config/Dates.h"
#include "sky/Clock.h"

#include <gtest/gtest.h>

#include <clocale>
#include <random>
#include <sstream>

namespace
{
template <typename T>
void expectLikeAStream(const std::string& text)
{
    std::istringstream stream(text);
    std::size_t at = 0;
    for (int n = 0; n < 4; ++n)
    {
        T expected{};
        const bool streamRead = bool(stream >> expected);
        T actual{};
        const bool read = readNumber(text, at, actual);
        ASSERT_EQ(streamRead, read) << "'" << text << "', number " << n;
        if (!read)
            return;
        EXPECT_EQ(expected, actual) << "'" << text << "'";
        const std::streamoff position = stream.tellg();
        EXPECT_EQ(position < 0 ? text.size() : std::size_t(position), at) << "'" << text << "'";
    }
}

TEST(ValueParsingTest, NumbersAndWordsAreReadAsAStreamReadsThem)
{
    const char* tricky[] = {"12", " 12abc", "-3.5e2x", "+.5", ".", "-", "1e", "1e+", "1e39", "-1e39", "1e-45",
                            "0x1A", "1,5", "1.2.3", "nan", "inf", "  \t7", "99999999999", "-2147483648",
                            "2147483648", "1 2 3", "4e-2 5 x", "", "  ", "1E5", "00012", "+-1", "٣", "3e0.5"};
    for (const char* text : tricky)
    {
        SCOPED_TRACE(text);
        expectLikeAStream<float>(text);
        expectLikeAStream<int>(text);
        std::istringstream stream(text);
        std::string expected, word = "unchanged";
        const bool read = parseWord(text, word);
        EXPECT_EQ(bool(stream >> expected), read);
        if (read)
        {
            EXPECT_EQ(expected, word);
        }
        bool flag = true, streamFlag = true;
        std::istringstream flagStream(text);
        EXPECT_EQ(bool(flagStream >> streamFlag), parseFlag(text, flag));
    }

    std::mt19937 random(7);
    const std::string alphabet = "0123456789+-.eE \tx,ni";
    for (int n = 0; n < 20000; ++n)
    {
        std::string text;
        for (int length = random() % 12; length > 0; --length)
            text += alphabet[random() % alphabet.size()];
        expectLikeAStream<float>(text);
        expectLikeAStream<int>(text);
    }
}

TEST(ValueParsingTest, ThePointIsAPointWhateverTheDesktopsLanguage)
{
    // The input library sets the process's locale from the environment; a
    // German one writes 0,5 for a half.
    const char* previous = std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
    if (!previous)
        GTEST_SKIP() << "no de_DE locale on this machine";
    float value = 0;
    EXPECT_TRUE(parseFloat("0.5", value));
    std::setlocale(LC_NUMERIC, "C");
    EXPECT_EQ(0.5f, value);
}
}

namespace
{
// Dates read as docs/VIEWER.md says: ISO 8601, UTC, in the proleptic Gregorian
// calendar, from the first day of year -32767 to the last of 32767, which is
// also as far as the clock goes; J2000 is noon TT, 64.184 s before noon UTC.
TEST(DatesTest, TheCalendarReadsToItsEndsAndTheClockGoesAsFar)
{
    EXPECT_EQ(Clock::earliestDays, *parseDate("-32767-01-01"));
    EXPECT_EQ("-32767-01-01 00:00 UTC", dateText(Clock::earliestDays));
    EXPECT_EQ("32767-12-31 23:59 UTC", dateText(Clock::latestDays));
    EXPECT_NEAR(Clock::latestDays, *parseDate("32767-12-31T23:59:59.999Z"), 1e-9);
    for (const char* beyond : {"32768-01-01", "-32768-12-31", "2030-02-30", "2030-1-1x", "J2001"})
        EXPECT_FALSE(parseDate(beyond).ok()) << beyond;
    // 1582-10-04 was followed by 10-15 in the Julian-to-Gregorian change; the
    // proleptic calendar counts the days between as days all the same.
    EXPECT_EQ(11.0, *parseDate("1582-10-15") - *parseDate("1582-10-04"));
    EXPECT_EQ("2000-01-01T11:58:55.816Z", exactIsoDate(*parseDate("J2000")));
    EXPECT_EQ(0.0, *parseDynamicalDate("J2000"));
    EXPECT_EQ(0.0, *parseDynamicalDate("2000-01-01T12:00"));
}
}
