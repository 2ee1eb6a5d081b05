// Whole catalogue files: what a file is (the MPC's and JPL's forms), gzip,
// refusals, problems by line, progress and stopping, memory a body, and the
// generator's round trip. One worker reads one file at a time
// (viewer/CatalogueWorker): no two readings overlap.

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

// problem: the one problem's where() begins so, refusal: a phrase of the failure; each null when none.
struct FileRow { const char* name; std::string bytes; CatalogueFormat format; std::size_t bodies; const char* problem, *refusal; };

std::vector<FileRow> fileRows()
{
    const std::string mpcorb = header + line7482 + "\n\n" + line7482 + "\r\n";
    const std::string comets = halleyLine + "\n" + halleyLine + "\n";
    const std::string json = R"J({"fields":["name","q","e","i","om","w","tp"],"data":[["x",1,0.5,1,2,3,2451545]]})J";
    const CatalogueFormat mpc = CatalogueFormat::MpcOrbits, jpl = CatalogueFormat::JplQuery;
    return {
        {"MpcorbWithHeader", mpcorb, mpc, 2, nullptr, nullptr}, {"HeaderAlone", header, mpc, 0, nullptr, nullptr},
        {"MpcorbWithoutHeader", line7482 + "\n", mpc, 1, nullptr, nullptr},
        {"MpcorbWithoutLastLineEnd", header + line7482, mpc, 1, nullptr, nullptr},
        {"MpcorbWithByteOrderMark", "\xEF\xBB\xBF" + line7482 + "\n", mpc, 1, nullptr, nullptr},
        {"CometEls", comets, CatalogueFormat::MpcComets, 2, nullptr, nullptr},
        {"GzipMpcorb", gzipped(mpcorb), mpc, 2, nullptr, nullptr},
        {"GzipOfThreeMembers", gzipped(mpcorb + mpcorb.substr(header.size()), 3), mpc, 4, nullptr, nullptr},
        // JPL's SBDB query API: fields and data in any order, numbers, strings and nulls.
        {"JsonFieldsInAnyOrder",
         R"J({"data":[["2.5","0.1","10","20","30","40","2460000.5","(1) A"]],"fields":["a","e","i","om","w","ma","epoch","full_name"]})J",
         jpl, 1, nullptr, nullptr},
        {"JsonNumbersAndStringsAndNulls",
         R"J({"fields":["pdes","q","e","i","om","w","tp","H"],"data":[["C/2020 F3",0.29,0.999,128.9,61.0,37.3,2459034.5,null]]})J",
         jpl, 1, nullptr, nullptr},
        {"JsonEscapedName",
         R"J({"fields":["full_name","q","e","i","om","w","tp"],"data":[["1I/\u02bbOumuamua",0.25,1.2,122,24,241,2458006]]})J",
         jpl, 1, nullptr, nullptr},
        {"JsonRowOfTheWrongLength",
         "{\"fields\":[\"name\",\"q\",\"e\",\"i\",\"om\",\"w\",\"tp\"],\n\"data\":[\n[\"x\",1,0.5,1,2,3],\n[\"y\",1,0.5,1,2,3,2451545]]}",
         jpl, 1, "catalogue.txt:3: data row 1 has 6 values for 7 fields", nullptr},
        {"JsonUnreadableEccentricity",
         "{\"fields\":[\"name\",\"q\",\"e\",\"i\",\"om\",\"w\",\"tp\"],\"data\":[[\"x\",1,\"0,5\",1,2,3,2451545]]}", jpl, 0,
         "catalogue.txt:1: data row 1", nullptr},
        {"JsonNoTimeInTheOrbit", R"J({"fields":["name","q","e","i","om","w"],"data":[["x",1,0.5,1,2,3]]})J", jpl, 0,
         "catalogue.txt:1: data row 1: neither tp nor ma", nullptr},
        {"JsonRowBreaksOff",
         "{\"fields\":[\"name\",\"q\",\"e\",\"i\",\"om\",\"w\",\"tp\"],\"data\":[[\"x\",1,0.5,1,2,3,2451545],[\"y\",", jpl, 1,
         "catalogue.txt:1: data row 2 breaks off", nullptr},
        {"JsonWithoutNameField", R"J({"fields":["q","e","i","om","w","tp"],"data":[]})J", {}, 0, nullptr,
         "no full_name, name or pdes"},
        {"JsonOfNeitherApi", R"J({"signature":{"source":"elsewhere"},"count":3})J", {}, 0, nullptr,
         "neither the SBDB query API"},
        {"JsonBreaksOff", "{\"fields\":[\"name\",\n\"q\"", {}, 0, nullptr, "breaks off at line 2"},
        {"OtherJson", "[1, 2, 3]", {}, 0, nullptr, "but not an object"}, {"Empty", "", {}, 0, nullptr, "is empty"},
        {"Utf16BigEndian", utf16(comets, false, true), {}, 0, nullptr, "UTF-16 (big-endian"},
        {"Utf16WithoutMark", utf16(json, true, false), {}, 0, nullptr, "zero bytes between the letters"},
        {"Utf32", std::string("\xFF\xFE\0\0", 4) + "{\0\0\0", {}, 0, nullptr, "UTF-32"},
        {"GzipOfUtf16", gzipped(utf16(mpcorb, true, true)), {}, 0, nullptr, "within its gzip compression"},
        {"CutGzip", gzipped(mpcorb).substr(0, 12), {}, 0, nullptr, "gzip stream"},
    };
}

