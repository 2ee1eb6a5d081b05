#include "viewer/FreedPages.h"

#include "bench/ResidentMemory.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

// What a reload leaves: many blocks freed between small ones that live on,
// so that the heap cannot shrink from its top by itself.
TEST(FreedPagesTest, PagesFreedBetweenLiveBlocksGoBackToTheSystem)
{
#ifdef __SANITIZE_ADDRESS__
    GTEST_SKIP() << "AddressSanitizer keeps freed memory in its own quarantine";
#endif
    constexpr int blocks = 1024;
    constexpr std::size_t blockSize = 64 * 1024; // below the size the allocator maps on its own
    std::vector<char*> freed;
    std::vector<char*> kept;
    for (int i = 0; i < blocks; ++i)
    {
        char* block = static_cast<char*>(std::malloc(blockSize));
        for (std::size_t at = 0; at < blockSize; at += 4096)
            block[at] = 1; // make the pages resident
        freed.push_back(block);
        kept.push_back(static_cast<char*>(std::malloc(64)));
    }
    for (char* block : freed)
        std::free(block);
    const long before = residentKiB();
    returnFreedPages();
    const long after = residentKiB();
    for (char* block : kept)
        std::free(block);
    // 64 MiB freed: at least half of it must leave the process.
    EXPECT_GT(before - after, 32 * 1024) << before << " KiB before, " << after << " KiB after";
}
