#include "platform/SingleInstance.h"

#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace lv::platform {
namespace {

constexpr char kNotification[] = "Notify";

bool IsUsableFolder(const char* path)
{
    struct stat info = {};
    return path && path[0] == '/' && ::stat(path, &info) == 0 && S_ISDIR(info.st_mode);
}

// The folder, and a suffix that keeps users apart in a folder they share.
void LockFolder(std::string& folder, std::string& suffix)
{
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (IsUsableFolder(runtime)) {
        folder = runtime;
        suffix.clear();
        return;
    }
    const char* tmp = std::getenv("TMPDIR");
    folder = IsUsableFolder(tmp) ? tmp : "/tmp";
    suffix = "-" + std::to_string(static_cast<unsigned>(::getuid()));
}

u64 Fnv1a(const std::string& text)
{
    u64 hash = 1469598103934665603ull;
    for (unsigned char c : text)
        hash = (hash ^ c) * 1099511628211ull;
    return hash;
}

// The product as a file-name part: no separators, no control characters; a very long name
// becomes a hash of itself.
std::string NamePart(const char* product)
{
    std::string name;
    for (const char* p = product ? product : ""; *p; ++p) {
        const unsigned char c = static_cast<unsigned char>(*p);
        name.push_back(c == '/' || c < 0x20 || c == 0x7F ? '_' : static_cast<char>(c));
    }
    if (name.size() > 48) {
        char text[17];
        std::snprintf(text, sizeof(text), "%016llx", static_cast<unsigned long long>(Fnv1a(name)));
        name = text;
    }
    return name;
}

// The socket's address: the path itself when it fits, else a name in the abstract namespace
// derived from the path (the kernel drops it with the socket, so nothing is left behind).
socklen_t MakeAddress(const std::string& path, sockaddr_un& address, bool& isFile)
{
    std::memset(&address, 0, sizeof(address));
    address.sun_family = AF_UNIX;
    if (path.size() < sizeof(address.sun_path)) {
        std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
        isFile = true;
        return static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + path.size() + 1);
    }
    char name[64];
    const int n = std::snprintf(name + 1, sizeof(name) - 1, "lv-notify-%u-%016llx", static_cast<unsigned>(::getuid()),
                                static_cast<unsigned long long>(Fnv1a(path)));
    name[0] = '\0';
    std::memcpy(address.sun_path, name, static_cast<size_t>(n) + 1);
    isFile = false;
    return static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + static_cast<size_t>(n) + 1);
}

void SendNotification(const std::string& path)
{
    sockaddr_un address;
    bool isFile = false;
    const socklen_t length = MakeAddress(path, address, isFile);
    const int fd = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return;
    ::sendto(fd, kNotification, sizeof(kNotification) - 1, MSG_DONTWAIT, reinterpret_cast<sockaddr*>(&address), length);
    ::close(fd);
}

} // namespace

CSingleInstance::~CSingleInstance()
{
    Release();
}

std::string CSingleInstance::LockPath(const char* product)
{
    std::string folder, suffix;
    LockFolder(folder, suffix);
    return folder + "/" + NamePart(product) + "MutexLV" + suffix + ".lock";
}

std::string CSingleInstance::SocketPath(const char* product)
{
    std::string folder, suffix;
    LockFolder(folder, suffix);
    return folder + "/Notify" + NamePart(product) + suffix + ".sock";
}

bool CSingleInstance::Acquire(const char* product)
{
    Release();
    const std::string lockPath = LockPath(product);
    const int fd = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        return true;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const bool taken = errno == EWOULDBLOCK;
        ::close(fd);
        if (!taken)
            return true;
        SendNotification(SocketPath(product));
        return false;
    }
    m_LockFd = fd;

    // Holding the lock makes any socket file left behind by a killed instance ours to replace.
    m_SocketPath = SocketPath(product);
    sockaddr_un address;
    bool isFile = false;
    const socklen_t length = MakeAddress(m_SocketPath, address, isFile);
    if (isFile)
        ::unlink(m_SocketPath.c_str());
    else
        m_SocketPath.clear();
    const int s = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (s >= 0 && ::bind(s, reinterpret_cast<sockaddr*>(&address), length) == 0) {
        m_SocketFd = s;
    } else if (s >= 0) {
        ::close(s);
    }
    return true;
}

void CSingleInstance::Release()
{
    if (m_SocketFd >= 0) {
        ::close(m_SocketFd);
        m_SocketFd = -1;
        if (!m_SocketPath.empty())
            ::unlink(m_SocketPath.c_str());
    }
    m_SocketPath.clear();
    // The lock file stays: removing it would let a starting instance lock a file that a third
    // one is about to replace.
    if (m_LockFd >= 0) {
        ::close(m_LockFd);
        m_LockFd = -1;
    }
}

bool CSingleInstance::TakeNotification()
{
    if (m_SocketFd < 0)
        return false;
    bool any = false;
    char buffer[64];
    while (::recv(m_SocketFd, buffer, sizeof(buffer), MSG_DONTWAIT) >= 0)
        any = true;
    return any;
}

} // namespace lv::platform
