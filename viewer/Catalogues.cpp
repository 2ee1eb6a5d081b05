#include "viewer/Catalogues.h"

#include "config/Files.h"
#include "config/Utf8.h"
#include "scene/CatalogueDots.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

std::string countText(std::size_t count)
{
    std::string digits = std::to_string(count);
    for (std::size_t at = digits.size(); at > 3; at -= 3)
        digits.insert(at - 3, ",");
    return digits;
}

Result<> catalogueReadable(const std::string& path)
{
    // Lines read from a pipe are gone for the reading after: it is judged as it is read.
    if (statusOf(path).exists && !isRegularFile(path) && !isFolder(path))
        return {};
    ReadOptions firstLines;
    firstLines.progress = [](const ReadProgress&) { return false; };
    const Result<Catalogue> read = readCatalogueFile(path, firstLines);
    if (!read)
        return Failure{read.why()};
    return {};
}

namespace
{
// A reading's failure says the path it was given: the status line names
// the file alone, as it does the system file.
std::string withBaseName(const std::string& why, const std::string& path)
{
    return why.compare(0, path.size(), path) == 0 ? baseNameOf(path) + why.substr(path.size()) : why;
}

std::string bodiesText(const SmallBodies& bodies)
{
    std::size_t comets = 0;
    for (std::size_t i = 0; i < bodies.size(); ++i)
        comets += bodies.kind(i) == BodyKind::Comet;
    const std::size_t asteroids = bodies.size() - comets;
    if (comets == 0)
        return countText(asteroids) + (asteroids == 1 ? " asteroid" : " asteroids");
    if (asteroids == 0)
        return countText(comets) + (comets == 1 ? " comet" : " comets");
    return countText(asteroids) + (asteroids == 1 ? " asteroid and " : " asteroids and ") + countText(comets) +
           (comets == 1 ? " comet" : " comets");
}
}

Catalogues::Catalogues(Ogre::SceneManager* scene) : sceneManager(scene)
{
}

Catalogues::~Catalogues()
{
    // The thread first: it may still be packing for the dots.
    worker.reset();
    drawn.reset();
}

void Catalogues::show(const std::vector<std::string>& files)
{
    named = files;
    if (!files.empty() && !drawn)
    {
        drawn = std::make_unique<CatalogueDots>(sceneManager);
        drawn->setMap(map);
        drawn->setTime(days);
        worker = std::make_unique<CatalogueWorker>();
    }
    std::vector<bool> kept(shown.size(), false);
    for (const std::string& file : files)
    {
        std::size_t slot = 0;
        while (slot < shown.size() && (shown[slot].path != file || kept[slot]))
            ++slot;
        if (slot < shown.size())
        {
            kept[slot] = true;
            continue;
        }
        // A new file takes the first slot no longer named.
        slot = 0;
        while (slot < shown.size() && (kept[slot] || !shown[slot].path.empty()))
            ++slot;
        if (slot == shown.size())
        {
            shown.emplace_back();
            kept.push_back(false);
        }
        shown[slot].path = file;
        // A pipe is read once: what was read from it is gone.
        shown[slot].watch = FileWatch(isRegularFile(file) || !statusOf(file).exists ? file : "");
        shown[slot].due = true;
        kept[slot] = true;
    }
    for (std::size_t slot = 0; slot < shown.size(); ++slot)
        if (!kept[slot] && !shown[slot].path.empty())
        {
            worker->forget(slot);
            drawn->show(slot, nullptr, nullptr);
            shown[slot] = Shown();
        }
}

void Catalogues::setMap(const RadialMap& newMap)
{
    map = newMap;
    if (drawn)
        drawn->setMap(map);
}

void Catalogues::setTime(double dynamicalDays)
{
    days = dynamicalDays;
    if (drawn)
        drawn->setTime(days);
}

std::size_t Catalogues::bodyCount() const
{
    return drawn ? drawn->dotCount() : 0;
}

const Catalogue* Catalogues::catalogue(std::size_t index) const
{
    if (index >= named.size())
        return nullptr;
    for (const Shown& entry : shown)
        if (entry.path == named[index])
            return entry.catalogue.get();
    return nullptr;
}

