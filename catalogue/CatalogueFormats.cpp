#include "catalogue/CatalogueFormats.h"

#include "catalogue/PackedCodes.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace
{
constexpr float notGiven = std::numeric_limits<float>::quiet_NaN();
constexpr double julianDayOfJ2000 = 2451545.0;
constexpr double modifiedJulianDayOfJ2000 = 51544.5;

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
        text.remove_suffix(1);
    return text;
}

// A number filling the whole (trimmed) text; locale-free.
bool number(std::string_view text, double& value)
{
    text = trimmed(text);
    if (text.empty())
        return false;
    if (text.front() == '+')
        text.remove_prefix(1);
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size() && std::isfinite(value);
}

bool integer(std::string_view text, int& value)
{
    text = trimmed(text);
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return !text.empty() && error == std::errc() && end == text.data() + text.size();
}

// An optional magnitude: blank is "not given", anything else must read.
bool magnitude(std::string_view text, float& value)
{
    if (trimmed(text).empty())
    {
        value = notGiven;
        return true;
    }
    double v = 0.0;
    if (!number(text, v))
        return false;
    value = float(v);
    return true;
}

std::string columnWhy(const Column& column, std::string_view text)
{
    return "columns " + std::to_string(column.first) + "-" + std::to_string(column.last) + " (" + column.meaning +
           ") read \"" + std::string(trimmed(text)) + "\"";
}

bool angle(double degrees)
{
    return degrees >= -360.0 && degrees <= 720.0;
}

// The checks every orbit keeps to, whatever its format; empty when sound.
std::string orbitWhy(const ConicElements& o)
{
    if (!(o.perihelionDistance > 0.0) || o.perihelionDistance > 1e6)
        return "the perihelion distance " + std::to_string(o.perihelionDistance) + " AU is not above 0";
    if (!(o.eccentricity >= 0.0) || o.eccentricity > 1e4)
        return "the eccentricity " + std::to_string(o.eccentricity) + " is below 0";
    if (!(o.inclination >= 0.0 && o.inclination <= 180.0))
        return "the inclination " + std::to_string(o.inclination) + "° is not within 0-180°";
    if (!angle(o.ascendingNode) || !angle(o.periapsis))
        return "an angle of the orbit is out of range";
    if (!std::isfinite(o.perihelionDays) || std::abs(o.perihelionDays) > 1e8)
        return "the perihelion time is out of range";
    return {};
}

LineReading failed(std::string why)
{
    LineReading reading;
    reading.why = std::move(why);
    return reading;
}
}

const char* formatName(CatalogueFormat format)
{
    switch (format)
    {
    case CatalogueFormat::MpcOrbits:
        return "MPCORB";
    case CatalogueFormat::MpcComets:
        return "MPC comets";
    case CatalogueFormat::JplQuery:
        return "JPL SBDB query";
    case CatalogueFormat::JplObject:
        return "JPL SBDB object";
    }
    return "";
}

const std::vector<Column>& mpcOrbitColumns()
{
    // minorplanetcenter.net/iau/info/MPOrbitFormat.html, "Export Format for Minor-Planet Orbits".
    static const std::vector<Column> columns = {
        {"designation", 1, 7, "number or provisional designation, packed"},
        {"H", 9, 13, "absolute magnitude H"},
        {"G", 15, 19, "slope parameter G"},
        {"epoch", 21, 25, "epoch, packed, .0 TT"},
        {"M", 27, 35, "mean anomaly at the epoch, degrees"},
        {"Peri", 38, 46, "argument of perihelion, J2000.0, degrees"},
        {"Node", 49, 57, "longitude of the ascending node, J2000.0, degrees"},
        {"Incl", 60, 68, "inclination to the ecliptic, J2000.0, degrees"},
        {"e", 71, 79, "orbital eccentricity"},
        {"n", 81, 91, "mean daily motion, degrees a day"},
        {"a", 93, 103, "semimajor axis, AU"},
        {"name", 167, 194, "readable designation"},
    };
    return columns;
}

