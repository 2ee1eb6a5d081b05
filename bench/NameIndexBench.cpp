// Going to a catalogue body among a million: the time the reading thread
// spends sorting the names (catalogue/NameIndex.h), the bytes the index
// takes, and what one key press at the go-to prompt costs, finding a name
// and completing one with Tab, over every body's own name cut short.
//
//   orvtest-bench-names CATALOGUE
//
// Prints one Markdown table row: bodies, name parts, seconds to sort, index
// bytes a body, microseconds a find and a completion (median and worst of
// the samples).

#include "catalogue/CatalogueReading.h"
#include "catalogue/NameIndex.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace
{
double secondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double percentile(std::vector<double> values, double share)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[std::min(values.size() - 1, std::size_t(share * double(values.size())))];
}
}

int main(int argc, char** argv)
{
    if (argc != 2)
    {
        std::fprintf(stderr, "usage: orvtest-bench-names CATALOGUE\n");
        return 2;
    }
    const Result<Catalogue> read = readCatalogueFile(argv[1]);
    if (!read)
    {
        std::fprintf(stderr, "%s\n", read.why().c_str());
        return 1;
    }
    const SmallBodies& bodies = read->bodies;
    const auto start = std::chrono::steady_clock::now();
    const NameIndex index(bodies);
    const double sorting = secondsSince(start);

    // Every 97th body's name, cut to its first 1 to 6 bytes and whole: what a person types on the way.
    std::vector<double> finds, completions;
    std::size_t found = 0, completedBytes = 0;
    for (std::size_t i = 0; i < bodies.size(); i += 97)
    {
        const std::string name(bodies.name(i));
        for (std::size_t cut : {std::size_t(1), std::size_t(3), std::size_t(6), name.size()})
        {
            const std::string typed = name.substr(0, cut);
            auto t = std::chrono::steady_clock::now();
            found += index.find(typed).has_value();
            finds.push_back(1e6 * secondsSince(t));
            t = std::chrono::steady_clock::now();
            const std::string completed = index.complete(typed);
            completions.push_back(1e6 * secondsSince(t));
            completedBytes += completed.size();
        }
    }
    std::printf("| bodies | name parts | sorted in, s | index bytes a body | find, us (median / worst) | "
                "Tab, us (median / worst) |\n|---:|---:|---:|---:|---:|---:|\n");
    std::printf("| %zu | %zu | %.2f | %.1f | %.1f / %.0f | %.1f / %.0f |\n", bodies.size(), index.keyCount(), sorting,
                double(index.bytesHeld()) / double(bodies.size()), percentile(finds, 0.5), percentile(finds, 1.0),
                percentile(completions, 0.5), percentile(completions, 1.0));
    std::fprintf(stderr, "%zu of the names typed found a body; the completions came to %zu bytes\n", found,
                 completedBytes);
    return 0;
}
