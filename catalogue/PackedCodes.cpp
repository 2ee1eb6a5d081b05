#include "catalogue/PackedCodes.h"

#include <cmath>

namespace
{
bool digit(char c)
{
    return c >= '0' && c <= '9';
}

int century(char c)
{
    // The MPC documents I, J and K; the letters run on from A = 10.
    return c >= 'A' && c <= 'Z' ? c - 'A' + 10 : -1;
}

// 1-31 as 1-9 then A-V: the packed dates' month and day digits.
int monthOrDay(char c)
{
    if (c >= '1' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'V')
        return c - 'A' + 10;
    return -1;
}

std::optional<int> packedYear(std::string_view packed)
{
    const int hundreds = century(packed[0]);
    if (hundreds < 0 || !digit(packed[1]) || !digit(packed[2]))
        return std::nullopt;
    return hundreds * 100 + (packed[1] - '0') * 10 + (packed[2] - '0');
}

bool halfMonthLetter(char c)
{
    return c >= 'A' && c <= 'Y' && c != 'I';
}

// Two characters of a cycle count or an order: a digit or a base-62
// letter for the tens, then a digit.
int packedCount(char tens, char units)
{
    const int t = base62Digit(tens);
    return t < 0 || !digit(units) ? -1 : t * 10 + (units - '0');
}

std::optional<std::string> unpackCometProvisional(std::string_view packed)
{
    // Seven characters: year, half-month letter, order, then '0' or a
    // fragment's lower-case letter. An upper-case last letter is a
    // minor-planet style designation (such as P/2019 GG21).
    if (packed.size() != 7)
        return std::nullopt;
    if (packed[6] >= 'A' && packed[6] <= 'Z')
        return unpackProvisional(packed);
    const std::optional<int> year = packedYear(packed);
    const int order = packedCount(packed[4], packed[5]);
    if (!year || !halfMonthLetter(packed[3]) || order <= 0)
        return std::nullopt;
    std::string text = std::to_string(*year) + ' ' + packed[3] + std::to_string(order);
    if (packed[6] >= 'a' && packed[6] <= 'z')
        text += std::string("-") + char(packed[6] - 'a' + 'A');
    else if (packed[6] != '0')
        return std::nullopt;
    return text;
}
}

int base62Digit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'Z')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'z')
        return c - 'a' + 36;
    return -1;
}

std::optional<std::uint32_t> unpackNumber(std::string_view packed)
{
    if (packed.size() != 5)
        return std::nullopt;
    if (packed[0] == '~')
    {
        std::uint32_t value = 0;
        for (char c : packed.substr(1))
        {
            const int d = base62Digit(c);
            if (d < 0)
                return std::nullopt;
            value = value * 62 + std::uint32_t(d);
        }
        return 620000 + value;
    }
    const int head = base62Digit(packed[0]);
    if (head < 0)
        return std::nullopt;
    std::uint32_t value = std::uint32_t(head);
    for (char c : packed.substr(1))
    {
        if (!digit(c))
            return std::nullopt;
        value = value * 10 + std::uint32_t(c - '0');
    }
    if (value == 0)
        return std::nullopt;
    return value;
}

std::optional<std::string> unpackProvisional(std::string_view packed)
{
    if (packed.size() != 7)
        return std::nullopt;
    // Surveys: PLS, T1S, T2S, T3S and four digits.
    const std::string_view survey = packed.substr(0, 3);
    const char* surveyName = survey == "PLS" ? "P-L" : survey == "T1S" ? "T-1" : survey == "T2S" ? "T-2"
                                                  : survey == "T3S" ? "T-3" : nullptr;
    if (surveyName)
    {
        for (char c : packed.substr(3))
            if (!digit(c))
                return std::nullopt;
        return std::string(packed.substr(3)) + ' ' + surveyName;
    }
    const std::optional<int> year = packedYear(packed);
    const int cycle = packedCount(packed[4], packed[5]);
    const char second = packed[6];
    if (!year || !halfMonthLetter(packed[3]) || cycle < 0 || second < 'A' || second > 'Z')
        return std::nullopt;
    std::string text = std::to_string(*year) + ' ' + packed[3] + second;
    if (cycle > 0)
        text += std::to_string(cycle);
    return text;
}

std::optional<std::string> unpackCometDesignation(std::string_view packed)
{
    // Columns 1-4 a periodic comet's number (zero-padded), column 5 the
    // orbit type, columns 6-12 the packed provisional designation; either
    // the number or the provisional designation may be missing.
    while (!packed.empty() && packed.front() == ' ')
        packed.remove_prefix(1);
    while (!packed.empty() && packed.back() == ' ')
        packed.remove_suffix(1);
    std::size_t digits = 0;
    while (digits < packed.size() && digit(packed[digits]))
        ++digits;
    if (digits > 4 || digits == packed.size())
        return std::nullopt;
    const char type = packed[digits];
    if (type != 'C' && type != 'P' && type != 'D' && type != 'X' && type != 'I' && type != 'A')
        return std::nullopt;
    const std::string_view provisional = packed.substr(digits + 1);
    std::string number;
    if (digits > 0)
    {
        const int n = std::stoi(std::string(packed.substr(0, digits)));
        if (n <= 0)
            return std::nullopt;
        number = std::to_string(n) + type;
    }
    if (provisional.empty())
        return number.empty() ? std::nullopt : std::optional<std::string>(number);
    const std::optional<std::string> unpacked = unpackCometProvisional(provisional);
    if (!unpacked)
        return std::nullopt;
    return (number.empty() ? std::string(1, type) : number) + '/' + *unpacked;
}

std::optional<CalendarDate> unpackDate(std::string_view packed)
{
    if (packed.size() < 5)
        return std::nullopt;
    const std::optional<int> year = packedYear(packed);
    const int month = monthOrDay(packed[3]);
    const int day = monthOrDay(packed[4]);
    if (!year || month < 1 || month > 12 || day < 1)
        return std::nullopt;
    double fraction = 0.0;
    double scale = 0.1;
    for (char c : packed.substr(5))
    {
        if (!digit(c))
            return std::nullopt;
        fraction += (c - '0') * scale;
        scale *= 0.1;
    }
    if (!validDate(*year, month, day))
        return std::nullopt;
    return CalendarDate{*year, month, day + fraction};
}

bool validDate(int year, int month, double day)
{
    if (month < 1 || month > 12 || !(day >= 1.0))
        return false;
    static const int lengths[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    const int length = lengths[month - 1] + (month == 2 && leap ? 1 : 0);
    return day < length + 1.0;
}

double daysFromJ2000(int year, int month, double day)
{
    // days_from_civil: days from 1970-01-01 of a proleptic Gregorian date.
    const long y = long(year) - (month <= 2 ? 1 : 0);
    const long era = (y >= 0 ? y : y - 399) / 400;
    const long yearOfEra = y - era * 400;
    const long dayOfYear = (153L * (month > 2 ? month - 3 : month + 9) + 2) / 5;
    const long dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    const long fromEpoch = era * 146097 + dayOfEra - 719468;
    // 2000-01-01 is day 10957 of that count; J2000 is its noon.
    return double(fromEpoch - 10957) + (day - 1.0) - 0.5;
}