using CatalogueFiles = testing::TestWithParam<FileRow>;

TEST_P(CatalogueFiles, AreRecognisedByTheirContent)
{
    const FileRow& row = GetParam();
    // The name says nothing: every file is called the same.
    const Result<Catalogue> read = readCatalogueBytes("catalogue.txt", row.bytes);
    if (row.refusal)
    {
        ASSERT_FALSE(read.ok()) << formatName(read->format);
        EXPECT_NE(std::string::npos, read.why().find(row.refusal)) << read.why();
        EXPECT_EQ(0u, read.why().find("catalogue.txt")) << read.why();
        return;
    }
    ASSERT_TRUE(read.ok()) << read.why();
    EXPECT_EQ(row.format, read->format) << formatName(read->format);
    EXPECT_EQ(row.bodies, read->bodies.size());
    EXPECT_EQ(row.problem ? 1u : 0u, read->problems.size());
    for (const CatalogueProblem& p : read->problems)
        EXPECT_EQ(0u, p.where().find(row.problem ? row.problem : "(none)")) << p.where();
}

INSTANTIATE_TEST_SUITE_P(Forms, CatalogueFiles, testing::ValuesIn(fileRows()),
                         [](const testing::TestParamInfo<FileRow>& row) { return std::string(row.param.name); });

TEST(CatalogueFilesTest, MalformedLinesAreWarningsWithTheirLinesAndBeyondTheLimitCounted)
{
    std::string broken = line7482;
    broken.replace(70, 9, "0.3x96520");
    std::string text = header;
    for (int i = 0; i < 50; ++i)
        text += line7482 + "\n" + (i % 2 ? broken : line7482.substr(0, 90)) + "\n";
    ReadOptions options;
    options.problemLimit = 10;
    const Result<Catalogue> read = readCatalogueBytes("MPCORB.DAT", gzipped(text), options);
    ASSERT_TRUE(read.ok()) << read.why();
    EXPECT_EQ(50u, read->bodies.size());
    ASSERT_EQ(10u, read->problems.size());
    EXPECT_EQ(40u, read->problemsNotKept);
    // The header takes four lines: the first cut line is the sixth, the first broken one the eighth.
    EXPECT_EQ(6, read->problems[0].line);
    EXPECT_EQ("malformed-line", read->problems[0].kind);
    EXPECT_EQ(0u, read->problems[1].where().find("MPCORB.DAT:8: columns 71-79 (orbital eccentricity) read \"0.3x96520\""))
        << read->problems[1].where();
}

