// Whole catalogue files: what a file is, gzip, refusals, problems by line,
// progress and stopping, memory a body, and the generator's round trip. One
// worker reads one file at a time (viewer/CatalogueWorker): no two readings
// overlap.

#include "MpcLines.h"
#include "catalogue/CatalogueReading.h"
#include "catalogue/PackedCodes.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cmath>
#include <fstream>
#include <sstream>
#include <string>

namespace
{
const std::string header = "A HEADER OF NOTES, AS MPCORB.DAT HAS\n\nDes'n     H     G   Epoch\n" +
                           std::string(202, '-') + "\n";
// CometEls line of 1P/Halley in the MPC's columns (elements of the MPC's
// CometEls of 2022 August, as kstars-data carries them).
const std::string halleyLine = "0001P         1986 02 22.6950  0.598630  0.966503  112.1408   59.2191  162.1946  20220824"
                               "   4.0  6.0  1P/Halley";

std::string gzipped(const std::string& text, int members = 1)
{
    std::string out;
    const std::size_t share = text.size() / std::size_t(members);
    for (int m = 0; m < members; ++m)
    {
        const std::string part = text.substr(share * std::size_t(m), m == members - 1 ? std::string::npos : share);
        z_stream z{};
        deflateInit2(&z, 6, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY);
        std::string buffer(deflateBound(&z, uLong(part.size())) + 64, '\0');
        z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(part.data()));
        z.avail_in = uInt(part.size());
        z.next_out = reinterpret_cast<Bytef*>(buffer.data());
        z.avail_out = uInt(buffer.size());
        deflate(&z, Z_FINISH);
        buffer.resize(z.total_out);
        deflateEnd(&z);
        out += buffer;
    }
    return out;
}

std::string utf16(const std::string& text, bool littleEndian, bool mark)
{
    std::string out = mark ? (littleEndian ? "\xFF\xFE" : "\xFE\xFF") : "";
    for (char c : text)
        out += littleEndian ? std::string{c, '\0'} : std::string{'\0', c};
    return out;
}

struct FileRow
{
    const char* name;
    std::string bytes;
    CatalogueFormat format;
    std::size_t bodies;
    const char* refusal;   // a phrase of the failure; null when it reads
};

std::vector<FileRow> fileRows()
{
    const std::string mpcorb = header + line7482 + "\n\n" + line7482 + "\r\n";
    const std::string comets = halleyLine + "\n" + halleyLine + "\n";
    const std::string json = R"J({"fields":["name","q","e","i","om","w","tp"],"data":[["x",1,0.5,1,2,3,2451545]]})J";
    return {
        {"MpcorbWithHeader", mpcorb, CatalogueFormat::MpcOrbits, 2, nullptr},
        {"MpcorbWithoutHeader", line7482 + "\n", CatalogueFormat::MpcOrbits, 1, nullptr},
        {"MpcorbWithoutLastLineEnd", header + line7482, CatalogueFormat::MpcOrbits, 1, nullptr},
        {"MpcorbWithByteOrderMark", "\xEF\xBB\xBF" + line7482 + "\n", CatalogueFormat::MpcOrbits, 1, nullptr},
        {"HeaderAlone", header, CatalogueFormat::MpcOrbits, 0, nullptr},
        {"CometEls", comets, CatalogueFormat::MpcComets, 2, nullptr},
        {"JplQuery", json, CatalogueFormat::JplQuery, 1, nullptr},
        {"GzipMpcorb", gzipped(mpcorb), CatalogueFormat::MpcOrbits, 2, nullptr},
        {"GzipOfThreeMembers", gzipped(mpcorb + mpcorb.substr(header.size()), 3), CatalogueFormat::MpcOrbits, 4, nullptr},
        {"Utf16BigEndian", utf16(comets, false, true), {}, 0, "UTF-16 (big-endian"},
        {"Utf16WithoutMark", utf16(json, true, false), {}, 0, "zero bytes between the letters"},
        {"Utf32", std::string("\xFF\xFE\0\0", 4) + "{\0\0\0", {}, 0, "UTF-32"},
        {"GzipOfUtf16", gzipped(utf16(mpcorb, true, true)), {}, 0, "within its gzip compression"},
        {"Empty", "", {}, 0, "is empty"},
        {"OtherJson", "[1, 2, 3]", {}, 0, "but not an object"},
        {"CutGzip", gzipped(mpcorb).substr(0, 12), {}, 0, "gzip stream"},
    };
}

