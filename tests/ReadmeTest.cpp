// The README's controls table and the key tables of the file formats' pages
// in docs/ say what the code does: they are compared row by row with the
// tables the code reads.

#include "TestPaths.h"
#include "config/SettingsKeys.h"
#include "config/SystemFileKeys.h"
#include "config/Views.h"
#include "viewer/Controls.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace
{
using Row = std::vector<std::string>;

std::string plain(std::string out)
{
    out.erase(std::remove(out.begin(), out.end(), '`'), out.end());
    const size_t first = out.find_first_not_of(' ');
    return first == std::string::npos ? "" : out.substr(first, out.find_last_not_of(' ') - first + 1);
}

// The rows (without header) of the `index`th table under the heading that holds `heading`, in
// `file` of the source tree.
std::vector<Row> documentedTable(const std::string& file, const std::string& heading, int index = 0)
{
    std::ifstream stream(std::string(ORVTEST_SOURCE_DIR) + "/" + file);
    EXPECT_TRUE(stream.is_open()) << file;
    std::string line;
    bool inSection = false, inTable = false;
    int table = -1, lineInTable = 0;
    std::vector<Row> rows;
    while (std::getline(stream, line))
    {
        if (line.rfind("#", 0) == 0)
        {
            if (inSection)
                break;
            inSection = line.find(heading) != std::string::npos;
            continue;
        }
        const bool tableLine = inSection && line.rfind("|", 0) == 0;
        if (tableLine && !inTable)
        {
            ++table;
            lineInTable = 0;
        }
        inTable = tableLine;
        if (!tableLine || table != index || lineInTable++ < 2)
            continue;
        Row row;
        std::istringstream cells(line.substr(1));
        for (std::string cell; std::getline(cells, cell, '|');)
            row.push_back(plain(cell));
        rows.push_back(row);
    }
    return rows;
}

TEST(ReadmeTest, ControlsTableIsTheControlsCode)
{
    const std::vector<Row> rows = documentedTable("README.md", "## Controls");
    ASSERT_EQ(std::size(orbitControls), rows.size());
    for (size_t i = 0; i < rows.size(); ++i)
    {
        EXPECT_EQ(orbitControls[i].label, rows[i].at(0));
        EXPECT_EQ(orbitControls[i].description, rows[i].at(1));
    }
}

TEST(ReadmeTest, SettingsTableIsTheSettingsKeys)
{
    const std::vector<Row> rows = documentedTable("docs/SETTINGS.md", "# The settings file");
    ASSERT_EQ(settingsKeys().size(), rows.size());
    for (size_t i = 0; i < rows.size(); ++i)
    {
        EXPECT_EQ(settingsKeys()[i].section, rows[i].at(0));
        EXPECT_EQ(settingsKeys()[i].name, rows[i].at(1));
        EXPECT_EQ(settingsKeys()[i].defaultValue, rows[i].at(3)) << rows[i].at(1);
    }
}

TEST(ReadmeTest, ViewsTableIsTheViewKeys)
{
    const std::vector<Row> rows = documentedTable("docs/VIEWS-AND-FILMS.md", "## The views file");
    ASSERT_EQ(viewKeys().size(), rows.size());
    for (size_t i = 0; i < rows.size(); ++i)
    {
        const ViewKey& key = viewKeys()[i];
        EXPECT_EQ(key.name, rows[i].at(0));
        const std::string byDefault = key.required ? "required" : *key.defaultValue ? key.defaultValue : "none";
        EXPECT_EQ(byDefault, rows[i].at(2).substr(0, byDefault.size())) << key.name;
    }
}

TEST(ReadmeTest, SystemFileTablesAreTheBodyKeys)
{
    const std::vector<Row> required = documentedTable("docs/SYSTEM-FILE.md", "# The system file", 0);
    const std::vector<Row> optional = documentedTable("docs/SYSTEM-FILE.md", "# The system file", 1);
    ASSERT_EQ(bodyKeys().size(), required.size() + optional.size());
    for (size_t i = 0; i < bodyKeys().size(); ++i)
    {
        const BodyKey& key = bodyKeys()[i];
        EXPECT_EQ(key.required, i < required.size()) << key.name;
        const Row& row = key.required ? required[i] : optional.at(i - required.size());
        EXPECT_EQ(key.name, row.at(0));
        if (!key.required)
        {
            EXPECT_EQ(key.defaultValue, row.at(1)) << key.name;
        }
    }
}
}
