// Going to a catalogue body by what a person types: the shipped catalogues'
// names as JPL and the MPC write them, numbers, the ʻokina, and completion.

#include "catalogue/CatalogueReading.h"
#include "catalogue/NameIndex.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace
{
const Catalogue& shipped(const std::string& file)
{
    static std::map<std::string, Catalogue> read;
    auto found = read.find(file);
    if (found == read.end())
    {
        Result<Catalogue> catalogue = readCatalogueFile(std::string(ORVTEST_SHIPPED_CATALOGUES) + "/" + file);
        EXPECT_TRUE(catalogue.ok()) << catalogue.why();
        found = read.emplace(file, catalogue.ok() ? std::move(catalogue.value()) : Catalogue()).first;
    }
    return found->second;
}

SmallBody named(const std::string& name, std::uint32_t number = 0)
{
    SmallBody body;
    body.name = name;
    body.number = number;
    return body;
}
}

TEST(NameIndexTest, ShippedBodiesAreFoundByEveryNameAPersonTypes)
{
    const struct
    {
        const char* file;
        const char* typed;
        const char* name;   // as the catalogue writes it
    } rows[] = {
        // JPL writes "     1 Ceres (A801 AA)". What viewer/CatalogueFocusTest
        // types, "Ceres", "1", "1P/Halley", "Oumuamua", ..., and the orbit classes
        // its panel tells, are not repeated here.
        {"jpl-asteroids.json.gz", "ceres", "1 Ceres (A801 AA)"},
        {"jpl-asteroids.json.gz", "(1)", "1 Ceres (A801 AA)"},
        {"jpl-asteroids.json.gz", "A801 AA", "1 Ceres (A801 AA)"},
        {"jpl-asteroids.json.gz", "2", "2 Pallas (A802 FA)"},
        {"jpl-asteroids.json.gz", "(2) Pallas", "2 Pallas (A802 FA)"},
        {"jpl-asteroids.json.gz", "Vesta", "4 Vesta (A807 FA)"},
        {"jpl-comets.json.gz", "1p", "1P/Halley"},
        {"jpl-comets.json.gz", "2P/Encke", "2P/Encke"},
        {"mpc-interstellar.txt", "'Oumuamua", "1I/\xCA\xBBOumuamua"},
        {"mpc-interstellar.txt", "1I", "1I/\xCA\xBBOumuamua"},
        {"mpc-interstellar.txt", "Borisov", "2I/Borisov"},
    };
    for (const auto& row : rows)
    {
        const SmallBodies& bodies = shipped(row.file).bodies;
        const NameIndex index(bodies);
        const std::optional<std::size_t> found = index.find(row.typed);
        ASSERT_TRUE(found.has_value()) << row.typed;
        EXPECT_EQ(row.name, bodies.name(*found)) << row.typed;
    }
}

TEST(NameIndexTest, ANameThatIsNotTheNumbersBodyFindsNothing)
{
    const SmallBodies& bodies = shipped("jpl-asteroids.json.gz").bodies;
    const NameIndex index(bodies);
    for (const char* typed : {"(1) Pallas", "Cere", "0", "(0)", "", "  ", "1 Ceres (A801"})
        EXPECT_FALSE(index.find(typed).has_value()) << typed;
    // A bare number is an asteroid's: Halley's 1 goes with its letter.
    EXPECT_FALSE(NameIndex(shipped("jpl-comets.json.gz").bodies).find("1").has_value());
}

TEST(NameIndexTest, AProvisionalDesignationIsNotTakenForANumber)
{
    // "1995 XA" begins with digits and a blank, as "1995 Hajek" would: only
    // the body's own number is taken off its name.
    SmallBodies bodies;
    for (const SmallBody& body : {named("(1995) Hajek", 1995), named("1995 XA"), named("(697402)", 697402),
                                  named("C/2019 Q4 (Borisov)"), named("P/2010 A2 (LINEAR)")})
        bodies.add(body);
    const NameIndex index(bodies);
    const struct
    {
        const char* typed;
        int body;   // -1: none
    } rows[] = {
        {"1995", 0}, {"Hajek", 0}, {"1995 XA", 1}, {"XA", -1}, {"697402", 2}, {"(697402)", 2},
        {"Borisov", 3}, {"2019 Q4", 3}, {"C/2019 Q4 (Borisov)", 3}, {"C", -1}, {"P", -1}, {"LINEAR", 4},
    };
    for (const auto& row : rows)
    {
        const std::optional<std::size_t> found = index.find(row.typed);
        EXPECT_EQ(row.body, found ? int(*found) : -1) << row.typed;
    }
}

TEST(NameIndexTest, CompletionGivesWhatEveryNameBeginningSoShares)
{
    SmallBodies bodies;
    for (const SmallBody& body : {named("(1) Ceres", 1), named("(2) Pallas", 2), named("(3) Juno", 3),
                                  named("(4) Vesta", 4), named("(3654) Cerberus", 3654), named("(6) Hebe", 6),
                                  named("1I/\xCA\xBBOumuamua"), named("(1862) Apollo", 1862)})
        bodies.add(body);
    const NameIndex index(bodies);
    const struct
    {
        const char* typed;
        const char* completed;   // "" when nothing begins with it
    } rows[] = {
        {"ce", "Cer"},           // Cerberus and Ceres: what they share, as the first spells it
        {"cer", "Cer"},
        {"cere", "Ceres"},
        {"PAL", "Pallas"},
        {"Oum", "\xCA\xBBOumuamua"},
        {"1I/", "1I/\xCA\xBBOumuamua"},
        {"(1", "(1"},            // (1) Ceres and (1862) Apollo
        {"(18", "(1862) Apollo"},
        {"x", ""},
        {"", ""},
    };
    for (const auto& row : rows)
        EXPECT_EQ(row.completed, index.complete(row.typed)) << row.typed;
    // Of several beginning so, the first in order; and the same body as the whole name.
    ASSERT_TRUE(index.findBeginning("cer").has_value());
    EXPECT_EQ("(3654) Cerberus", bodies.name(*index.findBeginning("cer")));
    EXPECT_EQ("(4) Vesta", bodies.name(*index.findBeginning("ves")));
    EXPECT_FALSE(index.findBeginning("zz").has_value());
}