TEST(CatalogueFilesTest, FilesAreRecognisedByTheirContent)
{
    for (const FileRow& row : fileRows())
    {
        SCOPED_TRACE(row.name);
        // The name says nothing: every file is called the same.
        const Result<Catalogue> read = readCatalogueBytes("catalogue.txt", row.bytes);
        ASSERT_EQ(row.refusal == nullptr, read.ok()) << (read ? formatName(read->format) : read.why());
        if (row.refusal)
        {
            EXPECT_NE(std::string::npos, read.why().find(row.refusal)) << read.why();
            EXPECT_EQ(0u, read.why().find("catalogue.txt")) << read.why();
            continue;
        }
        EXPECT_EQ(row.format, read->format) << formatName(read->format);
        EXPECT_EQ(row.bodies, read->bodies.size());
        for (const CatalogueProblem& p : read->problems)
            ADD_FAILURE() << p.where();
    }
}

TEST(CatalogueFilesTest, AMalformedLineIsAWarningWithItsLineAndTheRestIsRead)
{
    std::string broken = line7482;
    broken.replace(70, 9, "0.3x96520");
    const std::string text = header + line7482 + "\n" + broken + "\n" + line7482.substr(0, 90) + "\n" + line7482 + "\n";
    const Result<Catalogue> read = readCatalogueBytes("MPCORB.DAT", gzipped(text));
    ASSERT_TRUE(read.ok()) << read.why();
    EXPECT_EQ(2u, read->bodies.size());
    ASSERT_EQ(2u, read->problems.size());
    // The header takes four lines; the broken line is the sixth.
    EXPECT_EQ(0u, read->problems[0].where().find("MPCORB.DAT:6: columns 71-79 (orbital eccentricity) read \"0.3x96520\""))
        << read->problems[0].where();
    EXPECT_EQ(7, read->problems[1].line);
    EXPECT_EQ("malformed-line", read->problems[1].kind);
}

TEST(CatalogueFilesTest, ProblemsBeyondTheLimitAreCountedNotKept)
{
    std::string text = header;
    for (int i = 0; i < 50; ++i)
        text += line7482.substr(0, 120) + "x\n" + line7482 + "\n";
    std::string allBroken = text;
    for (std::size_t at = allBroken.find(" 337.27014"); at != std::string::npos; at = allBroken.find(" 337.27014", at))
        allBroken.replace(at, 10, " 337.2701x");
    ReadOptions options;
    options.problemLimit = 10;
    const Result<Catalogue> read = readCatalogueBytes("m", allBroken, options);
    ASSERT_TRUE(read.ok()) << read.why();
    EXPECT_EQ(0u, read->bodies.size());
    EXPECT_EQ(10u, read->problems.size());
    EXPECT_EQ(90u, read->problemsNotKept);
}

TEST(CatalogueFilesTest, ADamagedGzipKeepsWhatWasReadAndSaysWhere)
{
    std::string text = header;
    for (int i = 0; i < 2000; ++i)
        text += line7482 + "\n";
    std::string packed = gzipped(text);
    packed.resize(packed.size() * 2 / 3);
    const Result<Catalogue> read = readCatalogueBytes("MPCORB.DAT.gz", packed);
    ASSERT_TRUE(read.ok()) << read.why();
    EXPECT_GT(read->bodies.size(), 100u);
    EXPECT_LT(read->bodies.size(), 2000u);
    ASSERT_FALSE(read->problems.empty());
    EXPECT_EQ("damaged-gzip", read->problems.back().kind);
}

std::string generatedFile()
{
    return std::string(ORVTEST_GENERATED_DIR) + "/MPCORB.DAT.gz";
}

