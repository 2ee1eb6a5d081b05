// Reading a full-size MPCORB: seconds for the file and bytes a body held.
//
//   scripts/make-mpcorb --lines 1000000 --seed 1 --output /tmp/MPCORB.DAT [--gzip]
//   orvtest-bench-catalogue /tmp/MPCORB.DAT [repeats]
//
// Prints one Markdown table row a run and the median; also how long placing
// every body at one date takes (a frame's worth for the drawing loop).

#include "bench/ResidentMemory.h"
#include "catalogue/CatalogueReading.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

int main(int argc, char** argv)
{
    if (argc < 2)
    {
        std::fprintf(stderr, "usage: orvtest-bench-catalogue FILE [repeats]\n");
        return 2;
    }
    const int repeats = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
    std::vector<double> seconds;
    std::printf("| run | bodies | problems | seconds | arrays bytes/body | names bytes/body | resident MiB |\n"
                "|---:|---:|---:|---:|---:|---:|---:|\n");
    for (int run = 1; run <= repeats; ++run)
    {
        const auto start = std::chrono::steady_clock::now();
        const Result<Catalogue> read = readCatalogueFile(argv[1]);
        const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (!read.ok())
        {
            std::fprintf(stderr, "%s\n", read.why().c_str());
            return 1;
        }
        const SmallBodies& b = read->bodies;
        const double n = double(std::max<std::size_t>(1, b.size()));
        seconds.push_back(s);
        std::printf("| %d | %zu | %zu | %.2f | %.1f | %.1f | %.0f |\n", run, b.size(),
                    read->problems.size() + read->problemsNotKept, s, double(b.bytesHeld() - b.nameBytes()) / n,
                    double(b.nameBytes()) / n, double(residentKiB()) / 1024.0);
        if (run == repeats)
        {
            std::vector<Vector3d> places(b.size());
            const auto placing = std::chrono::steady_clock::now();
            b.positionsAt(9000.0, 0, b.size(), places.data());
            const double p = std::chrono::duration<double>(std::chrono::steady_clock::now() - placing).count();
            std::printf("\nplacing every body at one date: %.3f s (%.0f ns a body)\n", p, p * 1e9 / n);
        }
    }
    std::sort(seconds.begin(), seconds.end());
    std::printf("median of %d: %.2f s\n", repeats, seconds[seconds.size() / 2]);
    return 0;
}
