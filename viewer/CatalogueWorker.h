#ifndef ORVTEST_VIEWER_CATALOGUEWORKER_H
#define ORVTEST_VIEWER_CATALOGUEWORKER_H

#include "catalogue/CatalogueReading.h"
#include "catalogue/NameIndex.h"
#include "scene/DotArrays.h"

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

// One thread that reads catalogue files, one after another, and packs their
// bodies for the graphics card (scene/DotArrays.h) and their names for
// going to one (catalogue/NameIndex.h), so that the frames go on
// while a file of a million lines is read. The frame loop asks for a
// reading, looks at its progress, and takes what was read, at one place: it
// never waits for the thread.
class CatalogueWorker
{
public:
    struct Request
    {
        std::size_t slot = 0;          // which catalogue of the viewer's
        std::string path;
        double referenceDays = 0.0;    // TT days from J2000 the dots are packed for
    };

    // What a reading gave: the catalogue and its dots, or why the file was
    // refused.
    struct Reading
    {
        std::size_t slot = 0;
        std::string path;
        Result<std::shared_ptr<const Catalogue>> catalogue = Failure{"not read"};
        std::shared_ptr<const DotArrays> dots;
        // Of the catalogue's bodies, which it holds by reference: handed over
        // after the catalogue, in a reading of its own with namesOnly set.
        std::shared_ptr<const NameIndex> names;
        bool namesOnly = false;
        double seconds = 0.0;          // reading and packing
    };

    // How far the reading under way has come.
    struct Progress
    {
        bool reading = false;
        std::size_t slot = 0;
        std::string path;
        std::size_t bodies = 0;
        double share = 0.0;            // of the file's bytes, 0 to 1
        double seconds = 0.0;          // since it began
        bool packing = false;          // read; being sorted and packed for the graphics card
    };

    CatalogueWorker();
    // Stops the reading under way (within a few thousand lines) and ends the thread.
    ~CatalogueWorker();
    CatalogueWorker(const CatalogueWorker&) = delete;
    CatalogueWorker& operator=(const CatalogueWorker&) = delete;

    // Reads the file after those asked for before. A reading of the same
    // slot that waits is dropped, one under way stopped: the newest wins.
    void read(const Request& request);
    // Drops what waits for the slot and stops its reading under way.
    void forget(std::size_t slot);
    // A reading that has ended, the first first; nothing when none has.
    std::optional<Reading> take();
    Progress progress() const;
    // Whether nothing is read or waits to be, and nothing waits to be taken.
    bool idle() const;

private:
    void run();

    mutable std::mutex mutex;
    std::condition_variable wake;
    std::deque<Request> waiting;
    std::deque<Reading> done;
    Progress current;
    bool stopCurrent = false;
    bool stopping = false;
    static constexpr int backgroundNice = 10;
    std::thread thread;
};

#endif
