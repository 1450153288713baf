#include "platform/AtomicFile.h"

#include "platform/Files.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace lv::platform {
namespace {

std::atomic<s64> g_FailAfter{-1};
std::atomic<u32> g_TempCounter{0};

// Writes everything, resuming after interruptions and short writes.
bool WriteAll(int fd, const char* data, size_t size)
{
    s64 budget = g_FailAfter.load();
    while (size > 0) {
        size_t chunk = size;
        if (budget >= 0) {
            if (budget == 0) {
                errno = ENOSPC;
                return false;
            }
            if (static_cast<u64>(budget) < chunk)
                chunk = static_cast<size_t>(budget);
        }
        const ssize_t n = ::write(fd, data, chunk);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += n;
        size -= static_cast<size_t>(n);
        if (budget >= 0)
            budget -= n;
    }
    return true;
}

std::string FolderOf(const std::string& path)
{
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// The rename is only durable once the folder's entry is on disk; failing here loses nothing.
void SyncFolder(const std::string& folder)
{
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

EAtomicWriteResult WriteFileAtomically(const char* path, const void* data, size_t size)
{
    const std::string target = ToSystemPath(path);
    std::string temp;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        // Beside the target (a rename never crosses file systems), but under a short name of its
        // own: the target's name plus a suffix would pass the file-name limit for long names.
        const std::string folder = FolderOf(target);
        temp = (folder == "/" ? "" : folder) + "/.lvtmp" + std::to_string(::getpid()) + "_" +
               std::to_string(g_TempCounter++);
        // 0666 lets the umask decide, as an ordinary file creation would.
        fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            break;
    }
    if (fd < 0)
        return EAtomicWriteResult::OpenFailed;

    struct stat old
    {
    };
    if (::stat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode))
        ::fchmod(fd, old.st_mode & 07777);
    bool ok = WriteAll(fd, static_cast<const char*>(data), size);
    ok = ok && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    ok = ok && ::rename(temp.c_str(), target.c_str()) == 0;
    if (!ok) {
        ::unlink(temp.c_str());
        return EAtomicWriteResult::WriteFailed;
    }
    SyncFolder(FolderOf(target));
    return EAtomicWriteResult::Ok;
}

void SetAtomicWriteFailAfter(s64 bytes)
{
    g_FailAfter = bytes;
}

} // namespace lv::platform
