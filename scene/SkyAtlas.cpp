#include "scene/SkyAtlas.h"

#include "sky/Frames.h"

#include <zlib.h>

#include <charconv>
#include <cmath>
#include <functional>
#include <limits>

namespace
{
// Stops unpacking past this: no sky file is near it, a hostile one could be.
constexpr std::size_t largestText = std::size_t(256) << 20;

std::string where(const std::string& name, int line)
{
    return name + ":" + std::to_string(line) + ": ";
}

// Calls `read` with each line that is neither blank nor a comment and its
// number; the first Failure it returns ends the reading.
Result<> forEachLine(const std::string& text, const std::function<Result<>(const std::string&, int)>& read)
{
    int number = 0;
    for (std::size_t at = 0; at < text.size();)
    {
        std::size_t end = text.find('\n', at);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(at, end - at);
        at = end + 1;
        ++number;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.find_first_not_of(" \t") == std::string::npos || line[line.find_first_not_of(" \t")] == '#')
            continue;
        if (Result<> done = read(line, number); !done)
            return done;
    }
    return {};
}

std::vector<std::string> fields(const std::string& line)
{
    std::vector<std::string> parts;
    std::size_t at = 0;
    for (std::size_t comma; (comma = line.find(',', at)) != std::string::npos; at = comma + 1)
        parts.push_back(line.substr(at, comma - at));
    parts.push_back(line.substr(at));
    for (std::string& part : parts)
    {
        const std::size_t first = part.find_first_not_of(" \t");
        part = first == std::string::npos ? "" : part.substr(first, part.find_last_not_of(" \t") - first + 1);
    }
    return parts;
}

// A field read as a number within [lowest, highest]; `what` names it in the message.
Result<double> numberIn(const std::string& field, const char* what, double lowest, double highest)
{
    double value = 0.0;
    const char* end = field.data() + field.size();
    const auto read = std::from_chars(field.data(), end, value);
    if (field.empty() || read.ec != std::errc() || read.ptr != end || !std::isfinite(value))
        return Failure{std::string("the ") + what + " '" + field + "' is no number"};
    if (value < lowest || value > highest)
        return Failure{std::string("the ") + what + " " + field + " is outside " + std::to_string(int(lowest)) +
                       " to " + std::to_string(int(highest))};
    return value;
}

Result<> fieldCount(const std::vector<std::string>& parts, std::size_t count, const char* layout)
{
    if (parts.size() == count)
        return {};
    return Failure{"expected " + std::to_string(count) + " comma-separated fields (" + layout + "), found " +
                   std::to_string(parts.size())};
}
}

Result<std::string> unpackedText(const std::string& name, const std::string& bytes)
{
    if (bytes.size() < 2 || static_cast<unsigned char>(bytes[0]) != 0x1f || static_cast<unsigned char>(bytes[1]) != 0x8b)
        return bytes;
    z_stream stream{};
    // 16 above the window bits: a gzip header and trailer.
    if (inflateInit2(&stream, 16 + MAX_WBITS) != Z_OK)
        return Failure{name + ": cannot unpack: " + (stream.msg ? stream.msg : "zlib refused to start")};
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
    stream.avail_in = uInt(bytes.size());
    std::string text;
    char buffer[1 << 16];
    int status = Z_OK;
    while (status == Z_OK)
    {
        stream.next_out = reinterpret_cast<Bytef*>(buffer);
        stream.avail_out = sizeof buffer;
        status = inflate(&stream, Z_NO_FLUSH);
        text.append(buffer, sizeof buffer - stream.avail_out);
        if (text.size() > largestText)
            status = Z_MEM_ERROR;
        if (status == Z_BUF_ERROR && stream.avail_in == 0)
            break;
    }
    const std::string why = stream.msg ? stream.msg : status == Z_MEM_ERROR ? "larger than 256 MiB" : "cut short";
    inflateEnd(&stream);
    if (status != Z_STREAM_END)
        return Failure{name + ": not a readable gzip file: " + why};
    return text;
}