const std::vector<Column>& mpcCometColumns()
{
    // minorplanetcenter.net/iau/info/CometOrbitFormat.html, the form
    // CometEls.txt is written in.
    static const std::vector<Column> columns = {
        {"number", 1, 4, "periodic comet number"},
        {"type", 5, 5, "orbit type"},
        {"designation", 6, 12, "provisional designation, packed"},
        {"T year", 15, 18, "year of perihelion passage"},
        {"T month", 20, 21, "month of perihelion passage"},
        {"T day", 23, 29, "day of perihelion passage, TT"},
        {"q", 31, 39, "perihelion distance, AU"},
        {"e", 42, 49, "orbital eccentricity"},
        {"Peri", 52, 59, "argument of perihelion, J2000.0, degrees"},
        {"Node", 62, 69, "longitude of the ascending node, J2000.0, degrees"},
        {"Incl", 72, 79, "inclination, J2000.0, degrees"},
        {"epoch year", 82, 85, "year of epoch for perturbed solutions"},
        {"epoch month", 86, 87, "month of epoch"},
        {"epoch day", 88, 89, "day of epoch"},
        {"H", 92, 95, "absolute magnitude"},
        {"G", 97, 100, "slope parameter"},
        {"name", 103, 158, "designation and name"},
    };
    return columns;
}

std::string_view columnText(std::string_view line, const Column& column)
{
    const std::size_t first = std::size_t(column.first - 1);
    if (line.size() <= first)
        return {};
    return line.substr(first, std::size_t(column.last - column.first + 1));
}

bool looksLikeMpcOrbitLine(std::string_view line)
{
    // The decimal points of M, Peri, Node, Incl, e, n and a (f9.5 ... f11.7).
    return line.size() >= 103 && line[29] == '.' && line[40] == '.' && line[51] == '.' && line[62] == '.' &&
           line[71] == '.' && line[82] == '.' && line[95] == '.';
}

bool looksLikeMpcCometLine(std::string_view line)
{
    // The decimal points of the day (f7.4), q (f9.6), e (f8.6) and the three angles (f8.4).
    return line.size() >= 79 && line[24] == '.' && line[32] == '.' && line[42] == '.' && line[54] == '.' &&
           line[64] == '.' && line[74] == '.';
}

LineReading readMpcOrbitLine(std::string_view line)
{
    const std::vector<Column>& c = mpcOrbitColumns();
    if (line.size() < std::size_t(c[OrbitSemiMajorAxis].last))
        return failed("the line has " + std::to_string(line.size()) + " characters; the orbit needs " +
                      std::to_string(c[OrbitSemiMajorAxis].last));
    LineReading reading;
    SmallBody& body = reading.body;
    const std::string_view packed = trimmed(columnText(line, c[OrbitDesignation]));
    std::string fallbackName;
    if (const std::optional<std::uint32_t> n = unpackNumber(packed))
    {
        body.number = *n;
        fallbackName = "(" + std::to_string(*n) + ")";
    }
    else if (const std::optional<std::string> provisional = unpackProvisional(packed))
        fallbackName = *provisional;
    else if (!packed.empty())
        fallbackName = std::string(packed);
    else
        return failed(columnWhy(c[OrbitDesignation], packed));

    if (!magnitude(columnText(line, c[OrbitH]), body.magnitude))
        return failed(columnWhy(c[OrbitH], columnText(line, c[OrbitH])));
    if (!magnitude(columnText(line, c[OrbitG]), body.slope))
        return failed(columnWhy(c[OrbitG], columnText(line, c[OrbitG])));
    const std::optional<CalendarDate> epoch = unpackDate(trimmed(columnText(line, c[OrbitEpoch])));
    if (!epoch)
        return failed(columnWhy(c[OrbitEpoch], columnText(line, c[OrbitEpoch])));
    body.epochDays = daysFromJ2000(epoch->year, epoch->month, epoch->day);

    double values[MpcOrbitFieldCount] = {};
    for (int field : {OrbitMeanAnomaly, OrbitPeriapsis, OrbitNode, OrbitInclination, OrbitEccentricity,
                      OrbitSemiMajorAxis})
        if (!number(columnText(line, c[field]), values[field]))
            return failed(columnWhy(c[field], columnText(line, c[field])));
    const double a = values[OrbitSemiMajorAxis];
    const double e = values[OrbitEccentricity];
    if (!(a > 0.0) || !(e >= 0.0 && e < 1.0))
        return failed("a = " + std::to_string(a) + " AU with e = " + std::to_string(e) +
                      " is no ellipse; the format gives ellipses");
    body.orbit = conicFromMeanAnomaly(a, e, values[OrbitInclination], values[OrbitNode], values[OrbitPeriapsis],
                                      values[OrbitMeanAnomaly], body.epochDays);
    if (std::string why = orbitWhy(body.orbit); !why.empty())
        return failed(why);
    const std::string_view readable = trimmed(columnText(line, c[OrbitReadableName]));
    body.name = readable.empty() ? fallbackName : std::string(readable);
    body.kind = BodyKind::Asteroid;
    reading.ok = true;
    return reading;
}