TEST(CatalogueFilesTest, TheGeneratorsFileReadsBackAsItWasWritten)
{
    const Result<Catalogue> read = readCatalogueFile(std::string(ORVTEST_GENERATED_DIR) + "/MPCORB.DAT.gz");
    ASSERT_TRUE(read.ok()) << read.why();
    EXPECT_EQ(CatalogueFormat::MpcOrbits, read->format);
    for (const CatalogueProblem& p : read->problems)
        ADD_FAILURE() << p.where();
    // scripts/make-mpcorb --lines 3000 --seed 7 --gzip, with its record of
    // each body: line, name, number, H, G, epoch, M, Peri, Node, Incl, e, a.
    std::ifstream truth(std::string(ORVTEST_GENERATED_DIR) + "/MPCORB.truth");
    const SmallBodies& b = read->bodies;
    std::size_t index = 0;
    for (std::string record; std::getline(truth, record); ++index)
    {
        ASSERT_LT(index, b.size());
        std::istringstream fields(record);
        std::string line, name, g, epoch;
        std::uint32_t number;
        double h, m, peri, node, incl, e, a;
        std::getline(fields, line, '\t');
        std::getline(fields, name, '\t');
        fields >> number >> h >> g >> epoch >> m >> peri >> node >> incl >> e >> a;
        SCOPED_TRACE("line " + line);
        EXPECT_EQ(name, b.name(index));
        EXPECT_EQ(number, b.number(index));
        const ConicElements o = b.elements(index);
        EXPECT_DOUBLE_EQ(a * (1 - e), o.perihelionDistance);
        EXPECT_NEAR(incl, o.inclination, 3e-5);
        EXPECT_NEAR(node, o.ascendingNode, 3e-5);
        EXPECT_NEAR(peri, o.periapsis, 3e-5);
        EXPECT_FLOAT_EQ(float(h), b.magnitude(index));
        const CalendarDate date = *unpackDate(epoch);
        EXPECT_DOUBLE_EQ(daysFromJ2000(date.year, date.month, date.day), b.epochDays(index));
        // The mean anomaly comes back from T: M = n (epoch - T), mod 360°.
        const double n = gaussianGravitationalConstant / std::pow(a, 1.5) * 180.0 / 3.14159265358979323846;
        EXPECT_NEAR(0.0, std::remainder(n * (b.epochDays(index) - o.perihelionDays) - m, 360.0), 1e-9);
    }
    EXPECT_EQ(3000u, index);
    EXPECT_EQ(index, b.size());
    // The arrays as held: 89 bytes a body, nothing reserved beyond them; names,
    // their text and a 4-byte end each.
    EXPECT_EQ(89u * b.size(), b.bytesHeld() - b.nameBytes());
    EXPECT_LT(b.nameBytes(), b.size() * (28 + 4));
}

TEST(CatalogueFilesTest, ProgressIsReportedTheReadingStopsWhenAskedAndADamagedGzipKeepsWhatWasRead)
{
    std::string text = header;
    for (int i = 0; i < 40000; ++i)
        text += line7482 + "\n";
    std::vector<ReadProgress> seen;
    ReadOptions options;
    options.progress = [&](const ReadProgress& p) { return seen.push_back(p), true; };
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
    std::string packed = gzipped(text);
    const Result<Catalogue> stopped = readCatalogueBytes("m", packed, options);
    ASSERT_TRUE(stopped.ok());
    EXPECT_TRUE(stopped->cancelled);
    EXPECT_EQ(2, calls);
    EXPECT_GT(stopped->bodies.size(), 0u);
    EXPECT_LT(stopped->bodies.size(), 40000u);

    packed.resize(packed.size() * 2 / 3);
    const Result<Catalogue> damaged = readCatalogueBytes("MPCORB.DAT.gz", packed);
    ASSERT_TRUE(damaged.ok()) << damaged.why();
    EXPECT_GT(damaged->bodies.size(), 100u);
    EXPECT_LT(damaged->bodies.size(), 40000u);
    ASSERT_FALSE(damaged->problems.empty());
    EXPECT_EQ("damaged-gzip", damaged->problems.back().kind);
}
}
