#ifndef ORVTEST_VIEWER_LIVERELOAD_H
#define ORVTEST_VIEWER_LIVERELOAD_H

#include "checker/Checks.h"
#include "config/AppSettings.h"
#include "config/SettingsKeys.h"
#include "sim/BodyRegistry.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

// What a file's status says about its content: two equal signatures, one
// taken before reading and one after, mean nobody wrote it in between.
struct FileSignature
{
    bool exists = false;
    bool regular = false;
    long long size = 0;
    long long modifiedNs = 0;
    unsigned long long inode = 0;

    bool operator==(const FileSignature& other) const;
    bool operator!=(const FileSignature& other) const { return !(*this == other); }
};

FileSignature signatureOf(const std::string& path);

// Watches a file as editors write it: by its status, a few times a second of
// the frames' time, and says it is due once it has changed since it was last
// taken and has then stood still a while, so that a file still being written
// is never read (a file rewritten without pause is read once it stops).
class FileWatch
{
public:
    // An empty path watches nothing. The file as it is now counts as taken.
    explicit FileWatch(std::string path = "", float pollSeconds = 0.2f, float settleSeconds = 0.3f);

    // Advances by `dt` seconds; true when the file is due to be read.
    bool poll(float dt);
    // Asks for a read once the file stands still, changed or not.
    void request() { requested = true; }
    // Reads the due file, or says why it cannot: the text is read only if the
    // file stood still while it was read; false (and nothing taken, so that
    // it is due again later) when it did not.
    bool take(std::string& text, std::string& unreadable);
    const std::string& path() const { return watched; }

private:
    std::string watched;
    float pollSeconds;
    float settleSeconds;
    float sincePoll = 0.0f;
    float stillFor = 0.0f;
    FileSignature seen;
    FileSignature taken;
    bool requested = false;
};

// What a system file read while the viewer runs holds, judged as
// orvtest-check judges it. `meshExists` tells whether a mesh of that name can
// be made (the engine's question, which the checker cannot ask).
struct SystemVerdict
{
    std::unique_ptr<BodyRegistry> bodies = std::make_unique<BodyRegistry>();
    std::vector<Problem> problems;

    // Whether the bodies can replace the shown ones: no error found.
    bool sound() const;
    // The first error; null when sound.
    const Problem* firstError() const;
};
SystemVerdict judgeSystemText(const std::string& fileName, const std::string& text,
                              const std::function<bool(const std::string&)>& meshExists);

// What a settings file read while the viewer runs changes.
struct SettingsVerdict
{
    AppSettings read;
    std::vector<Problem> problems;                 // warnings of orvtest-check
    std::vector<const SettingsKey*> atOnce;        // changed, and taken now
    std::vector<const SettingsKey*> atNextStart;   // changed, and taken at the next start
};
SettingsVerdict judgeSettingsText(const std::string& fileName, const std::string& text, const AppSettings& current);

#endif
