#ifndef ORVTEST_SCENE_SKYATLAS_H
#define ORVTEST_SCENE_SKYATLAS_H

#include "config/Result.h"
#include "sky/Vector.h"

#include <string>
#include <vector>

// The real sky's data, read from the files in data/media/sky/ (their README
// says where each comes from) without the engine: a star catalogue, the
// constellation figures and the Milky Way's brightness. Places are J2000
// equatorial (ICRS) right ascension and declination, in degrees. Every reader
// takes a file's whole text and its name for messages, and refuses a file
// with a line it cannot read: "NAME:LINE: what is wrong".

// One star of a catalogue file. A catalogue file holds lines of five
// comma-separated fields, HIP,RA,Dec,V,B-V: an integer number, the right
// ascension (0 to 360) and declination (-90 to 90) in degrees, the visual
// magnitude and the B-V colour index (empty where unknown). Blank lines and
// lines beginning with '#' are left out.
struct CatalogueStar
{
    long number = 0;            // the HIP number, or the file's own
    double rightAscension = 0.0;
    double declination = 0.0;
    float magnitude = 0.0f;     // V
    float colourIndex = 0.0f;   // B-V; NaN where the file gives none
};

// The stars of the file as far as `magnitudeLimit` (V), in file order; a
// Failure when a line does not read or no star is left.
Result<std::vector<CatalogueStar>> readStarCatalogue(const std::string& name, const std::string& text,
                                                     float magnitudeLimit);

// One segment of a constellation figure: "Abbr,RA1,Dec1,RA2,Dec2".
struct FigureSegment
{
    std::string figure;   // the IAU abbreviation
    double rightAscension[2] = {0.0, 0.0};
    double declination[2] = {0.0, 0.0};
};
Result<std::vector<FigureSegment>> readConstellationFigures(const std::string& name, const std::string& text);

// The Milky Way's brightness on a grid of galactic coordinates, one degree
// a cell: rows of galactic latitude from -89.5, columns of longitude from
// 0.5, each cell the number of isophotes that hold it, 0 to `brightest`.
struct MilkyWayGrid
{
    static constexpr int rows = 180;
    static constexpr int columns = 360;
    static constexpr int brightest = 5;
    std::vector<unsigned char> levels;   // rows × columns, row by row

    int level(int row, int column) const { return levels[std::size_t(row * columns + column)]; }
};
// The grid file: `rows` lines of `columns` digits.
Result<MilkyWayGrid> readMilkyWay(const std::string& name, const std::string& text);

// A file's bytes as text: itself, or unpacked when it is gzip data. A
// Failure for gzip data that does not unpack.
Result<std::string> unpackedText(const std::string& name, const std::string& bytes);

// The J2000 equatorial unit vector of galactic longitude and latitude, degrees.
Vector3d equatorialFromGalactic(double longitude, double latitude);

#endif