bool Catalogues::busy() const
{
    if (!worker)
        return false;
    for (const Shown& entry : shown)
        if (!entry.path.empty() && entry.due)
            return true;
    // Dots that cannot be drawn (no compute programs) never reach the card.
    return !worker->idle() || (drawn->unavailable().empty() && drawn->dotsOnCard() != drawn->dotCount());
}

Catalogues::News Catalogues::poll(float dt, double dynamicalDays)
{
    News news;
    if (!worker)
        return news;
    // The last frame was drawn while files were read, or took the dots over.
    if (countingFrames)
    {
        ++framesReading;
        longestFrame = std::max(longestFrame, dt);
    }
    if (reportFrames)
    {
        char line[160];
        std::snprintf(line, sizeof line,
                      "%ld frames were drawn while catalogues were read and put on the graphics card, the longest "
                      "in %.0f ms",
                      framesReading, 1000.0 * longestFrame);
        news.log.push_back(line);
        framesReading = 0;
        longestFrame = 0.0f;
        reportFrames = false;
    }

    // The first frame draws every material for the first time, slowly with
    // or without catalogues: the readings begin once it is drawn.
    const bool begin = polls++ > 0;
    for (std::size_t slot = 0; slot < shown.size() && begin; ++slot)
    {
        Shown& entry = shown[slot];
        if (entry.path.empty())
            continue;
        // Read when first named, and when the file has changed and stands still.
        const bool changed = entry.watch.poll(dt) && entry.watch.claim();
        if (entry.due || changed)
        {
            entry.due = false;
            worker->read({slot, entry.path, dynamicalDays});
        }
    }

    const CatalogueWorker::Progress progress = worker->progress();
    sinceProgress += dt;
    if (progress.reading && (progress.path != lastProgressPath || sinceProgress >= progressInterval))
    {
        sinceProgress = 0.0f;
        lastProgressPath = progress.path;
        char line[200];
        std::snprintf(line, sizeof line, "Reading %s: %s bodies, %.0f %%", baseNameOf(progress.path).c_str(),
                      countText(progress.bodies).c_str(), 100.0 * progress.share);
        news.status = line;
        if (progress.packing)
            news.status = "Reading " + baseNameOf(progress.path) + ": " + countText(progress.bodies) +
                          " bodies read, sorting them for drawing";
        else if (progress.share > 0.02)
            news.status += ", about " +
                           std::to_string(long(std::ceil(progress.seconds * (1.0 - progress.share) / progress.share))) +
                           " s left";
    }
    if (!progress.reading)
        lastProgressPath.clear();

    std::vector<std::string> said;
    while (std::optional<CatalogueWorker::Reading> reading = worker->take())
    {
        // The names follow their catalogue unannounced.
        std::string line = handOver(*reading, news.log);
        if (!reading->namesOnly)
            said.push_back(std::move(line));
    }
    if (!said.empty())
    {
        news.status.clear();
        for (const std::string& line : said)
            if (!line.empty())
                news.status += (news.status.empty() ? "" : "\n") + line;
    }
    // Busy until every dot is on the graphics card; the frame after that,
    // the first to draw them all, counts too.
    const bool busyNow = busy();
    reportFrames = !busyNow && wasBusy;
    countingFrames = begin && (busyNow || reportFrames);
    wasBusy = begin && busyNow;
    return news;
}

std::string Catalogues::handOver(CatalogueWorker::Reading& reading, std::vector<std::string>& log)
{
    if (reading.slot >= shown.size() || shown[reading.slot].path != reading.path)
        return "";
    Shown& entry = shown[reading.slot];
    if (reading.namesOnly)
    {
        // For the catalogue they were sorted from, if it is still the one shown.
        if (reading.catalogue && entry.catalogue == *reading.catalogue)
        {
            entry.names = reading.names;
            char seconds[32];
            std::snprintf(seconds, sizeof seconds, "%.2f", reading.seconds);
            log.push_back(reading.path + ": " + countText(reading.names->keyCount()) + " names sorted in " + seconds +
                          " s for going to its bodies");
        }
        return "";
    }
    const std::string name = baseNameOf(reading.path);
    if (!reading.catalogue)
    {
        log.push_back(reading.path + ": error: " + reading.catalogue.why());
        return withBaseName(reading.catalogue.why(), reading.path) +
               (entry.catalogue ? "; the bodies shown stay" : "; not shown");
    }
    entry.catalogue = *reading.catalogue;
    entry.names.reset();
    const Catalogue& catalogue = *entry.catalogue;
    drawn->show(reading.slot, reading.dots, std::shared_ptr<const SmallBodies>(entry.catalogue, &catalogue.bodies));
    for (const CatalogueProblem& problem : catalogue.problems)
        log.push_back(problem.where());
    const std::size_t skipped = catalogue.problems.size() + catalogue.problemsNotKept;
    if (catalogue.problemsNotKept > 0)
        log.push_back(reading.path + ": " + countText(catalogue.problemsNotKept) + " more lines skipped");
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.2f", reading.seconds);
    log.push_back(reading.path + " (" + formatName(catalogue.format) + ") read in " + seconds + " s: " +
                  countText(catalogue.bodies.size()) + " bodies shown");
    return name + ": " + bodiesText(catalogue.bodies) + " shown" +
           (skipped > 0 ? "; " + countText(skipped) + (skipped == 1 ? " line" : " lines") + " skipped (see the log)"
                        : "");
}

