#include "platform/Files.h"

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <mutex>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_map>

namespace lv::platform {

namespace {

// A text-mode stream: the outer FILE (from fopencookie) buffers, the inner binary FILE is
// unbuffered and receives the translated bytes.
struct STextStream
{
    FILE* Inner = nullptr;
    FILE* Outer = nullptr;
};

// fileno() of a cookie stream is -1, so SyncFile finds the inner file through this table.
std::mutex g_TextStreamsLock;
std::unordered_map<FILE*, STextStream*> g_TextStreams;

ssize_t TextRead(void* cookie, char* buffer, size_t size)
{
    auto* s = static_cast<STextStream*>(cookie);
    const size_t n = std::fread(buffer, 1, size, s->Inner);
    if (n == 0 && std::ferror(s->Inner))
        return -1;
    return static_cast<ssize_t>(n);
}

ssize_t TextWrite(void* cookie, const char* buffer, size_t size)
{
    auto* s = static_cast<STextStream*>(cookie);
    char chunk[8192];
    size_t used = 0;
    size_t consumed = 0;
    for (size_t i = 0; i < size; ++i) {
        if (used + 2 > sizeof(chunk)) {
            if (std::fwrite(chunk, 1, used, s->Inner) != used)
                return static_cast<ssize_t>(consumed);
            consumed = i;
            used = 0;
        }
        if (buffer[i] == '\n')
            chunk[used++] = '\r';
        chunk[used++] = buffer[i];
    }
    if (used > 0 && std::fwrite(chunk, 1, used, s->Inner) != used)
        return static_cast<ssize_t>(consumed);
    return static_cast<ssize_t>(size);
}

int TextSeek(void* cookie, off64_t* position, int whence)
{
    auto* s = static_cast<STextStream*>(cookie);
    if (fseeko(s->Inner, *position, whence) != 0)
        return -1;
    const off_t at = ftello(s->Inner);
    if (at < 0)
        return -1;
    *position = at;
    return 0;
}

int TextClose(void* cookie)
{
    auto* s = static_cast<STextStream*>(cookie);
    {
        std::lock_guard<std::mutex> lock(g_TextStreamsLock);
        g_TextStreams.erase(s->Outer);
    }
    const int result = std::fclose(s->Inner);
    delete s;
    return result == 0 ? 0 : -1;
}

struct SMode
{
    char Base = 0;
    bool Plus = false;
    bool Binary = false;
    bool Exclusive = false;
};

bool ParseMode(const char* mode, SMode& out)
{
    if (!mode || (mode[0] != 'r' && mode[0] != 'w' && mode[0] != 'a'))
        return false;
    out.Base = mode[0];
    // A ',' starts the runtime's encoding options, which have no meaning here.
    for (const char* p = mode + 1; *p && *p != ','; ++p) {
        switch (*p) {
        case '+':
            out.Plus = true;
            break;
        case 'b':
            out.Binary = true;
            break;
        case 'x':
            out.Exclusive = true;
            break;
        default:
            break; // 't' and the runtime's hint letters
        }
    }
    return true;
}

} // namespace

std::string ToSystemPath(std::string_view path)
{
    std::string s(path);
    for (char& c : s) {
        if (c == '\\')
            c = '/';
    }
    return s;
}

namespace {

// Puts the CR LF translation of text mode in front of an unbuffered binary stream.
FILE* WrapTextStream(FILE* inner, const std::string& outerMode)
{
    std::setvbuf(inner, nullptr, _IONBF, 0);
    auto* stream = new STextStream{inner, nullptr};
    const cookie_io_functions_t io{TextRead, TextWrite, TextSeek, TextClose};
    FILE* outer = fopencookie(stream, outerMode.c_str(), io);
    if (!outer) {
        std::fclose(inner);
        delete stream;
        return nullptr;
    }
    stream->Outer = outer;
    std::lock_guard<std::mutex> lock(g_TextStreamsLock);
    g_TextStreams[outer] = stream;
    return outer;
}

} // namespace

FILE* OpenFile(const char* path, const char* mode)
{
    SMode m;
    if (!path || !ParseMode(mode, m))
        return nullptr;
    std::string innerMode(1, m.Base);
    if (m.Plus)
        innerMode += '+';
    innerMode += 'b';
    if (m.Exclusive)
        innerMode += 'x';
    innerMode += 'e';
    const std::string systemPath = ToSystemPath(path);
    FILE* inner = std::fopen(systemPath.c_str(), innerMode.c_str());
    if (!inner)
        return nullptr;
    const bool writes = m.Base != 'r' || m.Plus;
    if (m.Binary || !writes)
        return inner;
    std::string outerMode(1, m.Base);
    if (m.Plus)
        outerMode += '+';
    return WrapTextStream(inner, outerMode);
}

FILE* OpenOwnedTextLog(const char* path, bool& owned)
{
    owned = false;
    if (!path)
        return nullptr;
    const std::string systemPath = ToSystemPath(path);
    const int fd = open(systemPath.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0)
        return nullptr;
    // The lock lives as long as this descriptor; the kernel drops it when the process dies.
    owned = flock(fd, LOCK_EX | LOCK_NB) == 0;
    if (owned && ftruncate(fd, 0) != 0) {
        close(fd);
        return nullptr;
    }
    FILE* inner = fdopen(fd, "ab");
    if (!inner) {
        close(fd);
        return nullptr;
    }
    return WrapTextStream(inner, "a");
}

bool SyncFile(FILE* file)
{
    if (!file || std::fflush(file) != 0)
        return false;
    int fd = fileno(file);
    if (fd < 0) {
        std::lock_guard<std::mutex> lock(g_TextStreamsLock);
        auto it = g_TextStreams.find(file);
        if (it == g_TextStreams.end())
            return false;
        fd = fileno(it->second->Inner);
    }
    return fd >= 0 && fsync(fd) == 0;
}

int AccessFile(const char* path, int mode)
{
    int how = 0;
    switch (mode) {
    case 0:
        how = F_OK;
        break;
    case 2:
        how = W_OK;
        break;
    case 4:
        how = R_OK;
        break;
    case 6:
        how = R_OK | W_OK;
        break;
    default:
        return -1;
    }
    if (!path)
        return -1;
    return access(ToSystemPath(path).c_str(), how) == 0 ? 0 : -1;
}

bool RemoveFile(const char* path)
{
    return path && unlink(ToSystemPath(path).c_str()) == 0;
}

bool RenameFile(const char* from, const char* to)
{
    return from && to && std::rename(ToSystemPath(from).c_str(), ToSystemPath(to).c_str()) == 0;
}

bool PathExists(const char* path)
{
    struct stat st;
    return path && *path && stat(ToSystemPath(path).c_str(), &st) == 0;
}

bool IsDirectory(const char* path)
{
    struct stat st;
    return path && *path && stat(ToSystemPath(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool GetFileSize(const char* path, u64& size)
{
    struct stat st;
    if (!path || stat(ToSystemPath(path).c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return false;
    size = static_cast<u64>(st.st_size);
    return true;
}

EMakeDirResult MakeDirectory(const char* path)
{
    if (!path || !*path)
        return EMakeDirResult::Failed;
    if (mkdir(ToSystemPath(path).c_str(), 0777) == 0)
        return EMakeDirResult::Created;
    return errno == EEXIST ? EMakeDirResult::Exists : EMakeDirResult::Failed;
}

bool GetCurrentDirectory(std::string& path)
{
    std::string buffer(256, '\0');
    for (;;) {
        if (getcwd(buffer.data(), buffer.size())) {
            buffer.resize(std::char_traits<char>::length(buffer.c_str()));
            path = std::move(buffer);
            return true;
        }
        if (errno != ERANGE || buffer.size() > (1u << 20))
            return false;
        buffer.resize(buffer.size() * 2);
    }
}

bool SetCurrentDirectory(const char* path)
{
    return path && *path && chdir(ToSystemPath(path).c_str()) == 0;
}

bool ReadDirectory(const char* path, std::vector<SDirEntry>& entries)
{
    if (!path)
        return false;
    std::string folder = ToSystemPath(path);
    if (folder.empty())
        folder.push_back('.'); // not = ".": GCC 12 reports a false overlap in that assignment
    DIR* dir = opendir(folder.c_str());
    if (!dir)
        return false;
    if (folder.back() != '/')
        folder += '/';
    while (const dirent* e = readdir(dir)) {
        const std::string_view name(e->d_name);
        if (name == "." || name == "..")
            continue;
        SDirEntry entry;
        entry.Name = name;
        if (e->d_type == DT_DIR) {
            entry.IsDirectory = true;
        } else if (e->d_type == DT_UNKNOWN || e->d_type == DT_LNK) {
            struct stat st;
            entry.IsDirectory = stat((folder + entry.Name).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
        }
        entries.push_back(std::move(entry));
    }
    closedir(dir);
    return true;
}

} // namespace lv::platform