Result<std::vector<CatalogueStar>> readStarCatalogue(const std::string& name, const std::string& text,
                                                     float magnitudeLimit)
{
    std::vector<CatalogueStar> stars;
    const Result<> read = forEachLine(text, [&](const std::string& line, int number) -> Result<> {
        const std::vector<std::string> parts = fields(line);
        if (const Result<> counted = fieldCount(parts, 5, "HIP,RA,Dec,V,B-V"); !counted)
            return Failure{where(name, number) + counted.why()};
        const Result<double> hip = numberIn(parts[0], "star number", 0.0, 1e9);
        const Result<double> ra = numberIn(parts[1], "right ascension", 0.0, 360.0);
        const Result<double> dec = numberIn(parts[2], "declination", -90.0, 90.0);
        // From the Sun to beyond any telescope's survey.
        const Result<double> v = numberIn(parts[3], "magnitude", -30.0, 30.0);
        const Result<double> bv = parts[4].empty() ? Result<double>(std::numeric_limits<double>::quiet_NaN())
                                                   : numberIn(parts[4], "B-V index", -1.0, 7.0);
        for (const Result<double>* value : {&hip, &ra, &dec, &v, &bv})
            if (!*value)
                return Failure{where(name, number) + value->why()};
        if (std::floor(*hip) != *hip)
            return Failure{where(name, number) + "the star number " + parts[0] + " is no whole number"};
        if (*v <= magnitudeLimit)
            stars.push_back({long(*hip), *ra, *dec, float(*v), float(*bv)});
        return {};
    });
    if (!read)
        return Failure{read.why()};
    if (stars.empty())
        return Failure{name + ": no star as bright as magnitude " + std::to_string(magnitudeLimit).substr(0, 5)};
    return stars;
}

Result<std::vector<FigureSegment>> readConstellationFigures(const std::string& name, const std::string& text)
{
    std::vector<FigureSegment> segments;
    const Result<> read = forEachLine(text, [&](const std::string& line, int number) -> Result<> {
        const std::vector<std::string> parts = fields(line);
        if (const Result<> counted = fieldCount(parts, 5, "Abbr,RA1,Dec1,RA2,Dec2"); !counted)
            return Failure{where(name, number) + counted.why()};
        FigureSegment segment;
        segment.figure = parts[0];
        for (int end = 0; end < 2; ++end)
        {
            const Result<double> ra = numberIn(parts[std::size_t(1 + 2 * end)], "right ascension", 0.0, 360.0);
            const Result<double> dec = numberIn(parts[std::size_t(2 + 2 * end)], "declination", -90.0, 90.0);
            if (!ra || !dec)
                return Failure{where(name, number) + (!ra ? ra.why() : dec.why())};
            segment.rightAscension[end] = *ra;
            segment.declination[end] = *dec;
        }
        segments.push_back(segment);
        return {};
    });
    if (!read)
        return Failure{read.why()};
    return segments;
}

Result<MilkyWayGrid> readMilkyWay(const std::string& name, const std::string& text)
{
    MilkyWayGrid grid;
    grid.levels.reserve(MilkyWayGrid::rows * MilkyWayGrid::columns);
    int rows = 0;
    const Result<> read = forEachLine(text, [&](const std::string& line, int number) -> Result<> {
        if (++rows > MilkyWayGrid::rows)
            return Failure{where(name, number) + "more than " + std::to_string(MilkyWayGrid::rows) + " rows"};
        if (line.size() != std::size_t(MilkyWayGrid::columns))
            return Failure{where(name, number) + "a row of " + std::to_string(line.size()) + " cells, not " +
                           std::to_string(MilkyWayGrid::columns)};
        for (char cell : line)
        {
            if (cell < '0' || cell > '0' + MilkyWayGrid::brightest)
                return Failure{where(name, number) + "the cell '" + std::string(1, cell) + "' is no level from 0 to " +
                               std::to_string(MilkyWayGrid::brightest)};
            grid.levels.push_back(static_cast<unsigned char>(cell - '0'));
        }
        return {};
    });
    if (!read)
        return Failure{read.why()};
    if (rows != MilkyWayGrid::rows)
        return Failure{name + ": " + std::to_string(rows) + " rows, not " + std::to_string(MilkyWayGrid::rows)};
    return grid;
}

Vector3d equatorialFromGalactic(double longitude, double latitude)
{
    // The galactic axes from the table of the Chandra X-ray Center's CIAO
    // "prop-coords" help page, galactic (l, b) against J2000 (RA, Dec): the
    // north galactic pole at 12h51m26.28s +27°07'41.9", the galactic centre
    // at 17h45m37.20s -28°56'10.22". scripts/convert-sky made the grid with
    // the same two directions.
    static const Vector3d pole = equatorialDirection(15.0 * (12.0 + 51.0 / 60.0 + 26.28 / 3600.0),
                                                     27.0 + 7.0 / 60.0 + 41.9 / 3600.0);
    static const Vector3d centre = [] {
        const Vector3d c = equatorialDirection(15.0 * (17.0 + 45.0 / 60.0 + 37.20 / 3600.0),
                                               -(28.0 + 56.0 / 60.0 + 10.22 / 3600.0));
        return (c - pole * c.dot(pole)).normalised();
    }();
    static const Vector3d ninety = pole.cross(centre);
    const double l = longitude * radiansPerDegree, b = latitude * radiansPerDegree;
    return centre * (std::cos(b) * std::cos(l)) + ninety * (std::cos(b) * std::sin(l)) + pole * std::sin(b);
}