std::vector<std::shared_ptr<const SmallBodies>> Catalogues::shownBodies() const
{
    std::vector<std::shared_ptr<const SmallBodies>> bodies;
    for (const Shown& entry : shown)
        bodies.push_back(entry.catalogue ? std::shared_ptr<const SmallBodies>(entry.catalogue, &entry.catalogue->bodies)
                                         : nullptr);
    return bodies;
}

const SmallBodies* Catalogues::bodiesIn(std::size_t slot) const
{
    return slot < shown.size() && shown[slot].catalogue ? &shown[slot].catalogue->bodies : nullptr;
}

std::optional<CatalogueTarget> Catalogues::findCatalogueBody(const std::string& typed, bool beginning) const
{
    std::optional<CatalogueTarget> best;
    float bestMagnitude = INFINITY;
    for (std::size_t slot = 0; slot < shown.size(); ++slot)
    {
        const Shown& entry = shown[slot];
        if (!entry.names)
            continue;
        const std::optional<std::size_t> found = beginning ? entry.names->findBeginning(typed) : entry.names->find(typed);
        if (!found)
            continue;
        const SmallBodies& bodies = entry.catalogue->bodies;
        const float magnitude = std::isnan(bodies.magnitude(*found)) ? unknownMagnitude : bodies.magnitude(*found);
        if (best && !(magnitude < bestMagnitude))
            continue;
        bestMagnitude = magnitude;
        std::string_view name = bodies.name(*found);
        while (!name.empty() && name.front() == ' ')
            name.remove_prefix(1);
        best = CatalogueTarget{slot, *found, std::string(name)};
    }
    return best;
}

std::string Catalogues::completeCatalogueName(const std::string& typed) const
{
    std::string common;
    bool any = false;
    for (const Shown& entry : shown)
    {
        if (!entry.names)
            continue;
        const std::string completed = entry.names->complete(typed);
        if (completed.empty())
            continue;
        if (!any)
            common = completed;
        else
            common.resize(commonPrefixIgnoringCase(common, completed));
        any = true;
    }
    return common;
}

std::optional<CatalogueTarget> Catalogues::current(const CatalogueTarget& target) const
{
    const SmallBodies* bodies = bodiesIn(target.slot);
    if (!bodies)
        return std::nullopt;
    if (target.index < bodies->size())
    {
        std::string_view name = bodies->name(target.index);
        while (!name.empty() && name.front() == ' ')
            name.remove_prefix(1);
        if (name == target.name)
            return target;
    }
    const std::optional<std::size_t> found = shown[target.slot].names->find(target.name);
    if (!found)
        return std::nullopt;
    return CatalogueTarget{target.slot, *found, target.name};
}

Ogre::Vector3 Catalogues::placeOf(const CatalogueTarget& target) const
{
    const SmallBodies* bodies = bodiesIn(target.slot);
    if (!bodies || !drawn || target.index >= bodies->size())
        return Ogre::Vector3(NAN, NAN, NAN);
    return drawn->placeOf(*bodies, target.index);
}

bool Catalogues::namesSorted() const
{
    return std::all_of(shown.begin(), shown.end(),
                       [](const Shown& entry) { return entry.path.empty() || !entry.catalogue || entry.names; });
}