LineReading readMpcCometLine(std::string_view line)
{
    const std::vector<Column>& c = mpcCometColumns();
    if (line.size() < std::size_t(c[CometInclination].last))
        return failed("the line has " + std::to_string(line.size()) + " characters; the orbit needs " +
                      std::to_string(c[CometInclination].last));
    LineReading reading;
    SmallBody& body = reading.body;
    body.kind = BodyKind::Comet;
    int year = 0, month = 0;
    double day = 0.0;
    if (!integer(columnText(line, c[CometYear]), year))
        return failed(columnWhy(c[CometYear], columnText(line, c[CometYear])));
    if (!integer(columnText(line, c[CometMonth]), month))
        return failed(columnWhy(c[CometMonth], columnText(line, c[CometMonth])));
    if (!number(columnText(line, c[CometDay]), day) || !validDate(year, month, day))
        return failed(columnWhy(c[CometDay], columnText(line, c[CometDay])) + " for the month " +
                      std::to_string(year) + "-" + std::to_string(month));
    double values[MpcCometFieldCount] = {};
    for (int field : {CometPerihelionDistance, CometEccentricity, CometPeriapsis, CometNode, CometInclination})
        if (!number(columnText(line, c[field]), values[field]))
            return failed(columnWhy(c[field], columnText(line, c[field])));
    body.orbit = {values[CometPerihelionDistance], values[CometEccentricity], values[CometInclination],
                  values[CometNode], values[CometPeriapsis], daysFromJ2000(year, month, day)};
    if (std::string why = orbitWhy(body.orbit); !why.empty())
        return failed(why);

    // The epoch is blank for orbits without perturbations: then T stands for it.
    body.epochDays = body.orbit.perihelionDays;
    int epochYear = 0, epochMonth = 0, epochDay = 0;
    if (integer(columnText(line, c[CometEpochYear]), epochYear) &&
        integer(columnText(line, c[CometEpochMonth]), epochMonth) &&
        integer(columnText(line, c[CometEpochDay]), epochDay) && validDate(epochYear, epochMonth, epochDay))
        body.epochDays = daysFromJ2000(epochYear, epochMonth, epochDay);
    else if (!trimmed(columnText(line, c[CometEpochYear])).empty())
        return failed(columnWhy(c[CometEpochYear], line.substr(81, 8)));
    if (!magnitude(columnText(line, c[CometMagnitude]), body.magnitude))
        return failed(columnWhy(c[CometMagnitude], columnText(line, c[CometMagnitude])));
    if (!magnitude(columnText(line, c[CometSlope]), body.slope))
        return failed(columnWhy(c[CometSlope], columnText(line, c[CometSlope])));

    int periodic = 0;
    if (integer(columnText(line, c[CometNumber]), periodic) && periodic > 0)
        body.number = std::uint32_t(periodic);
    const std::string_view readable = trimmed(columnText(line, c[CometName]));
    if (!readable.empty())
        body.name = std::string(readable);
    else if (const std::optional<std::string> designation = unpackCometDesignation(line.substr(0, 12)))
        body.name = *designation;
    else
        return failed("neither columns 1-12 (the designation, packed) nor 103-158 (designation and name) name the "
                      "comet");
    reading.ok = true;
    return reading;
}

