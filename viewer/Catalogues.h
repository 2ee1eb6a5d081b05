#ifndef ORVTEST_VIEWER_CATALOGUES_H
#define ORVTEST_VIEWER_CATALOGUES_H

#include "sky/RadialMap.h"
#include "viewer/CatalogueTarget.h"
#include "viewer/CatalogueWorker.h"
#include "viewer/FileWatch.h"

#include <OgrePrerequisites.h>
#include <OgreVector.h>

#include <memory>
#include <string>
#include <vector>

class CatalogueDots;

// The asteroid and comet catalogues the viewer shows: each file read on the
// worker thread (CatalogueWorker) while the frames go on, watched as the
// system file is and read again when it has changed, and its bodies handed
// to the dots (scene/CatalogueDots.h) all at once when the reading is done.
// A file that cannot be read changes nothing that is shown. Its bodies are
// found by name for the go-to prompt (catalogue/NameIndex.h).
class Catalogues : public CatalogueNames
{
public:
    explicit Catalogues(Ogre::SceneManager* sceneManager);
    ~Catalogues() override;

    // Shows these files (as found on disk) from the next poll on, each read
    // then. A file shown already stays as it was read; one no longer named
    // goes.
    void show(const std::vector<std::string>& files);
    const std::vector<std::string>& files() const { return named; }

    // What a frame's poll has to say: a line for the status line (empty
    // when there is nothing new) and lines for the log.
    struct News
    {
        std::string status;
        std::vector<std::string> log;
    };
    // Once a frame, `dt` the seconds the last frame took: starts the readings
    // due (from the second frame on, after the slow first), packed for
    // `dynamicalDays` (TT days from J2000), says how far the one under way
    // has come (a few times a second), and hands over those done.
    News poll(float dt, double dynamicalDays);

    // The map from true distances to world units, and the time shown.
    void setMap(const RadialMap& map);
    const RadialMap& radialMap() const { return map; }
    void setTime(double dynamicalDays);

    // Bodies shown, of every catalogue.
    std::size_t bodyCount() const;
    // The catalogue read from the `index`th file named, or null while it has
    // none.
    const Catalogue* catalogue(std::size_t index) const;
    // Whether a file waits to be read or is read, or what was read waits to
    // be taken over or to be put on the graphics card: the dots shown are
    // not yet those of the files as they are.
    bool busy() const;
    // The dots; null until a file is named.
    CatalogueDots* dots() const { return drawn.get(); }

    // Of several bodies of one name in different catalogues, the brightest
    // (lowest H or M1): "Halley" is the comet, not the asteroid (2688) Halley.
    std::optional<CatalogueTarget> findCatalogueBody(const std::string& typed, bool beginning) const override;
    std::string completeCatalogueName(const std::string& typed) const override;
    bool namesComing() const override { return busy() || !namesSorted(); }
    // Whether every catalogue read has its names sorted for going to its
    // bodies: they follow the catalogue by a second or two for a million.
    bool namesSorted() const;
    // The bodies of every catalogue read, by slot (null for a slot without).
    std::vector<std::shared_ptr<const SmallBodies>> shownBodies() const;
    // The bodies of the catalogue in `slot`, or null while it has none.
    const SmallBodies* bodiesIn(std::size_t slot) const;
    // The target as the catalogues are now: itself, or where a catalogue read
    // again has put the body of its name; nothing when it is gone.
    std::optional<CatalogueTarget> current(const CatalogueTarget& target) const;
    // Where the body stands in the world at the time shown.
    Ogre::Vector3 placeOf(const CatalogueTarget& target) const;

    // How often progress is said, seconds.
    static constexpr float progressInterval = 0.25f;

private:
    struct Shown
    {
        std::string path;
        FileWatch watch;
        std::shared_ptr<const Catalogue> catalogue;
        std::shared_ptr<const NameIndex> names;    // of the catalogue's bodies
        bool due = true;    // read at the next poll, changed or not
    };
    std::string handOver(CatalogueWorker::Reading& reading, std::vector<std::string>& log);

    Ogre::SceneManager* sceneManager;
    std::vector<std::string> named;
    std::vector<Shown> shown;           // by slot; a slot no longer named has no path
    std::unique_ptr<CatalogueDots> drawn;
    std::unique_ptr<CatalogueWorker> worker;
    RadialMap map;
    double days = 0.0;
    long polls = 0;
    float sinceProgress = 0.0f;
    std::string lastProgressPath;       // of the reading progress was last said of
    // The frames while files are read, and the one after they are taken
    // over: how many, and the longest, for the log.
    long framesReading = 0;
    float longestFrame = 0.0f;
    bool countingFrames = false;
    bool reportFrames = false;
    bool wasBusy = false;
};

// Whether the viewer can show the catalogue file at all, as it starts: the
// file opens and its first lines are of a format it knows (read up to the
// reader's first report of progress, a few thousand lines). The Failure
// says why not. A pipe passes: what is read from it is gone, so its reading
// judges it, and it is read once, not watched.
Result<> catalogueReadable(const std::string& path);

// A count as a person reads it: 1,450,000.
std::string countText(std::size_t count);

#endif
