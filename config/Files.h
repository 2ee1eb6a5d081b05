#ifndef ORVTEST_CONFIG_FILES_H
#define ORVTEST_CONFIG_FILES_H

#include "config/Result.h"

#include <string>
#include <vector>

// Everything the program asks of the file system. Failures come back as a
// Failure with a reason a person can read; nothing here throws.

// What a path's status says about it. Two equal statuses, one taken before
// reading a file and one after, mean nobody wrote it in between.
struct FileStatus
{
    bool exists = false;
    bool regular = false;
    bool folder = false;
    long long size = 0;
    long long modifiedNs = 0;
    unsigned long long inode = 0;

    bool operator==(const FileStatus& other) const;
    bool operator!=(const FileStatus& other) const { return !(*this == other); }
};

FileStatus statusOf(const std::string& path);
bool isRegularFile(const std::string& path);
bool isFolder(const std::string& path);

// Reads a whole regular file. A folder or a pipe is refused rather than read:
// the first would never end, the second could block for ever. The Failure
// does not name the file: the caller says which it was.
Result<std::string> readWholeFile(const std::string& path);

// Writes `text` as a new file; an existing file is kept as it is (no Failure).
Result<> writeNewFile(const std::string& path, const std::string& text);

// Replaces the file's contents with `text`: written to a temporary file
// beside it (temporaryFileFor), flushed to the disk and renamed over it, so
// that the file is at every moment either wholly old or wholly new. On
// failure the file is as it was and the temporary file gone.
Result<> replaceFileContents(const std::string& path, const std::string& text);
// The temporary file replaceFileContents writes for `path` in this process.
std::string temporaryFileFor(const std::string& path);

// Makes `folder` and the folders above it that are missing.
Result<> makeFolders(const std::string& folder);

// The names of the regular files directly in `folder` (not below it); none
// when it cannot be read.
std::vector<std::string> filesIn(const std::string& folder);

// Whether a name asked for was had, or something else has it already.
enum class NameClaim
{
    Linked,
    NameTaken,
};

// Gives the file `from` the name `to` as well, unless `to` exists: a file is
// never replaced, even by another process racing for the same name. The
// Failure is the system's reason alone.
Result<NameClaim> linkWithoutReplacing(const std::string& from, const std::string& to);

// Makes the folder `folder`, which must not exist yet: two processes asking
// for one name never both get it. NameTaken when something has that name.
Result<NameClaim> makeNewFolder(const std::string& folder);

// Removes a file; a missing one is no error.
void removeFile(const std::string& path);

// `file`'s folder with a trailing '/', or "" for a bare name.
std::string folderOf(const std::string& file);
// `file` without its folder.
std::string baseNameOf(const std::string& file);

// Tells whether a program still holds a file open for writing since it last
// changed it, from the kernel's notes on the file's folder (inotify): a
// change opens a write, a writer closing the file or an editor renaming a new
// copy into place (or deleting it) ends it. Where the kernel cannot watch, it
// never says a write is open.
class WriterWatch
{
public:
    explicit WriterWatch(const std::string& path = "");
    ~WriterWatch();
    WriterWatch(WriterWatch&& other) noexcept;
    WriterWatch& operator=(WriterWatch&& other) noexcept;
    WriterWatch(const WriterWatch&) = delete;
    WriterWatch& operator=(const WriterWatch&) = delete;

    // Reads what the kernel noted since the last call; true while a write
    // that changed the file has not been closed.
    bool writeOpen();
    // Whether the kernel watches the folder at all.
    bool watching() const { return descriptor >= 0; }

private:
    int descriptor = -1;
    std::string name;
    bool open = false;
};

#endif