const std::vector<JplField>& jplFields()
{
    // ssd-api.jpl.nasa.gov/doc/sbdb_query.html and sbdb.html.
    static const std::vector<JplField> fields = {
        {"full_name", "full name and designation"},
        {"name", "IAU name"},
        {"pdes", "primary designation"},
        {"e", "eccentricity"},
        {"a", "semi-major axis, AU"},
        {"q", "perihelion distance, AU"},
        {"i", "inclination to the J2000 ecliptic, degrees"},
        {"om", "longitude of the ascending node, J2000, degrees"},
        {"w", "argument of perihelion, J2000, degrees"},
        {"ma", "mean anomaly at the epoch, degrees"},
        {"tp", "time of perihelion passage, JD TDB"},
        {"epoch", "epoch of the osculating elements, JD TDB"},
        {"epoch_mjd", "epoch, MJD TDB"},
        {"epoch.mjd", "epoch, MJD TDB"},
        {"H", "absolute magnitude"},
        {"G", "slope parameter"},
        {"M1", "comet total magnitude"},
        {"K1", "comet total magnitude slope"},
        {"class", "orbit class code (MBA, APO, JFc, ...)"},
        {"diameter", "diameter, km"},
    };
    return fields;
}

LineReading readJplBody(const std::vector<std::string_view>& names, const std::vector<std::string>& values)
{
    auto value = [&](std::string_view key) -> std::string_view {
        for (std::size_t i = 0; i < names.size() && i < values.size(); ++i)
            if (names[i] == key)
                return trimmed(values[i]);
        return {};
    };
    auto read = [&](std::string_view key, double& v) { return number(value(key), v); };
    LineReading reading;
    SmallBody& body = reading.body;
    std::string_view name = value("full_name");
    if (name.empty())
        name = value("name");
    if (name.empty())
        name = value("pdes");
    if (name.empty())
        return failed("no full_name, name or pdes names the body");
    body.name = std::string(name);
    // "1 Ceres (A801 AA)" is numbered; "1P/Halley" and "C/2019 Q4" are comets.
    const bool comet = name.find('/') != std::string_view::npos;
    body.kind = comet ? BodyKind::Comet : BodyKind::Asteroid;
    std::uint32_t leading = 0;
    const auto [end, error] = std::from_chars(name.data(), name.data() + name.size(), leading);
    if (error == std::errc() && leading > 0 && (end == name.data() + name.size() || *end == ' ' || comet))
        body.number = leading;

    double e = 0.0, i = 0.0, om = 0.0, w = 0.0;
    for (auto [key, v] : {std::pair<const char*, double*>{"e", &e}, {"i", &i}, {"om", &om}, {"w", &w}})
        if (!read(key, *v))
            return failed(std::string(key) + " reads \"" + std::string(value(key)) + "\"");
    double q = 0.0, a = 0.0;
    const bool haveQ = read("q", q);
    const bool haveA = read("a", a);
    if (!haveQ && !haveA)
        return failed("neither q nor a reads");
    if (!haveQ)
        q = a * (1.0 - e);
    if (!haveA && e != 1.0)
        a = q / (1.0 - e);

    double epochDays = std::numeric_limits<double>::quiet_NaN();
    double epoch = 0.0;
    if (read("epoch", epoch))
        epochDays = epoch - julianDayOfJ2000;
    else if (read("epoch_mjd", epoch) || read("epoch.mjd", epoch))
        epochDays = epoch - modifiedJulianDayOfJ2000;

    double tp = 0.0, ma = 0.0;
    ConicElements orbit;
    if (read("tp", tp))
        orbit = {q, e, i, om, w, tp - julianDayOfJ2000};
    else if (read("ma", ma) && std::isfinite(epochDays) && e != 1.0 && a != 0.0)
        orbit = conicFromMeanAnomaly(a, e, i, om, w, ma, epochDays);
    else
        return failed("neither tp nor ma with an epoch places the body in its orbit");
    orbit.perihelionDistance = q;
    if (std::string why = orbitWhy(orbit); !why.empty())
        return failed(why);
    body.orbit = orbit;
    body.epochDays = std::isfinite(epochDays) ? epochDays : orbit.perihelionDays;
    double h = 0.0, g = 0.0;
    body.magnitude = read("H", h) ? float(h) : read("M1", h) ? float(h) : notGiven;
    body.slope = read("G", g) ? float(g) : read("K1", g) ? float(g) : notGiven;
    body.orbitClass = std::string(value("class").substr(0, 4));
    double diameter = 0.0;
    if (read("diameter", diameter) && diameter > 0.0 && std::isfinite(diameter))
        body.diameter = float(diameter);
    reading.ok = true;
    return reading;
}
