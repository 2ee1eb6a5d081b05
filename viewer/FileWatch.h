#ifndef ORVTEST_VIEWER_FILEWATCH_H
#define ORVTEST_VIEWER_FILEWATCH_H

#include "config/Files.h"

#include <optional>
#include <string>

// Watches a file as editors write it: by its status, a few times a second of
// the frames' time, and says it is due once it has changed since it was last
// taken, the program that wrote it has closed it (or renamed a new copy into
// its place), and it has then stood still a while. So a file is not read half
// written, even by a writer that pauses between its parts; a file rewritten
// without pause is read once the writing stops.
class FileWatch
{
public:
    // An empty path watches nothing. The file as it is now counts as taken.
    explicit FileWatch(std::string path = "", float pollSeconds = 0.2f, float settleSeconds = 0.3f);

    // Advances by `dt` seconds; true when the file is due to be read.
    bool poll(float dt);
    // Asks for a read once the file stands still, changed or not.
    void request() { requested = true; }
    // Reads the due file: its text, or a Failure saying why it cannot be
    // read (readConfigFile). Nothing, and nothing taken, so that it is due
    // again later, when the file did not stand still while it was read.
    std::optional<Result<std::string>> take();
    // For a due file its caller reads itself (a catalogue, on a worker):
    // counts the file as taken as it stands now. False, and nothing taken,
    // when it has changed since the last poll.
    bool claim();
    const std::string& path() const { return watched; }

private:
    std::string watched;
    float pollSeconds;
    float settleSeconds;
    float sincePoll = 0.0f;
    float stillFor = 0.0f;
    FileStatus seen;
    FileStatus taken;
    WriterWatch writers;
    bool requested = false;
};

#endif
