#include "config/Files.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>

#include <dirent.h>
#include <fcntl.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

bool FileStatus::operator==(const FileStatus& other) const
{
    return exists == other.exists && regular == other.regular && folder == other.folder && size == other.size &&
           modifiedNs == other.modifiedNs && inode == other.inode;
}

FileStatus statusOf(const std::string& path)
{
    FileStatus status;
    struct stat read;
    if (path.empty() || ::stat(path.c_str(), &read) != 0)
        return status;
    status.exists = true;
    status.regular = S_ISREG(read.st_mode);
    status.folder = S_ISDIR(read.st_mode);
    status.size = read.st_size;
    status.modifiedNs = (long long)read.st_mtim.tv_sec * 1000000000LL + read.st_mtim.tv_nsec;
    status.inode = read.st_ino;
    return status;
}

bool isRegularFile(const std::string& path)
{
    return statusOf(path).regular;
}

bool isFolder(const std::string& path)
{
    return statusOf(path).folder;
}

Result<std::string> readWholeFile(const std::string& path)
{
    const FileStatus status = statusOf(path);
    if (status.exists && !status.regular)
        return Failure{"it is not a regular file"};
    std::ifstream stream(path, std::ios::binary);
    if (!stream)
        return Failure{std::strerror(errno)};
    std::string text{std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>()};
    if (stream.bad())
        return Failure{std::strerror(errno)};
    return text;
}

Result<> writeNewFile(const std::string& path, const std::string& text)
{
    if (isRegularFile(path))
        return {};
    std::ofstream stream(path, std::ios::binary);
    stream << text;
    stream.close();
    if (!stream)
        return Failure{path + ": " + std::strerror(errno)};
    return {};
}

std::string temporaryFileFor(const std::string& path)
{
    return folderOf(path) + "." + baseNameOf(path) + "." + std::to_string(::getpid()) + ".tmp";
}

Result<> replaceFileContents(const std::string& path, const std::string& text)
{
    const std::string temporary = temporaryFileFor(path);
    const int descriptor = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (descriptor < 0)
        return Failure{"cannot write " + temporary + ": " + std::strerror(errno)};
    int error = 0;
    for (std::size_t at = 0; !error && at < text.size();)
    {
        const ssize_t count = ::write(descriptor, text.data() + at, text.size() - at);
        if (count > 0)
            at += std::size_t(count);
        else if (count == 0 || errno != EINTR)
            error = count < 0 ? errno : EIO;
    }
    // On the disk before the name points at it: a crash then leaves the old file or the new, never a torn one.
    if (!error && ::fsync(descriptor) != 0)
        error = errno;
    if (::close(descriptor) != 0 && !error)
        error = errno;
    if (!error && ::rename(temporary.c_str(), path.c_str()) != 0)
        error = errno;
    if (error)
    {
        ::unlink(temporary.c_str());
        return Failure{"cannot write " + path + ": " + std::strerror(error)};
    }
    return {};
}

Result<> makeFolders(const std::string& folder)
{
    std::string path = !folder.empty() && folder.front() == '/' ? "/" : "";
    std::istringstream parts(folder);
    for (std::string part; std::getline(parts, part, '/');)
    {
        if (part.empty())
            continue;
        path += part + "/";
        if (isFolder(path))
            continue;
        if (::mkdir(path.c_str(), 0755) != 0 && !(errno == EEXIST && isFolder(path)))
            return Failure{"cannot make the folder " + path + ": " + std::strerror(errno)};
    }
    return {};
}

std::vector<std::string> filesIn(const std::string& folder)
{
    std::vector<std::string> names;
    DIR* listing = ::opendir(folder.empty() ? "." : folder.c_str());
    if (!listing)
        return names;
    const std::string prefix = folder.empty() || folder.back() == '/' ? folder : folder + "/";
    while (const dirent* entry = ::readdir(listing))
        if (isRegularFile(prefix + entry->d_name))
            names.emplace_back(entry->d_name);
    ::closedir(listing);
    return names;
}

Result<NameClaim> linkWithoutReplacing(const std::string& from, const std::string& to)
{
    if (::link(from.c_str(), to.c_str()) == 0)
        return NameClaim::Linked;
    if (errno == EEXIST)
        return NameClaim::NameTaken;
    return Failure{std::strerror(errno)};
}

Result<NameClaim> makeNewFolder(const std::string& folder)
{
    if (::mkdir(folder.c_str(), 0755) == 0)
        return NameClaim::Linked;
    if (errno == EEXIST)
        return NameClaim::NameTaken;
    return Failure{"cannot make the folder " + folder + ": " + std::strerror(errno)};
}

void removeFile(const std::string& path)
{
    ::unlink(path.c_str());
}

std::string folderOf(const std::string& file)
{
    const std::size_t slash = file.rfind('/');
    return slash == std::string::npos ? "" : file.substr(0, slash + 1);
}

std::string baseNameOf(const std::string& file)
{
    return file.substr(folderOf(file).size());
}

WriterWatch::WriterWatch(const std::string& path) : name(baseNameOf(path))
{
    if (path.empty())
        return;
    descriptor = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (descriptor < 0)
        return;
    const std::string folder = folderOf(path).empty() ? "." : folderOf(path);
    if (::inotify_add_watch(descriptor, folder.c_str(),
                            IN_MODIFY | IN_CREATE | IN_CLOSE_WRITE | IN_MOVED_TO | IN_MOVED_FROM | IN_DELETE) < 0)
    {
        ::close(descriptor);
        descriptor = -1;
    }
}

WriterWatch::~WriterWatch()
{
    if (descriptor >= 0)
        ::close(descriptor);
}

WriterWatch::WriterWatch(WriterWatch&& other) noexcept
    : descriptor(other.descriptor), name(std::move(other.name)), open(other.open)
{
    other.descriptor = -1;
}

WriterWatch& WriterWatch::operator=(WriterWatch&& other) noexcept
{
    if (this != &other)
    {
        if (descriptor >= 0)
            ::close(descriptor);
        descriptor = other.descriptor;
        name = std::move(other.name);
        open = other.open;
        other.descriptor = -1;
    }
    return *this;
}

bool WriterWatch::writeOpen()
{
    if (descriptor < 0)
        return false;
    alignas(inotify_event) char buffer[4096];
    for (;;)
    {
        const ssize_t length = ::read(descriptor, buffer, sizeof buffer);
        if (length <= 0)
            break;
        for (ssize_t at = 0; at < length;)
        {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            at += ssize_t(sizeof(inotify_event) + event->len);
            if (event->mask & IN_Q_OVERFLOW)
            {
                // Notes were lost: what the file's status says has to do.
                open = false;
                continue;
            }
            if (event->len == 0 || name != event->name)
                continue;
            // A folder made in the file's place is no write that will end.
            if (event->mask & (IN_ISDIR | IN_CLOSE_WRITE | IN_MOVED_TO | IN_MOVED_FROM | IN_DELETE))
                open = false;
            else if (event->mask & (IN_MODIFY | IN_CREATE))
                open = true;
        }
    }
    return open;
}
