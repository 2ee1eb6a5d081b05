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
    // viewer/CatalogueFocusTest also types Ceres, 1, (1) Ceres, 1P/Halley, Halley and
    // Oumuamua with and without the ʻokina at the running viewer.
    // name: as the catalogue writes it, null: nothing is found; orbitClass: JPL's, the MPC's comet lines give none.
    const struct { const char* file, *typed, *name, *orbitClass; } rows[] = {
        // JPL writes "     1 Ceres (A801 AA)".
        {"jpl-asteroids.json.gz", "ceres", "1 Ceres (A801 AA)", "MBA"},
        {"jpl-asteroids.json.gz", "(1)", "1 Ceres (A801 AA)", "MBA"},
        {"jpl-asteroids.json.gz", "A801 AA", "1 Ceres (A801 AA)", "MBA"},
        {"jpl-comets.json.gz", "1p", "1P/Halley", "HTC"},
        {"jpl-comets.json.gz", "Encke", "2P/Encke", "ETc"},
        {"mpc-interstellar.txt", "'Oumuamua", "1I/\xCA\xBBOumuamua", ""},
        {"mpc-interstellar.txt", "1I", "1I/\xCA\xBBOumuamua", ""},
        {"mpc-interstellar.txt", "Borisov", "2I/Borisov", ""},
        // A name that is not the number's body, a part of a name, no number.
        {"jpl-asteroids.json.gz", "(1) Pallas", nullptr, nullptr}, {"jpl-asteroids.json.gz", "Cere", nullptr, nullptr},
        {"jpl-asteroids.json.gz", "0", nullptr, nullptr}, {"jpl-asteroids.json.gz", "(0)", nullptr, nullptr},
        {"jpl-asteroids.json.gz", "", nullptr, nullptr},
        {"jpl-asteroids.json.gz", "  ", nullptr, nullptr},
        {"jpl-asteroids.json.gz", "1 Ceres (A801", nullptr, nullptr},
        // A bare number is an asteroid's: Halley's 1 goes with its letter.
        {"jpl-comets.json.gz", "1", nullptr, nullptr}};
    for (const auto& row : rows)
    {
        const SmallBodies& bodies = shipped(row.file).bodies;
        const std::optional<std::size_t> found = NameIndex(bodies).find(row.typed);
        EXPECT_EQ(std::string(row.name ? row.name : "(none)"), found ? bodies.name(*found) : "(none)") << row.typed;
        if (found && row.name)
        {
            EXPECT_EQ(row.orbitClass, bodies.orbitClass(*found)) << row.typed;
        }
    }
}

TEST(NameIndexTest, FindsAndCompletesWhatIsTypedOfMadeUpNames)
{
    SmallBodies bodies;
    for (const SmallBody& body : {named("(1995) Hajek", 1995), named("1995 XA"), named("(697402)", 697402),
                                  named("C/2019 Q4 (Borisov)"), named("P/2010 A2 (LINEAR)"), named("(1) Ceres", 1),
                                  named("(3654) Cerberus", 3654), named("(2) Pallas", 2), named("(4) Vesta", 4),
                                  named("1I/\xCA\xBBOumuamua"), named("(1862) Apollo", 1862)})
        bodies.add(body);
    const NameIndex index(bodies);
    // "1995 XA" begins with digits and a blank, as "1995 Hajek" would: only
    // the body's own number is taken off its name.
    const std::pair<const char*, int> found[] = {
        {"1995", 0},    {"Hajek", 0},   {"1995 XA", 1},   {"XA", -1},      {"697402", 2},                {"(697402)", 2},
        {"Borisov", 3}, {"2019 Q4", 3}, {"C", -1},        {"P", -1},       {"C/2019 Q4 (Borisov)", 3},   {"LINEAR", 4}};
    for (const auto& [typed, body] : found)
        EXPECT_EQ(body, index.find(typed) ? int(*index.find(typed)) : -1) << typed;
    // What every name beginning so shares, as the first spells it; "" when none begins so.
    const std::pair<const char*, const char*> completed[] = {
        {"ce", "Cer"}, {"cere", "Ceres"}, {"PAL", "Pallas"}, {"Oum", "\xCA\xBBOumuamua"}, {"1I/", "1I/\xCA\xBBOumuamua"},
        {"(1", "(1"}, {"(18", "(1862) Apollo"}, {"zz", ""}, {"", ""}};
    for (const auto& [typed, completion] : completed)
        EXPECT_EQ(completion, index.complete(typed)) << typed;
    // Of several beginning so, the first in order.
    EXPECT_EQ("(3654) Cerberus", bodies.name(index.findBeginning("cer").value_or(0)));
    EXPECT_EQ("(4) Vesta", bodies.name(index.findBeginning("ves").value_or(0)));
    EXPECT_FALSE(index.findBeginning("zz").has_value());
}
