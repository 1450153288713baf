#include "platform/AtomicFileWriter.h"

#include "platform/AtomicFile.h"
#include "platform/Files.h"

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lv::platform {
namespace {

std::atomic<s64> g_WriteBudget{-1};
std::atomic<int> g_WriteFault{0};
std::atomic<u32> g_TempSerial{0};

bool FaultIs(EAtomicWriteFault fault)
{
    return g_WriteFault.load() == static_cast<int>(fault);
}

std::string TargetFolder(const std::string& path)
{
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// A rename is only durable once the folder's entry is on disk; failing here loses nothing.
void SyncTargetFolder(const std::string& folder)
{
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// Beside the target (a rename never crosses file systems), but under a short name of its own:
// the target's name plus a suffix would pass the file-name limit for long names.
std::string TempNameBeside(const std::string& target)
{
    const std::string folder = TargetFolder(target);
    return (folder == "/" ? "" : folder) + "/.lvtmp" + std::to_string(::getpid()) + "_" +
           std::to_string(g_TempSerial++);
}

} // namespace

bool LinkFileOver(const char* existing, const char* target)
{
    const std::string source = ToSystemPath(existing ? existing : "");
    const std::string destination = ToSystemPath(target ? target : "");
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string temp = TempNameBeside(destination);
        if (::link(source.c_str(), temp.c_str()) != 0) {
            if (errno == EEXIST)
                continue;
            return false;
        }
        const bool renamed = !FaultIs(EAtomicWriteFault::Rename) && ::rename(temp.c_str(), destination.c_str()) == 0;
        // A rename between two names of one file does nothing and leaves the temporary name.
        ::unlink(temp.c_str());
        return renamed;
    }
    return false;
}

CAtomicFileWriter::~CAtomicFileWriter()
{
    Discard();
}

bool CAtomicFileWriter::Open(const char* path)
{
    Discard();
    m_Failed = false;
    m_Finished = false;
    m_Budget = g_WriteBudget.load();
    m_Target = ToSystemPath(path ? path : "");
    for (int attempt = 0; attempt < 100 && m_File < 0; ++attempt) {
        m_Temp = TempNameBeside(m_Target);
        // 0666 lets the umask decide, as an ordinary file creation would.
        m_File = ::open(m_Temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (m_File < 0 && errno != EEXIST)
            break;
    }
    if (m_File < 0) {
        m_Temp.clear();
        return false;
    }
    struct stat old
    {
    };
    if (::stat(m_Target.c_str(), &old) == 0 && S_ISREG(old.st_mode))
        ::fchmod(m_File, old.st_mode & 07777);
    return true;
}

bool CAtomicFileWriter::Write(const void* data, size_t size)
{
    if (m_File < 0 || m_Failed)
        return false;
    const char* bytes = static_cast<const char*>(data);
    while (size > 0) {
        size_t chunk = size;
        const s64 budget = m_Budget;
        if (budget >= 0) {
            if (budget == 0) {
                errno = ENOSPC;
                m_Failed = true;
                return false;
            }
            if (static_cast<u64>(budget) < chunk)
                chunk = static_cast<size_t>(budget);
        }
        const ssize_t n = ::write(m_File, bytes, chunk);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            m_Failed = true;
            return false;
        }
        bytes += n;
        size -= static_cast<size_t>(n);
        if (budget >= 0)
            m_Budget = budget - n;
    }
    return true;
}

bool CAtomicFileWriter::Finish()
{
    if (m_File < 0)
        return m_Finished && !m_Failed;
    bool ok = !m_Failed;
    ok = ok && !FaultIs(EAtomicWriteFault::Sync) && ::fsync(m_File) == 0;
    ok = (::close(m_File) == 0) && ok;
    m_File = -1;
    m_Failed = !ok;
    m_Finished = true;
    return ok;
}

bool CAtomicFileWriter::Commit(bool syncFolder)
{
    if (!Finish() || m_Temp.empty())
        return false;
    if (FaultIs(EAtomicWriteFault::Rename) || ::rename(m_Temp.c_str(), m_Target.c_str()) != 0) {
        Discard();
        return false;
    }
    m_Temp.clear();
    if (syncFolder)
        SyncTargetFolder(TargetFolder(m_Target));
    return true;
}

void CAtomicFileWriter::Discard()
{
    if (m_File >= 0) {
        ::close(m_File);
        m_File = -1;
    }
    if (!m_Temp.empty()) {
        ::unlink(m_Temp.c_str());
        m_Temp.clear();
    }
}

void SetAtomicWriteFault(EAtomicWriteFault fault)
{
    g_WriteFault = static_cast<int>(fault);
}

void SetAtomicWriteFailAfter(s64 bytes)
{
    g_WriteBudget = bytes;
}

} // namespace lv::platform