TEST(CatalogueFilesTest, TheGeneratorsFileReadsBackAsItWasWritten)
{
    // scripts/make-mpcorb --lines 3000 --seed 7 --gzip, with its record of
    // each body: line, name, number, H, G, epoch, M, Peri, Node, Incl, e, a.
    const Result<Catalogue> read = readCatalogueFile(generatedFile());
    ASSERT_TRUE(read.ok()) << read.why();
    EXPECT_EQ(CatalogueFormat::MpcOrbits, read->format);
    for (const CatalogueProblem& p : read->problems)
        ADD_FAILURE() << p.where();
    std::ifstream truth(std::string(ORVTEST_GENERATED_DIR) + "/MPCORB.truth");
    std::string record;
    std::size_t index = 0;
    std::size_t tilde = 0, lettered = 0, unnamed = 0;
    const SmallBodies& b = read->bodies;
    while (std::getline(truth, record))
    {
        ASSERT_LT(index, b.size());
        std::istringstream fields(record);
        std::string line, name, number, h, g, epoch, m, peri, node, incl, e, a;
        std::getline(fields, line, '\t');
        std::getline(fields, name, '\t');
        fields >> number >> h >> g >> epoch >> m >> peri >> node >> incl >> e >> a;
        EXPECT_EQ(name, b.name(index)) << "line " << line;
        EXPECT_EQ(std::stoul(number), b.number(index)) << "line " << line;
        const ConicElements o = b.elements(index);
        EXPECT_DOUBLE_EQ(std::stod(a) * (1 - std::stod(e)), o.perihelionDistance) << "line " << line;
        EXPECT_DOUBLE_EQ(std::stod(e), o.eccentricity);
        EXPECT_NEAR(std::stod(incl), o.inclination, 3e-5);
        EXPECT_NEAR(std::stod(node), o.ascendingNode, 3e-5);
        EXPECT_NEAR(std::stod(peri), o.periapsis, 3e-5);
        EXPECT_FLOAT_EQ(std::stof(h), b.magnitude(index));
        const CalendarDate date = *unpackDate(epoch);
        EXPECT_DOUBLE_EQ(daysFromJ2000(date.year, date.month, date.day), b.epochDays(index));
        // The mean anomaly comes back from T: M = n (epoch - T), mod 360°.
        const double n = gaussianGravitationalConstant / std::pow(std::stod(a), 1.5) * 180.0 / 3.14159265358979323846;
        EXPECT_NEAR(0.0, std::remainder(n * (b.epochDays(index) - o.perihelionDays) - std::stod(m), 360.0), 1e-9);
        tilde += b.number(index) >= 620000;
        lettered += b.number(index) >= 100000 && b.number(index) < 620000;
        unnamed += name.front() == '(' && name.back() == ')';
        ++index;
    }
    EXPECT_EQ(3000u, index);
    EXPECT_EQ(index, b.size());
    // All three packed forms of a number, and names made from designations, occurred.
    EXPECT_GT(tilde, 0u);
    EXPECT_GT(lettered, 0u);
    EXPECT_GT(unnamed, 0u);
}

TEST(CatalogueFilesTest, ABodyTakesLessThan200BytesBeyondItsName)
{
    const Result<Catalogue> read = readCatalogueFile(generatedFile());
    ASSERT_TRUE(read.ok()) << read.why();
    const SmallBodies& b = read->bodies;
    // The arrays as held, after reading: the elements' sizes (85 bytes)
    // times the bodies, nothing reserved beyond them.
    const std::size_t arrays = b.bytesHeld() - b.nameBytes();
    EXPECT_EQ(SmallBodies::bytesPerBody() * b.size(), arrays);
    EXPECT_EQ(89u, SmallBodies::bytesPerBody());
    // Names: their text and a 4-byte end each.
    EXPECT_LT(b.nameBytes(), b.size() * (28 + 4));
}

TEST(CatalogueFilesTest, ProgressIsReportedAndTheReadingStopsWhenAsked)
{
    std::string text = header;
    for (int i = 0; i < 40000; ++i)
        text += line7482 + "\n";
    std::vector<ReadProgress> seen;
    ReadOptions options;
    options.progress = [&](const ReadProgress& p) {
        seen.push_back(p);
        return true;
    };
    const Result<Catalogue> whole = readCatalogueBytes("m", text, options);
    ASSERT_TRUE(whole.ok());
    ASSERT_GE(seen.size(), 4u);
    for (std::size_t i = 1; i < seen.size(); ++i)
    {
        EXPECT_GE(seen[i].bodies, seen[i - 1].bodies);
        EXPECT_GE(seen[i].share, seen[i - 1].share);
    }
    EXPECT_EQ(40000u, seen.back().bodies);
    EXPECT_DOUBLE_EQ(1.0, seen.back().share);
    EXPECT_FALSE(whole->cancelled);

    int calls = 0;
    options.progress = [&](const ReadProgress&) { return ++calls < 2; };
    const Result<Catalogue> stopped = readCatalogueBytes("m", gzipped(text), options);
    ASSERT_TRUE(stopped.ok());
    EXPECT_TRUE(stopped->cancelled);
    EXPECT_EQ(2, calls);
    EXPECT_GT(stopped->bodies.size(), 0u);
    EXPECT_LT(stopped->bodies.size(), 40000u);
}
}
