#include "viewer/CatalogueWorker.h"

#include <algorithm>
#include <chrono>

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace
{
double secondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}
}

CatalogueWorker::CatalogueWorker() : thread(&CatalogueWorker::run, this)
{
}

CatalogueWorker::~CatalogueWorker()
{
    {
        std::lock_guard<std::mutex> lock(mutex);
        stopping = true;
        stopCurrent = true;
    }
    wake.notify_all();
    thread.join();
}

void CatalogueWorker::read(const Request& request)
{
    {
        std::lock_guard<std::mutex> lock(mutex);
        waiting.erase(std::remove_if(waiting.begin(), waiting.end(),
                                     [&](const Request& r) { return r.slot == request.slot; }),
                      waiting.end());
        if (current.reading && current.slot == request.slot)
            stopCurrent = true;
        waiting.push_back(request);
    }
    wake.notify_all();
}

void CatalogueWorker::forget(std::size_t slot)
{
    std::lock_guard<std::mutex> lock(mutex);
    waiting.erase(std::remove_if(waiting.begin(), waiting.end(), [&](const Request& r) { return r.slot == slot; }),
                  waiting.end());
    done.erase(std::remove_if(done.begin(), done.end(), [&](const Reading& r) { return r.slot == slot; }), done.end());
    if (current.reading && current.slot == slot)
        stopCurrent = true;
}

std::optional<CatalogueWorker::Reading> CatalogueWorker::take()
{
    std::lock_guard<std::mutex> lock(mutex);
    if (done.empty())
        return std::nullopt;
    Reading reading = std::move(done.front());
    done.pop_front();
    return reading;
}

CatalogueWorker::Progress CatalogueWorker::progress() const
{
    std::lock_guard<std::mutex> lock(mutex);
    return current;
}

bool CatalogueWorker::idle() const
{
    std::lock_guard<std::mutex> lock(mutex);
    return !current.reading && waiting.empty() && done.empty();
}

void CatalogueWorker::run()
{
    // Behind the frames, not beside them: where the cores are all busy (a
    // million dots drawn by a software renderer while a million names are
    // sorted) the frame's threads go first. On Linux a thread has a nice
    // value of its own; elsewhere this fails and the reading keeps its place.
    setpriority(PRIO_PROCESS, id_t(syscall(SYS_gettid)), backgroundNice);
    std::unique_lock<std::mutex> lock(mutex);
    for (;;)
    {
        wake.wait(lock, [&] { return stopping || !waiting.empty(); });
        if (stopping)
            return;
        const Request request = waiting.front();
        waiting.pop_front();
        stopCurrent = false;
        current = Progress{true, request.slot, request.path, 0, 0.0, 0.0, false};
        const auto start = std::chrono::steady_clock::now();
        lock.unlock();

        ReadOptions options;
        options.progress = [&](const ReadProgress& progress) {
            std::lock_guard<std::mutex> inner(mutex);
            current.bodies = progress.bodies;
            current.share = progress.share;
            current.seconds = secondsSince(start);
            return !stopCurrent;
        };
        Result<Catalogue> read = readCatalogueFile(request.path, options);
        Reading reading;
        reading.slot = request.slot;
        reading.path = request.path;
        bool stopped = read.ok() && read->cancelled;
        if (read && !stopped)
        {
            {
                std::lock_guard<std::mutex> inner(mutex);
                current.packing = true;
                current.seconds = secondsSince(start);
            }
            auto catalogue = std::make_shared<const Catalogue>(std::move(read.value()));
            reading.dots = std::make_shared<const DotArrays>(packDots(catalogue->bodies, request.referenceDays));
            reading.catalogue = std::shared_ptr<const Catalogue>(std::move(catalogue));
        }
        else if (!read)
            reading.catalogue = Failure{read.why()};
        reading.seconds = secondsSince(start);

        lock.lock();
        // Asked for again meanwhile: the newer reading stands for it.
        stopped = stopped || stopCurrent;
        current = Progress();
        if (stopped || !reading.catalogue)
        {
            if (!stopped)
                done.push_back(std::move(reading));
            continue;
        }
        // The dots go first; the names follow, sorted in a second or two
        // more for a million, and are handed over on their own.
        Reading names;
        names.slot = reading.slot;
        names.path = reading.path;
        names.catalogue = reading.catalogue;
        names.namesOnly = true;
        done.push_back(std::move(reading));
        lock.unlock();
        const auto sorting = std::chrono::steady_clock::now();
        names.names = std::make_shared<const NameIndex>((*names.catalogue)->bodies);
        names.seconds = secondsSince(sorting);
        lock.lock();
        if (!stopping)
            done.push_back(std::move(names));
    }
}
